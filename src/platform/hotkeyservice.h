#pragma once

#include "hotkey.h"
#include "serviceresult.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace loopwren {

// What a hotkey is for, as the desktop's shortcut settings list it: an id that stays the same from one
// run to the next ("record", "playback", one of each library macro's), so a desktop keeps the keys the
// user gave it there, and a line that describes it.
struct HotkeyRole
{
    QString id;
    QString description;

    HotkeyRole(QString id, QString description) : id(std::move(id)), description(std::move(description)) {}
    HotkeyRole(EngineHotkeyRole role) // NOLINT(google-explicit-constructor): the same roles, named
        : id(role == EngineHotkeyRole::record ? QStringLiteral("record") : QStringLiteral("playback")),
          description(role == EngineHotkeyRole::record ? QStringLiteral("Start or stop a recording")
                                                       : QStringLiteral("Start or stop a playback"))
    {
    }
};

// System-wide hotkeys: a combination pressed anywhere on the desktop runs its callback on the main
// thread, once per press (a held key's repeats do not count).
class HotkeyService
{
public:
    using Binding = std::uint64_t;
    using Pressed = std::function<void()>;

    // The number with which a service refuses a combination that is bound already: one press cannot
    // stand for two hotkeys. X's BadAccess, which the X server answers there, so that the log line
    // reads the same whichever service refused.
    static constexpr std::int64_t alreadyBound = 10;

    virtual ~HotkeyService() = default;

    // Binds the combination as the hotkey of the given role; on success binding names it for unbind. Only the
    // four modifier bits of modifier::hotkeyMask count; others are ignored. A combination that no key of this
    // desktop can produce (the unset hotkey, say) binds as one that never fires, unless the desktop gives
    // that hotkey a trigger of its own.
    virtual ServiceResult bind(const HotkeyRole& role, const Hotkey& hotkey, Pressed pressed,
                               Binding& binding) = 0;
    virtual void unbind(Binding binding) = 0;

    // While the user presses a combination to capture, no window may see it: holdKeyboard keeps every
    // key from reaching any window, this application's included. releaseKeyboard lets keys through
    // again once no key is down any more, so the release of the captured combination does not reach a
    // window either. A desktop that cannot hold the keyboard refuses; canHoldKeyboard says beforehand
    // whether it ever can, so that its refusal is not reported as a failure at every capture.
    virtual bool canHoldKeyboard() const { return true; }
    virtual ServiceResult holdKeyboard() = 0;
    virtual void releaseKeyboard() = 0;

    // Where the desktop has the last word on a hotkey's keys (a desktop's shortcut settings), the
    // trigger it put on the hotkey in its own words, when that is not the combination bound; an empty
    // text when it put none. nullopt where the combination bound is the one that fires.
    // The hotkey is named by its role's id.
    virtual std::optional<QString> desktopTrigger(const QString& id) const
    {
        (void)id;
        return std::nullopt;
    }
    // The keys (model key codes) of the triggers the desktop put on the hotkeys, as far as it names
    // them: a press of one is a hotkey's, whatever combination was bound, and is never recorded.
    virtual std::vector<std::uint16_t> desktopTriggerKeys() const { return {}; }
    // changed runs on the main thread whenever desktopTrigger may answer differently.
    virtual void watchDesktopTriggers(std::function<void()> changed) { (void)changed; }
};

} // namespace loopwren
