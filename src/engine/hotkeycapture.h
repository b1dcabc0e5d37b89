#pragma once

#include "hotkey.h"
#include "inputmonitor.h"

#include <QObject>
#include <optional>

namespace loopwren {

class MacroEngine;

// Lets the user press the combination for a hotkey. While a capture runs the engine's own hotkeys
// are released, so pressing a combination that is already a hotkey captures it instead of firing it.
// The next key press (modifier keys alone do not count) ends the capture: Escape leaves the hotkey as
// it was, any other key becomes the hotkey with the modifiers held.
class HotkeyCapture : public QObject
{
    Q_OBJECT
    // -1 when no capture runs, else the HotkeyTarget being captured (0 record, 1 playback).
    Q_PROPERTY(int recordingHotkeyFor READ recordingHotkeyForValue NOTIFY recordingHotkeyForChanged)

public:
    HotkeyCapture(MacroEngine& engine, InputMonitor& monitor, QObject* parent = nullptr);
    ~HotkeyCapture() override;

    std::optional<HotkeyTarget> recordingHotkeyFor() const { return m_recordingHotkeyFor; }
    int recordingHotkeyForValue() const;

    Q_INVOKABLE void startHotkeyCapture(int target);
    void startHotkeyCapture(HotkeyTarget target);
    void handleCapturedKey(const InputEvent& event, HotkeyTarget target);
    void applyCapturedHotkey(HotkeyTarget target, std::uint16_t keyCode, std::uint64_t modifiers);
    Q_INVOKABLE void resetHotkeys();
    // The window is going away: the capture ends without a new hotkey.
    Q_INVOKABLE void cancel();

signals:
    void recordingHotkeyForChanged();

private:
    void setRecordingHotkeyFor(std::optional<HotkeyTarget> target);
    void removeActiveMonitor();

    MacroEngine& m_engine;
    InputMonitor& m_monitor;
    std::optional<HotkeyTarget> m_recordingHotkeyFor;
    std::optional<InputMonitor::Token> m_activeMonitor;
};

} // namespace loopwren
