#include "virtualclock.h"

namespace loopwren {

PlaybackClock::TimePoint VirtualClock::now()
{
    const std::lock_guard lock(m_mutex);
    return m_now;
}

bool VirtualClock::waitUntil(TimePoint deadline, const std::function<bool()>& stopped)
{
    std::unique_lock lock(m_mutex);
    m_waitingFor = deadline;
    m_changed.notify_all();
    m_changed.wait(lock, [&] { return m_now >= deadline || stopped(); });
    m_waitingFor.reset();
    return m_now >= deadline;
}

void VirtualClock::wake()
{
    {
        const std::lock_guard lock(m_mutex);
    }
    m_changed.notify_all();
}

void VirtualClock::advanceTo(TimePoint time)
{
    {
        const std::lock_guard lock(m_mutex);
        m_now = time;
    }
    m_changed.notify_all();
    settle();
}

void VirtualClock::settle()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return caughtUp(); });
}

void VirtualClock::ended()
{
    {
        const std::lock_guard lock(m_mutex);
        m_ended = true;
    }
    m_changed.notify_all();
}

} // namespace loopwren
