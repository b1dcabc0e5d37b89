#include "inputclock.h"

#include <algorithm>

namespace loopwren {
namespace {

using namespace std::chrono_literals;

// How long after its millisecond an input may be read and still count as read at once: the trip
// from the server to this process.
constexpr auto kPromptSlack = 300us;
// A server clock further behind ours than this is not our clock.
constexpr auto kSameClockLimit = 10s;

} // namespace

InputClock::Clock::time_point InputClock::stamp(std::uint32_t serverTime, Clock::time_point readAt)
{
    const auto readMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(readAt.time_since_epoch()).count();
    // The latest millisecond not after the read whose low 32 bits are the server's stamp.
    const std::uint32_t lag = static_cast<std::uint32_t>(readMs) - serverTime;
    const Clock::time_point tickStart{std::chrono::milliseconds(readMs - static_cast<std::int64_t>(lag))};

    Clock::time_point when = readAt;
    if (readAt - tickStart <= kSameClockLimit && readAt - tickStart > 1ms + kPromptSlack)
        when = tickStart + 500us;
    if (m_last)
        when = std::max(when, *m_last);
    m_last = when;
    return when;
}

} // namespace loopwren
