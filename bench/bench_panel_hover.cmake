qbk_add_benchmark(bench_panel_hover SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_panel_hover.cpp
  LIBS qbk_panel qbk_test_support)
