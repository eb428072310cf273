qbk_add_fuzzer(fuzz_markup_render SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_markup_render.cpp LIBS qbk_markup)
