# Compiler warnings every project target builds with.
function(qs_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()
