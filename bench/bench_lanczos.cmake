# Lanczos reduction of a large picture against libvips' single-threaded Lanczos-3 (a
# benchmark-only dependency).
find_package(PkgConfig REQUIRED)
pkg_check_modules(VIPS IMPORTED_TARGET vips)
if(VIPS_FOUND)
  qbk_add_benchmark(bench_lanczos SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_lanczos.cpp LIBS qbk_imaging PkgConfig::VIPS)
else()
  message(STATUS "libvips not found: bench_lanczos is not built")
endif()
