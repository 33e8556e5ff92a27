# Our own code builds warning-free; third-party headers come in as system includes.
function(tablory_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # GCC 12's flow analysis reports impossible sizes inside libstdc++'s own string and
    # vector code, and uninitialised members of std::optional, at -O2 and above (GCC bugs
    # 105329, 105651, 80635); these warnings stay on with
    # clang, which the sanitized test build uses.
    target_compile_options(${target} PRIVATE -Wno-restrict -Wno-stringop-overflow
                                             -Wno-array-bounds -Wno-maybe-uninitialized
                                             -Wno-stringop-overread)
  endif()
endfunction()
