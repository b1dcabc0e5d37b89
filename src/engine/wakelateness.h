#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

namespace loopwren {

// How late this machine wakes a thread whose timed sleep has ended, as the final stretch of a
// playback's wait needs to know: the stretch spun before a deadline must cover it, or the input goes
// out as late as the wake-up. A desktop wakes a sleeper some tens of microseconds late, a crowded or
// emulated machine hundreds; the spin follows what this one does. The worst lateness seen decays with
// every sleep after it, so a rare stall is soon forgotten instead of keeping the processor spinning.
class WakeLateness
{
public:
    using Duration = std::chrono::nanoseconds;
    static constexpr Duration shortest = std::chrono::microseconds(50);
    static constexpr Duration longest = std::chrono::milliseconds(1);

    // What to spin before a deadline: half again the recent worst lateness, within the bounds.
    Duration spin() const;
    // A sleep came back this long after the time it was to end. Any thread may tell.
    void observe(Duration lateness);

private:
    // Starts where a fixed spin of 200 us was.
    std::atomic<std::int64_t> m_worstNs{133'000};
};

} // namespace loopwren
