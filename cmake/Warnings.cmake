# Our own code builds warning-free; third-party headers come in as system includes. Warnings
# are errors only where the project's own test script asks for it: a user or packager with
# another compiler version still gets a build, with the warnings shown.
option(TABLORY_WERROR "Treat compiler warnings as errors (the test script's builds)" OFF)

function(tablory_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(TABLORY_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
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
