#pragma once

#include "hotkey.h"
#include "serviceresult.h"

#include <cstdint>
#include <functional>

namespace loopwren {

// System-wide hotkeys: a combination pressed anywhere on the desktop runs its callback on the main
// thread, once per press (a held key's repeats do not count).
class HotkeyService
{
public:
    using Binding = std::uint64_t;
    using Pressed = std::function<void()>;

    virtual ~HotkeyService() = default;

    // Binds the combination; on success binding names it for unbind. A combination that no key of
    // this desktop can produce (the unset hotkey, say) binds as one that never fires.
    virtual ServiceResult bind(const Hotkey& hotkey, Pressed pressed, Binding& binding) = 0;
    virtual void unbind(Binding binding) = 0;

    // While the user presses a combination to capture, no window may see it: holdKeyboard keeps every
    // key from reaching any window, this application's included. releaseKeyboard lets keys through
    // again once no key is down any more, so the release of the captured combination does not reach a
    // window either. A desktop that cannot hold the keyboard refuses.
    virtual ServiceResult holdKeyboard() = 0;
    virtual void releaseKeyboard() = 0;
};

} // namespace loopwren
