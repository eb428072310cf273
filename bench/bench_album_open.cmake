# Opening albums of 1,000 and 10,000 cards into the real main window.
qbk_add_benchmark(bench_album_open SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_album_open.cpp
  LIBS qbk_app_ui qbk_test_support)
