# One list of warnings for every target of ours; warnings are errors.
function(pondex_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /WX /permissive-)
    return()
  endif()
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-qual
    -Wmissing-declarations -Wold-style-cast -Woverloaded-virtual
    -Wconversion -Wsign-conversion -Werror
    # Designated initializers name only the fields that differ from their
    # defaults; GCC 12 would flag every other field.
    -Wno-missing-field-initializers)
  # GCC 12 reports a false overlap inside libstdc++'s string concatenation at
  # -O3 (its bug 105651, mended in GCC 13).
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
endfunction()

# Tests use GoogleTest macros, which trip -Wconversion on comparisons of
# mixed integer widths in EXPECT_EQ; everything else stays on.
function(pondex_test_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W3 /WX)
    return()
  endif()
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Wcast-qual
    -Wmissing-declarations -Werror -Wno-missing-field-initializers)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)  # GCC 12's false report, as above
  endif()
endfunction()
