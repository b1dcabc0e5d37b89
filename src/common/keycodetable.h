#pragma once

#include "hotkey.h"

#include <cstdint>
#include <optional>
#include <span>

namespace loopwren {

// What a key does to the modifier state when it is held (or, for the lock keys, pressed).
enum class ModifierRole : std::uint8_t
{
    none,
    shift,
    control,
    alt,
    super, // the logo key
    capsLock,
    numLock,
    function
};

// Translates between Linux evdev key codes (X keycode = evdev + 8) and file key codes (hotkey.h), so a
// macro recorded here replays on any layout the same physical keys, and so do macros made elsewhere.
class KeyCodeTable
{
public:
    // A key with no file key code of its own is recorded as this base plus its evdev code, so that it
    // still replays on Linux even though no other platform knows it.
    static constexpr FileKeyCode unmappedBase = 0x8000;
    static constexpr std::uint16_t maxEvdevCode = 0x2ff; // KEY_MAX of the kernel

    struct Entry
    {
        std::uint16_t evdev;
        FileKeyCode fileKeyCode;
        // Bits the key carries by itself in an event's flag word (numeric pad, function keys).
        std::uint64_t keyFlags;
        ModifierRole role;
    };

    // Total over 0..maxEvdevCode; larger codes cannot come from X (keycodes end at 255).
    static FileKeyCode fileKeyCode(std::uint16_t evdev);
    // nullopt for a file key code that names no key Linux can send.
    static std::optional<std::uint16_t> evdevCode(FileKeyCode code);

    static ModifierRole modifierRole(std::uint16_t evdev);
    static std::uint64_t keyFlags(std::uint16_t evdev);

    static std::span<const Entry> entries();
};

} // namespace loopwren
