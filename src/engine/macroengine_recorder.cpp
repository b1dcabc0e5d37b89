// Recording: the user's input, watched anywhere on the desktop, becomes the timeline.
#include "inputconversion.h"
#include "macroengine.h"
#include "mainqueue.h"
#include "timelineedits.h"

#include <algorithm>

namespace loopwren {
namespace {

bool isPressOrRelease(EventType type)
{
    return type == EventType::mouseDown || type == EventType::mouseUp || type == EventType::keyDown ||
           type == EventType::keyUp;
}

} // namespace

void MacroEngine::startRecording()
{
    if (m_isRecording)
        return;
    if (m_isPlaying)
        stopPlayback();
    checkAccessibility();
    setIsRecording(true);
    setRecordedEvents({});
    m_lastEventTime = std::chrono::steady_clock::now();
    if (m_hideWhenRecording)
        mainqueue::post(this, [this] { m_services.workspace->hideThisApplication(); });
    m_recordingStartTime = std::chrono::steady_clock::now();

    const std::uint64_t mask = recordingMask(m_recordMouseMovements);
    if (auto token =
            m_services.input->addGlobalMonitor(mask, [this](const InputEvent& e) { recordInputEvent(e); }))
        m_globalMonitors.push_back(*token);
    if (auto token =
            m_services.input->addLocalMonitor(mask, [this](const InputEvent& e) { recordInputEvent(e); }))
        m_localMonitors.push_back(*token);
}

void MacroEngine::stopRecording(const std::vector<InputStamp>& leaveOut)
{
    if (!m_isRecording)
        return;
    setIsRecording(false);
    // Input the system took before the stop still belongs to the recording, except what is left out:
    // not recorded if it comes now, taken out again if it was recorded already.
    m_leftOut = leaveOut;
    for (const InputMonitor::Token token : m_globalMonitors)
        m_services.input->finishMonitor(token);
    removeEventMonitors();
    for (const auto& [id, stamp] : m_recentStamps) {
        if (std::find(leaveOut.begin(), leaveOut.end(), stamp) != leaveOut.end())
            editTimeline([id](Timeline& events) { timelineedits::deleteEvent(events, id); });
    }
    m_recentStamps.clear();
    m_leftOut.clear();
    if (m_hideWhenRecording)
        mainqueue::post(this, [this] { showApplicationAgain(); });
}

void MacroEngine::toggleRecording()
{
    if (m_isRecording)
        stopRecording();
    else
        startRecording();
}

void MacroEngine::removeEventMonitors()
{
    for (const InputMonitor::Token token : m_globalMonitors)
        m_services.input->removeMonitor(token);
    for (const InputMonitor::Token token : m_localMonitors)
        m_services.input->removeMonitor(token);
    m_globalMonitors.clear();
    m_localMonitors.clear();
}

void MacroEngine::recordInputEvent(const InputEvent& input)
{
    if (input.kind == InputKind::keyDown || input.kind == InputKind::keyUp) {
        // The hotkeys' own keys stay out of the recording, whatever modifiers came with them; their
        // time is added to the next recorded delay.
        for (const Hotkey& hotkey : {m_recordHotkey, m_playbackHotkey}) {
            if (hotkey.keyCode != Hotkey::unsetKeyCode && hotkey.keyCode == input.keyCode)
                return;
        }
    }
    // Delays are differences of the stamps the capture took when it read each input, so time the
    // input spent in queues does not distort them.
    const auto base = m_lastEventTime.value_or(m_recordingStartTime);
    const double delay = std::chrono::duration<double>(input.timestamp - base).count();
    m_lastEventTime = input.timestamp;

    std::optional<MacroEvent> event = toMacroEvent(input, m_recordMouseMovements, delay);
    if (!event)
        return;
    if (input.systemTime && isPressOrRelease(event->type)) {
        const InputStamp stamp{event->type, *input.systemTime};
        if (std::find(m_leftOut.begin(), m_leftOut.end(), stamp) != m_leftOut.end())
            return;
        // Enough to reach back to the press of the click that stops the recording.
        constexpr std::size_t kRecentStamps = 16;
        m_recentStamps.emplace_back(event->id, stamp);
        if (m_recentStamps.size() > kRecentStamps)
            m_recentStamps.pop_front();
    }
    mainqueue::postAfterModal(this, [this, event = std::move(*event)] { appendRecordedEvent(event); });
}

void MacroEngine::appendRecordedEvent(MacroEvent event)
{
    m_recordedEvents.push_back(std::move(event));
    const int last = static_cast<int>(m_recordedEvents.size()) - 1;
    emit recordedEventsAppended(last, last);
    emit recordedEventsChanged();
}

void MacroEngine::showApplicationAgain() { m_services.workspace->showThisApplication(); }

} // namespace loopwren
