qbk_add_fuzzer(fuzz_picture_load SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_picture_load.cpp LIBS qbk_ui)
