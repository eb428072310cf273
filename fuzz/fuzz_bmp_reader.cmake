qbk_add_fuzzer(fuzz_bmp_reader SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_bmp_reader.cpp LIBS qbk_ui)
