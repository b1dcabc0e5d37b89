#pragma once

#include "hotkey.h"
#include "hotkeyservice.h"
#include "inputmonitor.h"

#include <QObject>
#include <functional>
#include <optional>

namespace loopwren {

class MacroEngine;

// Lets the user press the combination for a hotkey. While a capture runs the engine's own hotkeys
// are released, so pressing a combination that is already a hotkey captures it instead of firing it,
// and the keyboard is held, so the combination reaches no window (Ctrl+W would close a browser tab,
// Space would press the focused capture button again). The next key press (modifier keys alone do not
// count) ends the capture: Escape leaves the hotkey as it was, any other key becomes the hotkey with
// the modifiers held. The keys are seen through the input monitor, which watches whatever the
// keyboard hold does to their delivery.
class HotkeyCapture : public QObject
{
    Q_OBJECT
    // -1 when no capture runs, else the role of the hotkey being captured (EngineHotkeyRole: 0 record,
    // 1 playback).
    Q_PROPERTY(int recordingHotkeyFor READ recordingHotkeyForValue NOTIFY recordingHotkeyForChanged)

public:
    explicit HotkeyCapture(MacroEngine& engine, QObject* parent = nullptr);
    ~HotkeyCapture() override;

    std::optional<EngineHotkeyRole> recordingHotkeyFor() const { return m_recordingHotkeyFor; }
    int recordingHotkeyForValue() const;

    Q_INVOKABLE void startHotkeyCapture(int role);
    void startHotkeyCapture(EngineHotkeyRole role);
    // A capture in the same way for another hotkey (a library macro's): apply is given the combination.
    void startCapture(std::function<void(const Hotkey&)> apply);
    bool isCapturingOther() const { return static_cast<bool>(m_apply); }
    void handleCapturedKey(const InputEvent& event, EngineHotkeyRole role);
    void applyCapturedHotkey(EngineHotkeyRole role, std::uint16_t keyCode, std::uint64_t modifiers);
    Q_INVOKABLE void resetHotkeys();
    // The capture ends without a new hotkey: the window is going away, lost the focus or no longer
    // shows the settings page.
    Q_INVOKABLE void cancel();

signals:
    void recordingHotkeyForChanged();

private:
    void setRecordingHotkeyFor(std::optional<EngineHotkeyRole> target);
    void begin(EngineHotkeyRole role);
    void removeActiveMonitor();
    void releaseKeyboard();

    MacroEngine& m_engine;
    InputMonitor& m_monitor;
    HotkeyService& m_hotkeys;
    bool m_holdingKeyboard = false;
    std::optional<EngineHotkeyRole> m_recordingHotkeyFor;
    std::optional<InputMonitor::Token> m_activeMonitor;
    std::function<void(const Hotkey&)> m_apply;
};

} // namespace loopwren
