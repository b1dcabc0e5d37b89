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

// One event's delay on the clock, to the nearest tick. The schedule adds these whole ticks up, so
// delays that are not whole ticks in floating point (0.025 s) do not drift the schedule early or late.
std::chrono::steady_clock::duration delayDuration(double seconds)
{
    seconds = std::clamp(seconds, 0.0, kLongestOffsetSeconds);
    return std::chrono::round<std::chrono::steady_clock::duration>(std::chrono::duration<double>(seconds));
}

} // namespace

PlaybackWorker::PlaybackWorker(PlaybackPlan plan, std::unique_ptr<InputPoster> poster, PlaybackClock& clock,
                               IndexReached indexReached, Finished finished)
    : m_plan(std::move(plan)), m_poster(std::move(poster)), m_clock(clock),
      m_indexReached(std::move(indexReached)), m_finished(std::move(finished)), m_thread([this] { run(); })
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
    m_cancelled.store(true, std::memory_order_release);
    m_clock.wake();
}

bool PlaybackWorker::waitUntil(TimePoint deadline)
{
    return m_clock.waitUntil(deadline, [this] { return cancelled(); });
}

void PlaybackWorker::run()
{
    if (m_plan.initialPause.count() > 0)
        waitUntil(m_clock.now() + m_plan.initialPause);

    TimePoint passStart = m_clock.now();
    for (std::int64_t pass = 0; !cancelled(); ++pass) {
        if (m_plan.loopLimit >= 1 && pass >= m_plan.loopLimit)
            break;
        if (pass > 0)
            passStart += delayDuration(m_plan.variation.passPause());
        playPass(passStart);
    }
    if (m_poster)
        m_poster->releaseAll();
    m_finished();
}

void PlaybackWorker::playPass(TimePoint& passStart)
{
    std::chrono::steady_clock::duration offset{0};
    constexpr auto kLongestOffset = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(kLongestOffsetSeconds));
    TimePoint deadline = passStart;
    for (std::size_t i = 0; i < m_plan.events.size(); ++i) {
        if (cancelled())
            return;
        const MacroEvent& event = m_plan.events[i];
        const double delay = m_plan.variation.delay(event.delaySincePrevious / m_plan.speedFactor);
        if (delay > 0)
            offset = std::min(offset + delayDuration(delay), kLongestOffset);
        deadline = passStart + offset;
        // Buttons are approached ahead of time so they are pressed on the beat, not a hover later.
        const bool hovers = event.type == EventType::mouseDown || event.type == EventType::mouseUp;
        if (!waitUntil(hovers ? deadline - kHoverLead : deadline))
            return;
        // Telling the main thread wakes it, which costs a system call and may hand it this CPU: that
        // comes after the input, which is due now, unless the hover's wait lies between the two.
        if (hovers)
            m_indexReached(i);
        post(event, deadline);
        if (!hovers)
            m_indexReached(i);
    }
    const TimePoint now = m_clock.now();
    passStart = now - deadline > kCatchUpLimit ? now : deadline;
}

void PlaybackWorker::post(const MacroEvent& event, TimePoint deadline)
{
    InputPoster* poster = m_poster.get();
    switch (event.type) {
    case EventType::mouseDown:
    case EventType::mouseUp: {
        if (!event.location || !event.mouseButton)
            return;
        const bool down = event.type == EventType::mouseDown;
        const Point location = *spreadLocation(event);
        const TimePoint hoverStart = m_clock.now();
        // A pointer that had to jump rests there for at least the hover lead, even when the worker
        // is behind schedule; one that was there already (a recorded move put it there) does not.
        const bool jumped = !poster || poster->warpPointer(location);
        if (!waitUntil(jumped ? std::max(deadline, hoverStart + kHoverLead) : deadline))
            return;
        if (poster)
            poster->postMouseButton(*event.mouseButton, down, location, event.flags);
        return;
    }
    case EventType::mouseMoved:
        if (event.location && poster)
            poster->postMouseMoved(*spreadLocation(event), event.flags);
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

std::optional<Point> PlaybackWorker::spreadLocation(const MacroEvent& event)
{
    if (!event.location)
        return std::nullopt;
    if (event.type == EventType::mouseDown && event.mouseButton) {
        // A second button pressed during a drag joins it rather than tearing it apart.
        if (m_buttonsHeld.empty())
            m_heldOffset = m_plan.variation.clickOffset();
        m_buttonsHeld.insert(*event.mouseButton);
    }
    const Point offset = m_buttonsHeld.empty() ? Point{} : m_heldOffset;
    if (event.type == EventType::mouseUp && event.mouseButton)
        m_buttonsHeld.erase(*event.mouseButton);
    return Point{event.location->x + offset.x, event.location->y + offset.y};
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
