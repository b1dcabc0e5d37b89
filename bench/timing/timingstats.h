#pragma once

#include "probedinput.h"

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
    // The same from the median offsets of the first and the last 50 inputs from their counterparts:
    // whether the run keeps the reference's pace, which one late input at either end does not decide.
    double settledDriftMs = 0;
    std::size_t outOfOrder = 0; // matched inputs that arrived before one the reference has ahead of them
    std::size_t missing = 0;    // inputs of the reference the run lacks
    std::size_t extra = 0;      // inputs of the run the reference lacks
};

// Compares the arrival times of two deliveries of the same input sequence. Each of the unmatched
// inputs counts as one more interval whose error has no bound (infinity): a run that lost inputs
// cannot look more exact than one that delivered them all.
Comparison compare(const std::vector<ProbedInput>& reference, const std::vector<ProbedInput>& run,
                   std::size_t unmatched = 0);

// The same, with each input of the reference matched to the same input of the run (the same
// description, the n-th of its kind) wherever it arrived: an input delivered late or out of order
// costs its own intervals instead of ending the comparison. Inputs the run lacks, and inputs it
// delivered that the reference does not have, are counted and each costs an unbounded error.
Comparison compareByOccurrence(const std::vector<ProbedInput>& reference,
                               const std::vector<ProbedInput>& run);

double percentile(std::vector<double> values, double fraction);

std::string describe(const Comparison& comparison);

} // namespace loopwren::bench
