# Warnings as errors on our own targets only; third-party code (GoogleTest built from source) is untouched.
function(tarvinel_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wno-unused-parameter)
endfunction()
