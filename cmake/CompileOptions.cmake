# Options shared by every target of the project.
function(talvorine_target_options target)
  target_compile_features(${target} PUBLIC cxx_std_20)
  set_target_properties(${target} PROPERTIES CXX_EXTENSIONS OFF)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /WX /source-charset:utf-8 /execution-charset:.932
                                             /permissive- /EHsc)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
    # Sources are UTF-8; narrow literals become the cp932 bytes the program works in.
    # Clang cannot convert literals, so the fuzz build (clang) keeps them UTF-8: the fuzzers
    # look for crashes in the readers, which take no literal text.
    # TRANSLIT only because libstdc++'s <chrono> holds a literal "\u00b5s" that cp932 lacks;
    # scripts/check-source-charset.sh keeps every character of our own sources in cp932.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
      target_compile_options(${target} PRIVATE -finput-charset=UTF-8 -fexec-charset=CP932//TRANSLIT)
    endif()
  endif()
  if(WIN32)
    target_compile_definitions(${target} PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
  endif()
endfunction()
