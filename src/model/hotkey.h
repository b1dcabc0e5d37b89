#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace loopwren {

// Modifier bits of the model's flag layout, shared by recorded events and hotkeys.
namespace modifier {
inline constexpr std::uint64_t capsLock = 0x10000;
inline constexpr std::uint64_t shift = 0x20000;
inline constexpr std::uint64_t control = 0x40000;
inline constexpr std::uint64_t option = 0x80000;
inline constexpr std::uint64_t command = 0x100000;
inline constexpr std::uint64_t numericPad = 0x200000;
inline constexpr std::uint64_t function = 0x800000;
// The four bits a hotkey can hold.
inline constexpr std::uint64_t hotkeyMask = shift | control | option | command;
} // namespace modifier

struct Hotkey
{
    static constexpr std::uint16_t unsetKeyCode = 65535;

    std::uint16_t keyCode = unsetKeyCode;
    std::uint64_t modifiers = 0;

    static constexpr Hotkey unset() { return Hotkey{}; }
    bool operator==(const Hotkey&) const = default;
};

enum class HotkeyTarget : std::uint8_t
{
    record,
    playback
};

// Compact JSON: {"keyCode":N,"modifiers":N}.
std::string encodeHotkey(const Hotkey& hotkey);
// Both members required, integral and in range; other members ignored. nullopt on any failure.
std::optional<Hotkey> decodeHotkey(std::string_view json);

} // namespace loopwren
