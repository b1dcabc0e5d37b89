#pragma once

#include "inputposter.h"
#include "playbackclock.h"
#include "playbacksessionlock.h"
#include "playbackworker.h"

#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>

namespace loopwren {

// Runs one playback at a time on a worker of its own and reports back on the main thread: the index
// reached and the end, both in order with the rest of the main queue's work. A new playback replaces
// the one before, and a superseded or stopped playback's late reports are dropped.
class Player : public QObject
{
public:
    struct Hooks
    {
        std::function<void(std::size_t index)> indexReached;
        // After the worker has released everything it pressed, whether the playback completed or was
        // stopped.
        std::function<void()> finished;
    };

    // With a lock path, a playback is refused while another player of the session plays.
    Player(InputPosterFactory& posters, PlaybackClock& clock, Hooks hooks, const QString& lockPath = {});
    ~Player() override;

    // Before each start: empty when this player may play now, else why not.
    QString claim();
    // Says once, in one log line, which pointer input of the plan lands off every screen.
    void start(PlaybackPlan plan);
    // Cancels the running playback; its end is still reported.
    void stop();

private:
    InputPosterFactory& m_posters;
    PlaybackClock& m_clock;
    Hooks m_hooks;
    std::unique_ptr<PlaybackSessionLock> m_lock;
    std::uint64_t m_claim = 0;
    std::unique_ptr<PlaybackWorker> m_worker;
    std::uint64_t m_generation = 0;
    bool m_stopped = true;
};

} // namespace loopwren
