#pragma once

#include "probe.h"

#include <string>
#include <vector>

namespace loopwren::bench {

struct Comparison
{
    std::size_t reference = 0; // inputs the reference run delivered
    std::size_t matched = 0;   // inputs of the other run that are the same, in the same order
    double medianErrorMs = 0;  // |interval difference| between consecutive inputs
    double p99ErrorMs = 0;
    double driftMs = 0; // (last - first) of the run minus the same span of the reference
};

// Compares the arrival times of two deliveries of the same input sequence.
Comparison compare(const std::vector<ProbedInput>& reference, const std::vector<ProbedInput>& run);

double percentile(std::vector<double> values, double fraction);

std::string describe(const Comparison& comparison);

} // namespace loopwren::bench
