#pragma once

#include "hotkey.h"

#include <QString>
#include <optional>

namespace loopwren::shortcuttrigger {

// The hotkey in the shortcut syntax desktops share (modifiers CTRL, ALT, SHIFT, LOGO and an xkb key
// name, joined by "+": "CTRL+SHIFT+r"); nullopt for the unset hotkey and for keys with no such name.
std::optional<QString> preferred(const Hotkey& hotkey);

// Whether a desktop's own description of a trigger ("Ctrl+Shift+R", "Shift+Ctrl+R", "<Control>r")
// names the same keys as a trigger in the shared syntax; no trigger and an empty description match.
bool describesSame(const std::optional<QString>& preferred, const QString& description);

// The file key code of the one key besides the modifiers that a desktop's description of a trigger
// names; nullopt when it names none, several, or one without a key code.
std::optional<FileKeyCode> keyCodeOf(const QString& description);

} // namespace loopwren::shortcuttrigger
