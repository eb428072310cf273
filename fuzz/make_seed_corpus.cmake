# make_seed_corpus: writes the committed seed corpus (fuzz/corpus/<target>); not a fuzz target.
add_executable(make_seed_corpus ${CMAKE_CURRENT_LIST_DIR}/make_seed_corpus.cpp)
qbk_warnings(make_seed_corpus)
target_include_directories(make_seed_corpus PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(make_seed_corpus PRIVATE qbk_ui Qt6::Gui)
# The libraries are instrumented for coverage; this links the callbacks without a fuzzer's main.
target_link_options(make_seed_corpus PRIVATE -fsanitize=fuzzer-no-link)
