#pragma once

// A broken property ends the run the way a crash does, so libFuzzer keeps the input and the replay
// driver fails its test. Not assert(): it has to hold in optimised builds too.

#include <cstdio>
#include <cstdlib>
#include <string>

#define FUZZ_CHECK(condition, detail)                                                                        \
    do {                                                                                                     \
        if (!(condition))                                                                                    \
            ::loopwren::fuzz::fail(__FILE__, __LINE__, #condition, detail);                                  \
    } while (0)

namespace loopwren::fuzz {

[[noreturn]] inline void fail(const char* file, int line, const char* condition, const std::string& detail)
{
    std::fprintf(stderr, "%s:%d: property broken: %s\n  %s\n", file, line, condition, detail.c_str());
    std::fflush(stderr);
    std::abort();
}

} // namespace loopwren::fuzz
