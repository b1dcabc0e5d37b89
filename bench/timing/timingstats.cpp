#include "timingstats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace loopwren::bench {

double percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(values.size())) - 1);
    return values[std::min(index, values.size() - 1)];
}

Comparison compare(const std::vector<ProbedInput>& reference, const std::vector<ProbedInput>& run)
{
    Comparison result;
    result.reference = reference.size();
    const std::size_t n = std::min(reference.size(), run.size());
    while (result.matched < n && reference[result.matched].what == run[result.matched].what)
        ++result.matched;
    if (result.matched < 2)
        return result;

    std::vector<double> errors;
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
