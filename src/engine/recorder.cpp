#include "recorder.h"

#include "inputconversion.h"
#include "mainqueue.h"

#include <algorithm>

namespace loopwren {
namespace {

bool isPressOrRelease(EventType type)
{
    return type == EventType::mouseDown || type == EventType::mouseUp || type == EventType::keyDown ||
           type == EventType::keyUp;
}

// Enough to reach back to the press of the click that stops the recording.
constexpr std::size_t kRecentStamps = 16;

} // namespace

Recorder::Recorder(InputMonitor& monitor, Hooks hooks) : m_monitor(monitor), m_hooks(std::move(hooks)) {}

Recorder::~Recorder()
{
    if (m_token)
        m_monitor.stopWatching(*m_token);
}

void Recorder::start(bool watchMovements)
{
    if (m_token)
        m_monitor.stopWatching(*m_token);
    m_recentStamps.clear();
    m_lastEventTime = std::chrono::steady_clock::now();
    m_startTime = std::chrono::steady_clock::now();
    m_token = m_monitor.watch(recordedKinds(watchMovements), [this](const InputEvent& e) { record(e); });
}

void Recorder::stop(const std::vector<InputStamp>& leaveOut,
                    const std::function<void(const Uuid&)>& leftOutRecorded)
{
    m_leftOut = leaveOut;
    if (const auto token = std::exchange(m_token, std::nullopt))
        m_monitor.finishWatching(*token);
    for (const auto& [id, stamp] : m_recentStamps) {
        if (std::find(leaveOut.begin(), leaveOut.end(), stamp) != leaveOut.end())
            leftOutRecorded(id);
    }
    m_recentStamps.clear();
    m_leftOut.clear();
}

void Recorder::record(const InputEvent& input)
{
    // The hotkeys' own keys stay out of the recording, whatever modifiers came with them; their time
    // is added to the next recorded delay.
    if ((input.kind == InputKind::keyDown || input.kind == InputKind::keyUp) &&
        m_hooks.isHotkeyKey(input.keyCode))
        return;
    const auto base = m_lastEventTime.value_or(m_startTime);
    const double delay = std::chrono::duration<double>(input.timestamp - base).count();
    m_lastEventTime = input.timestamp;

    std::optional<MacroEvent> event = toMacroEvent(input, m_hooks.recordsMovements(), delay);
    if (!event)
        return;
    if (input.systemTime && isPressOrRelease(event->type)) {
        const InputStamp stamp{event->type, *input.systemTime};
        if (std::find(m_leftOut.begin(), m_leftOut.end(), stamp) != m_leftOut.end())
            return;
        m_recentStamps.emplace_back(event->id, stamp);
        if (m_recentStamps.size() > kRecentStamps)
            m_recentStamps.pop_front();
    }
    mainqueue::postAfterModal(this, [this, event = std::move(*event)] { m_hooks.append(event); });
}

} // namespace loopwren
