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
    TimePoint now() override
    {
        const std::lock_guard lock(m_mutex);
        return m_now;
    }

    bool waitUntil(TimePoint deadline, const std::function<bool()>& stopped) override
    {
        std::unique_lock lock(m_mutex);
        m_waitingFor = deadline;
        m_changed.notify_all();
        m_changed.wait(lock, [&] { return m_now >= deadline || stopped(); });
        m_waitingFor.reset();
        return m_now >= deadline;
    }

    void wake() override
    {
        change([] {});
    }

    // Sets the time, then waits until the player waits for a later deadline or has ended.
    void advanceTo(TimePoint time)
    {
        change([&] { m_now = time; });
        settle();
    }
    void advanceBy(std::chrono::nanoseconds step) { advanceTo(now() + step); }

    // Waits until the player waits for a deadline (it has caught up with the time). A player that
    // ended without saying so is given up on after a time no machine needs, so the test fails on
    // what it sees instead of hanging.
    void settle()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait_for(lock, std::chrono::seconds(60),
                           [this] { return m_ended || (m_waitingFor && *m_waitingFor > m_now); });
    }

    // Called when the player has ended, so settle() stops waiting for it.
    void ended()
    {
        change([this] { m_ended = true; });
    }

private:
    // Changes the state under the lock, so no waiter between its check and its sleep misses it, then
    // wakes every waiter.
    template <typename F>
    void change(F f)
    {
        {
            const std::lock_guard lock(m_mutex);
            f();
        }
        m_changed.notify_all();
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    TimePoint m_now = TimePoint{} + std::chrono::hours(1);
    std::optional<TimePoint> m_waitingFor;
    bool m_ended = false;
};

} // namespace loopwren
