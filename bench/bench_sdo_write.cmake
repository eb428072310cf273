# bench_sdo_write: WRITEKLP of 1 MiB through the real libklp_lib_usb.so to qbk-devsim over the
# virtual bus, with the frames counted on the bus against the protocol's minimum.
qbk_add_benchmark(bench_sdo_write SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_sdo_write.cpp LIBS qbk_platform qbk_bus)
target_include_directories(bench_sdo_write PRIVATE ${CMAKE_SOURCE_DIR})
add_dependencies(bench_sdo_write qbk-devsim klp_lib_usb canapi)
