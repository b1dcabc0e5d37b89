#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace loopwren {

// When did an input happen? The server stamps every input with its millisecond clock, which on the
// local machine is the same monotonic clock as std::chrono::steady_clock, only coarser and wrapping
// after 49 days. The server may also hold recorded input back until it next flushes its output, so
// the moment an input is read can be late by milliseconds. This takes the better of the two: the read
// moment when it falls inside the server's millisecond (the input came at once), else the middle of
// that millisecond. A server whose clock is not ours (a remote display) leaves the read moment.
class InputClock
{
public:
    using Clock = std::chrono::steady_clock;

    Clock::time_point stamp(std::uint32_t serverTime, Clock::time_point readAt);

private:
    // Stamps never go backwards, so no recorded delay is negative.
    std::optional<Clock::time_point> m_last;
};

} // namespace loopwren
