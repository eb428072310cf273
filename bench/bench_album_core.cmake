# Adding 50 camera-size pictures to a family-1 album against libvips on the same files (a
# benchmark-only dependency), then exporting its download files.
find_package(PkgConfig REQUIRED)
pkg_check_modules(VIPS REQUIRED IMPORTED_TARGET vips)
qbk_add_benchmark(bench_album_core
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_album_core.cpp
  LIBS qbk_app_core PkgConfig::VIPS)
