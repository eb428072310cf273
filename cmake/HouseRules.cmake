# The house rules that a tool can check, run with the tests.
add_test(NAME HouseRules.SystemCodeIncludesOnlyStandardAndProjectHeaders
         COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} "-DFOLDERS=app;controls;imaging;library"
                 -P ${CMAKE_SOURCE_DIR}/cmake/check_system_includes.cmake)

find_program(QBK_CLANG_FORMAT clang-format REQUIRED)
add_test(NAME HouseRules.EveryFileFollowsTheFormat
         COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DCLANG_FORMAT=${QBK_CLANG_FORMAT}
                 -P ${CMAKE_SOURCE_DIR}/cmake/check_format.cmake)
