#include "playbackworker.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace loopwren {
namespace {

using namespace std::chrono_literals;

// The pointer rests this long over a button before it is pressed or released, so the application
// under it sees the hover first.
constexpr auto kHoverLead = 25ms;
// No schedule reaches further than this; a hostile delay of 1e300 s must not overflow the clock.
constexpr double kLongestOffsetSeconds = 1e9;
// Behind schedule by more than this at the end of a pass, the next pass starts from now instead of
// rushing through its first events.
constexpr auto kCatchUpLimit = 10ms;

std::chrono::steady_clock::duration offsetDuration(double seconds)
{
    seconds = std::clamp(seconds, 0.0, kLongestOffsetSeconds);
    return std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(seconds));
}

} // namespace

PlaybackWorker::PlaybackWorker(PlaybackPlan plan, std::unique_ptr<InputPoster> poster,
                               IndexReached indexReached, Finished finished)
    : m_plan(std::move(plan)), m_poster(std::move(poster)), m_indexReached(std::move(indexReached)),
      m_finished(std::move(finished)), m_thread([this] { run(); })
{
}

PlaybackWorker::~PlaybackWorker()
{
    cancel();
    if (m_thread.joinable())
        m_thread.join();
}

void PlaybackWorker::cancel()
{
    {
        std::lock_guard lock(m_mutex);
        m_cancelled.store(true, std::memory_order_release);
    }
    m_wake.notify_all();
}

bool PlaybackWorker::waitUntil(Clock::time_point deadline)
{
    std::unique_lock lock(m_mutex);
    return !m_wake.wait_until(lock, deadline, [this] { return cancelled(); });
}

void PlaybackWorker::run()
{
    if (m_plan.initialPause.count() > 0)
        waitUntil(Clock::now() + m_plan.initialPause);

    Clock::time_point passStart = Clock::now();
    for (std::int64_t pass = 0; !cancelled(); ++pass) {
        if (m_plan.loopLimit >= 1 && pass >= m_plan.loopLimit)
            break;
        playPass(passStart);
    }
    if (m_poster)
        m_poster->releaseAll();
    m_finished();
}

void PlaybackWorker::playPass(Clock::time_point& passStart)
{
    double offset = 0.0;
    Clock::time_point deadline = passStart;
    for (std::size_t i = 0; i < m_plan.events.size(); ++i) {
        if (cancelled())
            return;
        const MacroEvent& event = m_plan.events[i];
        const double delay = event.delaySincePrevious / m_plan.speedFactor;
        if (delay > 0)
            offset += delay;
        deadline = passStart + offsetDuration(offset);
        // Buttons are approached ahead of time so they are pressed on the beat, not a hover later.
        const bool hovers = event.type == EventType::mouseDown || event.type == EventType::mouseUp;
        if (!waitUntil(hovers ? deadline - kHoverLead : deadline))
            return;
        m_indexReached(i);
        post(event, deadline);
    }
    const Clock::time_point now = Clock::now();
    passStart = now - deadline > kCatchUpLimit ? now : deadline;
}

void PlaybackWorker::post(const MacroEvent& event, Clock::time_point deadline)
{
    InputPoster* poster = m_poster.get();
    switch (event.type) {
    case EventType::mouseDown:
    case EventType::mouseUp: {
        if (!event.location || !event.mouseButton)
            return;
        const bool down = event.type == EventType::mouseDown;
        const Clock::time_point hoverStart = Clock::now();
        // A pointer that had to jump rests there for at least the hover lead, even when the worker
        // is behind schedule; one that was there already (a recorded move put it there) does not.
        const bool jumped = !poster || poster->warpPointer(*event.location);
        if (!waitUntil(jumped ? std::max(deadline, hoverStart + kHoverLead) : deadline))
            return;
        if (poster)
            poster->postMouseButton(*event.mouseButton, down, *event.location, event.clickCount.value_or(1),
                                    event.flags);
        return;
    }
    case EventType::mouseMoved:
        if (event.location && poster)
            poster->postMouseMoved(*event.location, event.mouseButton, event.flags);
        return;
    case EventType::keyDown:
    case EventType::keyUp:
        if (event.keyCode && poster)
            poster->postKey(*event.keyCode, event.type == EventType::keyDown, event.flags);
        return;
    case EventType::scroll:
        postScroll(event);
        return;
    case EventType::wait:
        return;
    }
}

void PlaybackWorker::postScroll(const MacroEvent& event)
{
    if (!m_poster)
        return;
    // One notch per unit, vertical first; a stop is honoured between notches, so even a hostile
    // delta of two billion notches cannot keep the playback from stopping.
    const std::int64_t dy = event.scrollDeltaY.value_or(0);
    const std::int64_t dx = event.scrollDeltaX.value_or(0);
    for (std::int64_t n = 0; n < std::llabs(dy) && !cancelled(); ++n)
        m_poster->postScrollNotch(dy > 0 ? ScrollDirection::up : ScrollDirection::down, event.flags);
    for (std::int64_t n = 0; n < std::llabs(dx) && !cancelled(); ++n)
        m_poster->postScrollNotch(dx > 0 ? ScrollDirection::left : ScrollDirection::right, event.flags);
}

} // namespace loopwren
