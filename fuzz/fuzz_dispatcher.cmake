# fuzz_dispatcher: random frame sequences into the interface library's dispatcher while SDO
# transfers run, on the stack opened against the adapter stand-in's recording channel.
qbk_add_fuzzer(fuzz_dispatcher SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_dispatcher.cpp LIBS klp_core canapi)
target_include_directories(fuzz_dispatcher PRIVATE ${CMAKE_SOURCE_DIR})
add_dependencies(fuzz_dispatcher canapi)
