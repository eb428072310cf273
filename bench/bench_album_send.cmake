# bench_album_send: a whole "Download Album" of a 20-picture family-1 album through the real
# libklp_lib_usb.so to qbk-devsim, split into the link's fixed waits and the transfer itself.
qbk_add_benchmark(bench_album_send SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_album_send.cpp LIBS qbk_app_core)
target_include_directories(bench_album_send PRIVATE ${CMAKE_SOURCE_DIR})
add_dependencies(bench_album_send qbk-devsim klp_lib_usb canapi)
