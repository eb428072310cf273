# Adding 50 camera-size pictures to a family-1 album, then exporting its download files.
qbk_add_benchmark(bench_album_core
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_album_core.cpp
  LIBS qbk_app_core)
