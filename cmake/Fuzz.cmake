# KIVO_FUZZ=ON builds the libFuzzer targets of tests/fuzz, in place of the tests, against a kivocore
# instrumented for coverage, AddressSanitizer and UndefinedBehaviorSanitizer. Needs clang++, in a build
# directory of its own (build-fuzz). Without it, tests/fuzz replays the stored inputs as plain tests.
option(KIVO_FUZZ "Build the libFuzzer targets (clang++ only)" OFF)
set(KIVO_FUZZ_SECONDS 30 CACHE STRING "Seconds each fuzz target runs as a test of the fuzz build")

if(KIVO_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "KIVO_FUZZ needs clang++: -DCMAKE_CXX_COMPILER=clang++")
  endif()
  if(KIVO_SANITIZE)
    message(FATAL_ERROR "KIVO_FUZZ brings its own sanitizers: leave KIVO_SANITIZE empty")
  endif()
  set(KIVO_FUZZ_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  foreach(lib kivocore kivoposix kivoqt)
    target_compile_options(${lib} PRIVATE ${KIVO_FUZZ_SANITIZE} -fsanitize=fuzzer-no-link)
    target_link_options(${lib} INTERFACE -fsanitize=address,undefined)
  endforeach()
endif()
