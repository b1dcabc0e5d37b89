#pragma once

#include "hotkey.h"
#include "hotkeyservice.h"

#include <functional>
#include <optional>

namespace loopwren {

// The two global hotkeys as bound with the desktop's hotkey service. Binding again releases what was
// bound before; a combination the desktop refuses is logged and simply does not work until the next
// successful binding.
class HotkeyBinding
{
public:
    HotkeyBinding(HotkeyService& service, std::function<void()> recordPressed,
                  std::function<void()> playbackPressed);
    ~HotkeyBinding();

    void bind(const Hotkey& record, const Hotkey& playback);
    void unbind();

private:
    HotkeyService& m_service;
    std::function<void()> m_recordPressed;
    std::function<void()> m_playbackPressed;
    std::optional<HotkeyService::Binding> m_record;
    std::optional<HotkeyService::Binding> m_playback;
};

} // namespace loopwren
