#pragma once

#include <chrono>
#include <string>

namespace loopwren::bench {

// One input as a probe saw it arrive: what it was and when.
struct ProbedInput
{
    std::string what; // kind and detail, e.g. "key 0 down", "move 10,20"
    std::chrono::steady_clock::time_point at;
};

} // namespace loopwren::bench
