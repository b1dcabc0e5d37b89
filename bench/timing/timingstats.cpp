#include "timingstats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>

namespace loopwren::bench {

double percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(values.size())) - 1);
    return values[std::min(index, values.size() - 1)];
}

Comparison compare(const std::vector<ProbedInput>& reference, const std::vector<ProbedInput>& run,
                   std::size_t unmatched)
{
    Comparison result;
    result.reference = reference.size();
    const std::size_t n = std::min(reference.size(), run.size());
    while (result.matched < n && reference[result.matched].what == run[result.matched].what)
        ++result.matched;
    std::vector<double> errors(unmatched, std::numeric_limits<double>::infinity());
    if (result.matched < 2) {
        if (!errors.empty())
            result.medianErrorMs = result.p99ErrorMs = errors.front();
        return result;
    }

    for (std::size_t i = 1; i < result.matched; ++i) {
        const double a =
            std::chrono::duration<double, std::milli>(reference[i].at - reference[i - 1].at).count();
        const double b = std::chrono::duration<double, std::milli>(run[i].at - run[i - 1].at).count();
        errors.push_back(std::abs(b - a));
    }
    result.medianErrorMs = percentile(errors, 0.5);
    result.p99ErrorMs = percentile(errors, 0.99);
    const auto span = [&](const std::vector<ProbedInput>& inputs) {
        return std::chrono::duration<double, std::milli>(inputs[result.matched - 1].at - inputs[0].at)
            .count();
    };
    result.driftMs = span(run) - span(reference);
    const std::size_t window = std::min<std::size_t>(50, result.matched / 2);
    const auto medianOffset = [&](std::size_t begin) {
        std::vector<double> offsets;
        for (std::size_t i = begin; i < begin + window; ++i)
            offsets.push_back(std::chrono::duration<double, std::milli>(run[i].at - reference[i].at).count());
        return percentile(offsets, 0.5);
    };
    result.settledDriftMs = medianOffset(result.matched - window) - medianOffset(0);
    return result;
}

Comparison compareByOccurrence(const std::vector<ProbedInput>& reference, const std::vector<ProbedInput>& run)
{
    std::map<std::string, std::vector<std::size_t>> places; // where each kind of input arrived in run
    for (std::size_t i = 0; i < run.size(); ++i)
        places[run[i].what].push_back(i);
    std::map<std::string, std::size_t> seen;
    std::vector<ProbedInput> pairedReference;
    std::vector<ProbedInput> pairedRun;
    std::size_t outOfOrder = 0;
    std::size_t last = 0;
    for (const ProbedInput& input : reference) {
        const std::size_t occurrence = seen[input.what]++;
        const auto found = places.find(input.what);
        if (found == places.end() || occurrence >= found->second.size())
            continue;
        const std::size_t at = found->second[occurrence];
        if (!pairedRun.empty() && at < last)
            ++outOfOrder;
        last = at;
        pairedReference.push_back(input);
        pairedRun.push_back(run[at]);
    }
    const std::size_t missing = reference.size() - pairedReference.size();
    const std::size_t extra = run.size() - pairedRun.size();
    Comparison result = compare(pairedReference, pairedRun, missing + extra);
    result.reference = reference.size();
    result.outOfOrder = outOfOrder;
    result.missing = missing;
    result.extra = extra;
    return result;
}

std::string describe(const Comparison& c)
{
    char text[200];
    std::snprintf(text, sizeof text,
                  "matched %zu/%zu  interval error median %.3f ms  p99 %.3f ms  drift %+.3f ms", c.matched,
                  c.reference, c.medianErrorMs, c.p99ErrorMs, c.driftMs);
    return text;
}

} // namespace loopwren::bench
