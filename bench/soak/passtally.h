#pragma once

#include "soakmacro.h"

#include <chrono>
#include <mutex>
#include <string>
#include <vector>

namespace loopwren::bench {

// Checks the inputs the server reports against the macro, pass by pass. Each pass begins with the
// marker move; it is complete when exactly the expected inputs, in order, came before the next marker.
// Modifier presses (flagsChanged) are not counted: the flags of the events already stand for them.
// Fed on the capture thread, read from any thread.
class PassTally
{
public:
    using Clock = std::chrono::steady_clock;

    struct Summary
    {
        std::size_t completePasses = 0;
        std::size_t faultyPasses = 0;       // short, long or out of order
        std::size_t received = 0;           // inputs counted from the first marker on
        std::size_t interruptedAt = 0;      // inputs of the pass still running (or cut by the stop)
        std::size_t interruptedMatched = 0; // how many of those were the expected ones, in order
        std::size_t strays = 0;             // inputs before the first marker
        std::string firstFault;             // of the first faulty pass; empty when every pass was complete
        std::vector<double> passSeconds;    // marker to marker, for every pass that ended
    };

    explicit PassTally(std::vector<ExpectedInput> expected);

    void add(const std::vector<InputEvent>& batch);
    Summary summary() const;

private:
    void startPass(Clock::time_point at);
    void check(const InputEvent& input);
    void fault(const std::string& what);

    const std::vector<ExpectedInput> m_expected;
    mutable std::mutex m_mutex;
    Summary m_summary;
    bool m_inPass = false;
    bool m_passFaulty = false;
    std::string m_passFault;
    std::size_t m_position = 0;
    std::size_t m_passNumber = 0;
    Clock::time_point m_passStart;
};

} // namespace loopwren::bench
