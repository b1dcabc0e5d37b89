#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace loopwren {

// A file key code: the key code that macro files and stored hotkeys carry, and so the one every
// recorded event and hotkey holds. It names a key by its position on a US keyboard, so a macro replays
// the same physical keys on any layout; KeyCodeTable translates it to and from Linux's codes.
using FileKeyCode = std::uint16_t;

// Modifier bits of the model's flag layout, shared by recorded events and hotkeys.
namespace modifier {
inline constexpr std::uint64_t capsLock = 0x10000;
inline constexpr std::uint64_t shift = 0x20000;
inline constexpr std::uint64_t control = 0x40000;
inline constexpr std::uint64_t alt = 0x80000;
inline constexpr std::uint64_t super = 0x100000; // the logo key
inline constexpr std::uint64_t numericPad = 0x200000;
inline constexpr std::uint64_t function = 0x800000;
// The four bits a hotkey can hold.
inline constexpr std::uint64_t hotkeyMask = shift | control | alt | super;
} // namespace modifier

struct Hotkey
{
    static constexpr FileKeyCode unsetKeyCode = 65535;

    FileKeyCode keyCode = unsetKeyCode;
    std::uint64_t modifiers = 0;

    static constexpr Hotkey unset() { return Hotkey{}; }
    bool operator==(const Hotkey&) const = default;
};

// What one of the engine's own two hotkeys is for; a library macro's hotkey has a role of its own
// (HotkeyRole, beside the hotkey service).
enum class EngineHotkeyRole : std::uint8_t
{
    record,
    playback
};

// Compact JSON: {"keyCode":N,"modifiers":N}.
std::string encodeHotkey(const Hotkey& hotkey);
// Both members required, integral and in range; other members ignored. nullopt on any failure.
std::optional<Hotkey> decodeHotkey(std::string_view json);

} // namespace loopwren
