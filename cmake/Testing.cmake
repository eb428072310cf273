# qbk_add_test(<name> SOURCES <files...> LIBS <targets...>)
# One GoogleTest executable per area; each test case is registered with CTest. UI tests run headless
# on Qt's offscreen platform at 96 dpi.
function(qbk_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  qbk_warnings(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  # gtest_discover_tests hands property values on as split lists, so an ENVIRONMENT list would
  # keep only its first entry. The tests' environment is set by running each test (and the
  # discovery) through `cmake -E env` instead.
  set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR
    "${CMAKE_COMMAND};-E;env;QT_QPA_PLATFORM=offscreen;QT_FONT_DPI=96;QBK_TEST_BIN_DIR=${CMAKE_BINARY_DIR}/bin;${T_ENV}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT ${T_TIMEOUT})
endfunction()
