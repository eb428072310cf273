# Fails when a C++ file of the tree departs from the committed .clang-format. Run by CTest:
#   cmake -DSOURCE_DIR=<tree> -DCLANG_FORMAT=<clang-format> -P check_format.cmake
# The files are the ones git tracks, so build folders and scratch files are never read; a tree
# without git history is checked by its source folders.
execute_process(COMMAND git -C ${SOURCE_DIR} ls-files -- "*.h" "*.cpp"
                OUTPUT_VARIABLE tracked RESULT_VARIABLE git_result OUTPUT_STRIP_TRAILING_WHITESPACE)
if(git_result EQUAL 0 AND tracked)
  string(REPLACE "\n" ";" files "${tracked}")
else()
  set(files "")
  foreach(folder app controls imaging library platform tests fuzz bench tools)
    file(GLOB_RECURSE found RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
    list(APPEND files ${found})
  endforeach()
endif()

execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror --style=file ${files}
                WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE result ERROR_VARIABLE report)
list(LENGTH files count)
if(NOT result EQUAL 0)
  string(REGEX MATCHALL "[^\n]*: error: code should be clang-formatted" lines "${report}")
  set(departing "")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE ":[0-9]+:[0-9]+: error:.*" "" file "${line}")
    list(APPEND departing "  ${file}")
  endforeach()
  list(REMOVE_DUPLICATES departing)
  list(JOIN departing "\n" text)
  message(FATAL_ERROR "Files that depart from .clang-format (clang-format -i <file> mends them):\n${text}")
endif()
message(STATUS "${count} files follow .clang-format")
