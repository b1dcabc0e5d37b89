#pragma once

#include "hotkeyservice.h"
#include "inputmonitor.h"

#include <map>
#include <memory>
#include <optional>

namespace loopwren {

// Hotkeys read from the keys the input devices report: a bound combination runs its callback when its
// key goes down with exactly its modifiers held. Nothing on this path can keep a key from the focused
// application, so the keys of a hotkey reach it too, and the keyboard cannot be held for a capture.
// The devices are read only while a combination is bound.
class KernelHotkeyService : public HotkeyService
{
public:
    explicit KernelHotkeyService(std::unique_ptr<InputMonitor> keys);
    ~KernelHotkeyService() override;

    // Refused with EACCES when the input devices cannot be read, and as alreadyBound for a combination
    // bound already (the X server refuses that too).
    ServiceResult bind(const HotkeyRole&, const Hotkey& hotkey, Pressed pressed, Binding& binding) override;
    void unbind(Binding binding) override;
    // Refused with EOPNOTSUPP.
    bool canHoldKeyboard() const override { return false; }
    ServiceResult holdKeyboard() override;
    void releaseKeyboard() override {}

private:
    void keyDown(const InputEvent& event);

    std::unique_ptr<InputMonitor> m_keys;
    std::optional<InputMonitor::Token> m_watch;
    std::map<Binding, std::pair<Hotkey, Pressed>> m_bindings;
    Binding m_next = 1;
};

} // namespace loopwren
