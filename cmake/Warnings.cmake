# Warnings for the project's own targets: call qbk_warnings(target).
function(qbk_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(QBK_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
