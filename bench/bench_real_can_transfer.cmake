# bench_real_can_transfer: "Download Album" over a real kernel's CAN stack behind a 10-frame and a
# 1000-frame transmit queue; it runs inside the guest kernel that bench/real_can_transfer.sh boots.
qbk_add_benchmark(bench_real_can_transfer SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_real_can_transfer.cpp
                  LIBS qbk_app_core)
target_include_directories(bench_real_can_transfer PRIVATE ${CMAKE_SOURCE_DIR})
add_dependencies(bench_real_can_transfer qbk-devsim klp_lib_usb canapi)
