# Every folder of the tree is listed here and added unconditionally: a folder that is missing or
# misspelt stops the configure with a message instead of quietly dropping its targets and tests.
function(qbk_add_subsystem dir)
  if(NOT EXISTS ${CMAKE_SOURCE_DIR}/${dir}/CMakeLists.txt)
    message(FATAL_ERROR "The subsystem folder '${dir}' is missing (no ${dir}/CMakeLists.txt); "
                        "the tree is incomplete or the name in cmake/Subsystems.cmake is wrong.")
  endif()
  add_subdirectory(${dir})
endfunction()

# The library stack: built in every build kind.
set(QBK_LIBRARY_STACK platform/kernel platform/canapi library
                      tools/canbridge tools/devsim tools/stack_smoke tools/fake_klp)
# The class library and picture processing: built in every build kind as well, so that the
# thread-sanitizer kind runs the loading of pictures on a pool of threads. Its tests there use
# the picture classes only: Qt is not built with the sanitizer and makes no window there.
set(QBK_PICTURE_STACK platform/ui imaging)
# The album editor and the rest of what it stands on: not in the thread-sanitizer kind
# (QBK_WITH_UI is off there), whose tests cannot show windows.
set(QBK_UI_STACK platform/settings platform/theme platform/gdiplus controls/cardlist controls/menus controls/pictures
                 controls/markup controls/panel app)

set(QBK_LIBRARY_TESTS kernel canapi library devsim e2e)
set(QBK_PICTURE_TESTS imaging)
set(QBK_UI_TESTS support settings ui cardlist pictures markup panel menus app real_kernel)

foreach(dir IN LISTS QBK_LIBRARY_STACK QBK_PICTURE_STACK)
  qbk_add_subsystem(${dir})
endforeach()
if(QBK_WITH_UI)
  foreach(dir IN LISTS QBK_UI_STACK)
    qbk_add_subsystem(${dir})
  endforeach()
endif()

if(QBK_FUZZ)
  # The fuzz build kind builds the fuzz targets and what they need, no tests.
  qbk_add_subsystem(fuzz)
else()
  foreach(dir IN LISTS QBK_LIBRARY_TESTS QBK_PICTURE_TESTS)
    qbk_add_subsystem(tests/${dir})
  endforeach()
  if(QBK_WITH_UI)
    foreach(dir IN LISTS QBK_UI_TESTS)
      qbk_add_subsystem(tests/${dir})
    endforeach()
  endif()
endif()

if(QBK_BENCH AND NOT QBK_SANITIZE AND NOT QBK_TSAN AND NOT QBK_FUZZ)
  find_package(benchmark REQUIRED)
  qbk_add_subsystem(bench)
endif()
