#pragma once

#include "inputposter.h"
#include "macroevent.h"
#include "playbackclock.h"
#include "playbackvariation.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <thread>

namespace loopwren {

struct PlaybackPlan
{
    Timeline events;            // a copy: edits of the timeline during playback change nothing here
    double speedFactor = 1.0;   // delays are divided by it
    std::int64_t loopLimit = 1; // passes; below 1 plays until stopped
    std::chrono::milliseconds initialPause{0}; // lets a target application come forward first
    // Drawn delays, pauses between passes and click offsets; the default strays from nothing.
    PlaybackVariation variation;
};

// Plays one timeline on its own thread. It waits against absolute deadlines measured from the start
// of each pass on the monotonic clock, so a long macro does not drift, and a stop wakes it at once,
// whatever it is waiting for. Every key and button it pressed is released when it ends. The values
// the plan's variation draws become deadlines like any recorded delay: they add no drift of their own.
class PlaybackWorker
{
public:
    // Both callbacks run on the worker thread.
    using IndexReached = std::function<void(std::size_t index)>;
    using Finished = std::function<void()>;

    PlaybackWorker(PlaybackPlan plan, std::unique_ptr<InputPoster> poster, PlaybackClock& clock,
                   IndexReached indexReached, Finished finished);
    // Cancels and waits for the thread to end.
    ~PlaybackWorker();

    void cancel();

private:
    using TimePoint = PlaybackClock::TimePoint;

    void run();
    void playPass(TimePoint& passStart);
    // False when cancelled before the deadline.
    bool waitUntil(TimePoint deadline);
    bool cancelled() const { return m_cancelled.load(std::memory_order_acquire); }
    void post(const MacroEvent& event, TimePoint deadline);
    void postScroll(const MacroEvent& event);
    // The event's location moved by the offset of the press it belongs to, if any.
    std::optional<Point> spreadLocation(const MacroEvent& event);

    PlaybackPlan m_plan;
    std::unique_ptr<InputPoster> m_poster;
    PlaybackClock& m_clock;
    IndexReached m_indexReached;
    Finished m_finished;

    // The buttons this playback holds, and the offset their press drew: the release and the drags
    // between land as far off as the press, so a click stays a click and a drag keeps its shape.
    std::set<MouseButtonType> m_buttonsHeld;
    Point m_heldOffset;

    std::atomic<bool> m_cancelled{false};
    std::thread m_thread; // last member: starts once everything it uses exists
};

} // namespace loopwren
