#pragma once

#include "playbackclock.h"

#include <condition_variable>
#include <mutex>
#include <optional>

namespace loopwren {

// Virtual time for a playback: it moves only when the test moves it, and advanceTo() returns once the
// player has done everything due by then and waits again (or has ended), so a test sees the exact
// effect of each moment, whatever the machine is doing.
class VirtualClock : public PlaybackClock
{
public:
    TimePoint now() override;
    bool waitUntil(TimePoint deadline, const std::function<bool()>& stopped) override;
    void wake() override;

    // Sets the time, then waits until the player waits for a later deadline or has ended.
    void advanceTo(TimePoint time);
    void advanceBy(std::chrono::nanoseconds step) { advanceTo(now() + step); }
    // Waits until the player waits for a deadline (it has caught up with the time).
    void settle();
    // Called when the player has ended, so settle() stops waiting for it.
    void ended();

private:
    bool caughtUp() const { return m_ended || (m_waitingFor && *m_waitingFor > m_now); }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    TimePoint m_now = TimePoint{} + std::chrono::hours(1);
    std::optional<TimePoint> m_waitingFor;
    bool m_ended = false;
};

} // namespace loopwren
