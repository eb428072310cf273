qbk_add_benchmark(bench_card_paint SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_card_paint.cpp
  LIBS qbk_cardlist qbk_test_support)
