#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "wakelateness.h"

namespace loopwren {

// The time a playback goes by. The player waits against deadlines on it; a test hands it a virtual
// clock and checks the timing exactly, whatever the machine is doing.
class PlaybackClock
{
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~PlaybackClock() = default;

    virtual TimePoint now() = 0;
    // Blocks until deadline has come, or until stopped() holds when the waiter is woken; true when the
    // deadline came.
    virtual bool waitUntil(TimePoint deadline, const std::function<bool()>& stopped) = 0;
    // Wakes every waiter, so it looks at stopped() again.
    virtual void wake() = 0;
};

// The monotonic clock of the machine. A wait sleeps on the condition variable until a little before
// its deadline, where a stop wakes it at once; the final stretch, far shorter than the 10 ms a stop
// may take, is slept to the deadline itself with no timer slack and its last microseconds spun: a
// woken thread comes back tens to hundreds of microseconds late, and that lateness, varying from one
// input to the next, is most of what a replay's intervals would otherwise be off by. How long the spin
// is follows how late this machine's sleeps have come back.
class SteadyPlaybackClock : public PlaybackClock
{
public:
    TimePoint now() override { return std::chrono::steady_clock::now(); }
    bool waitUntil(TimePoint deadline, const std::function<bool()>& stopped) override;
    void wake() override
    {
        // Taken and released so a waiter between its check and its sleep cannot miss the wake.
        {
            const std::lock_guard lock(m_mutex);
        }
        m_wake.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    WakeLateness m_lateness;
};

} // namespace loopwren
