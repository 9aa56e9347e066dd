# Warnings are errors on the project's own targets (not on GoogleTest).
# Only C++ gets them: the resource compiler shares the target's options.
function(urlcheck_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:/W4 /WX /utf-8>)
  else()
    target_compile_options(${target} PRIVATE
      $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Wshadow -Wnon-virtual-dtor -Werror>)
  endif()
endfunction()
