# Fuzz builds (make fuzz): LOOPWREN_FUZZ=ON turns tests/fuzz into libFuzzer programs. Everything of ours
# gets the fuzzer's coverage instrumentation, AddressSanitizer and UndefinedBehaviorSanitizer; Qt and
# the system libraries stay as they are.
option(LOOPWREN_FUZZ "Build tests/fuzz as libFuzzer programs (needs clang)" OFF)

if(LOOPWREN_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "LOOPWREN_FUZZ needs clang: configure with CXX=clang++")
    endif()
    # Assertions stay on, and so do simdjson's development checks, which catch an On-Demand value read
    # out of order: both are faults the fuzzer should see. Undefined behaviour stops the run like a crash.
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                        -fno-omit-frame-pointer -UNDEBUG -DSIMDJSON_DEVELOPMENT_CHECKS=1)
    add_link_options(-fsanitize=address,undefined)
endif()
