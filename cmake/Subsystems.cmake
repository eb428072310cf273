# Each folder owns its CMakeLists.txt; a folder that does not exist yet is skipped.
function(qbk_add_if_present dir)
  if(EXISTS ${CMAKE_SOURCE_DIR}/${dir}/CMakeLists.txt)
    add_subdirectory(${dir})
  endif()
endfunction()

# Library stack: built in every configuration.
foreach(dir platform/kernel platform/canapi library tools/canbridge tools/devsim tools/stack_smoke tools/fake_klp)
  qbk_add_if_present(${dir})
endforeach()

if(QBK_WITH_UI)
  foreach(dir platform/settings platform/theme platform/gdiplus platform/ui imaging
              controls/cardlist controls/panel controls/menus app)
    qbk_add_if_present(${dir})
  endforeach()
endif()

# Tests: one executable per subsystem or platform area; UI areas need the UI build. The fuzz
# build builds only what its targets need.
if(NOT QBK_FUZZ)
  foreach(dir kernel canapi library devsim e2e)
  qbk_add_if_present(tests/${dir})
endforeach()
if(QBK_WITH_UI)
  foreach(dir support settings ui imaging cardlist panel menus app)
    qbk_add_if_present(tests/${dir})
  endforeach()
endif()

endif()

if(QBK_FUZZ)
  qbk_add_if_present(fuzz)
endif()
if(QBK_BENCH AND NOT QBK_SANITIZE AND NOT QBK_TSAN AND NOT QBK_FUZZ)
  find_package(benchmark REQUIRED)
  qbk_add_if_present(bench)
endif()
