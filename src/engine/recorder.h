#pragma once

#include "inputmonitor.h"
#include "macroevent.h"

#include <QObject>
#include <chrono>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace loopwren {

// One press or release as the window system stamped it (InputEvent::systemTime).
struct InputStamp
{
    EventType type = EventType::mouseDown; // mouseDown, mouseUp, keyDown or keyUp
    std::uint32_t systemTime = 0;
    bool operator==(const InputStamp&) const = default;
};

// Turns the user's live input into timeline events while a recording runs. Each event's delay is the
// time since the input before it, from the stamps the capture took, so time spent in queues does not
// distort it. Recorded events are handed on after the handler's own step, in the order they happened.
class Recorder : public QObject
{
public:
    struct Hooks
    {
        // Receives each recorded event, queued.
        std::function<void(MacroEvent)> append;
        // Whether a key code belongs to one of the hotkeys: such presses are not recorded.
        std::function<bool(std::uint16_t keyCode)> isHotkeyKey;
        // Whether pointer movements are recorded now (the setting may change during a recording).
        std::function<bool()> recordsMovements;
    };

    Recorder(InputMonitor& monitor, Hooks hooks);
    ~Recorder() override;

    bool isWatching() const { return m_token.has_value(); }
    // Starts watching; movements are watched only when asked for now.
    void start(bool watchMovements);
    // Ends the recording with every input taken before it, except what is left out: not recorded if
    // it comes now, and taken out again (by leftOutRecorded) if it was recorded already.
    void stop(const std::vector<InputStamp>& leaveOut,
              const std::function<void(const Uuid&)>& leftOutRecorded);

private:
    void record(const InputEvent& input);

    InputMonitor& m_monitor;
    Hooks m_hooks;
    std::optional<InputMonitor::Token> m_token;
    std::optional<std::chrono::steady_clock::time_point> m_lastEventTime;
    std::chrono::steady_clock::time_point m_startTime;
    // The stamps of the last few recorded presses and releases, and what the stop leaves out.
    std::deque<std::pair<Uuid, InputStamp>> m_recentStamps;
    std::vector<InputStamp> m_leftOut;
};

} // namespace loopwren
