# Fails when system code includes anything but the C++ standard library, the compiler's vector
# intrinsics and the project's own headers: the toolkit, POSIX and other libraries are reached
# through platform/ only. Run by CTest:
#   cmake -DSOURCE_DIR=<tree> -DFOLDERS="app;controls;imaging;library" -P check_system_includes.cmake
set(violations "")
set(checked 0)
foreach(folder IN LISTS FOLDERS)
  file(GLOB_RECURSE files ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
  foreach(file IN LISTS files)
    math(EXPR checked "${checked} + 1")
    file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS includes)
      if(line MATCHES "<([^>]+)>")
        set(header "${CMAKE_MATCH_1}")
        # Standard headers are lower-case names without an extension; the intrinsics headers
        # are the compiler's own (the picture scaler's vector paths and their CPU check).
        if(NOT header MATCHES "^[a-z_]+$" AND NOT header MATCHES "^[a-z]*intrin\\.h$" AND NOT header STREQUAL "cpuid.h")
          list(APPEND violations "${file}: ${line}")
        endif()
      elseif(line MATCHES "\"([^\"]+)\"")
        if(NOT CMAKE_MATCH_1 MATCHES "^(app|controls|imaging|library|platform)/")
          list(APPEND violations "${file}: ${line} is not a project header by its path from the top")
        endif()
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n" text)
  message(FATAL_ERROR "System code includes what only platform/ may:\n${text}")
endif()
message(STATUS "${checked} files of ${FOLDERS}: standard and project headers only")
