// Playback: the timeline replayed as synthetic input on a worker thread.
#include "macroengine.h"
#include "mainqueue.h"
#include "playbackworker.h"

#include <algorithm>

namespace loopwren {
namespace {

constexpr auto kFocusPause = std::chrono::milliseconds(500);

} // namespace

void MacroEngine::startPlayback()
{
    if (m_recordedEvents.empty() || m_isRecording || m_isPlaying)
        return;
    setIsPlaying(true);
    setCurrentPlaybackIndex(-1);

    PlaybackPlan plan;
    if (m_focusTargetAppBeforePlayback) {
        focusTargetApp();
        // Waited on the worker, so the window stays responsive and a stop still lands during it.
        plan.initialPause = kFocusPause;
    }
    if (m_hideOnPlayback)
        mainqueue::post(this, [this] { m_services.workspace->hideThisApplication(); });

    plan.events = m_recordedEvents;
    plan.speedFactor = std::max(m_playbackSpeed / 100.0, 0.001);
    plan.loopLimit = m_infiniteLoop ? -1 : m_loopCount;

    // A superseded playback's late reports must not touch the state of the one that replaced it.
    const std::uint64_t generation = ++m_playbackGeneration;
    m_playbackWorker.reset();
    m_playbackWorker = std::make_unique<PlaybackWorker>(
        std::move(plan), m_services.posters->create(),
        [this, generation](std::size_t index) {
            mainqueue::postAfterModal(this, [this, generation, index] {
                if (generation == m_playbackGeneration && m_isPlaying)
                    setCurrentPlaybackIndex(static_cast<qint64>(index));
            });
        },
        [this, generation] {
            mainqueue::postAfterModal(this, [this, generation] { finishPlayback(generation); });
        });
}

void MacroEngine::stopPlayback()
{
    if (!m_isPlaying)
        return;
    if (m_playbackWorker)
        m_playbackWorker->cancel();
    setIsPlaying(false);
    setCurrentPlaybackIndex(-1);
    if (m_hideOnPlayback)
        mainqueue::post(this, [this] { showApplicationAgain(); });
}

void MacroEngine::togglePlayback()
{
    if (m_isPlaying)
        stopPlayback();
    else
        startPlayback();
}

void MacroEngine::finishPlayback(std::uint64_t generation)
{
    if (generation != m_playbackGeneration)
        return;
    setIsPlaying(false);
    setCurrentPlaybackIndex(-1);
    if (m_hideOnPlayback)
        showApplicationAgain();
    emit playbackFinished();
}

} // namespace loopwren
