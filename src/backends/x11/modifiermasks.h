#pragma once

#include <array>
#include <cstdint>
#include <vector>

struct xcb_connection_t;

namespace loopwren {

// The X modifier bits that stand for Alt, Super and Num Lock on one server. They are Mod1, Mod4 and
// Mod2 on nearly every desktop, but the modifier map belongs to the user (xmodmap, XKB options), and a
// hotkey grabbed with the wrong bit never fires.
class ModifierMasks
{
public:
    static constexpr std::uint16_t shiftMask = 0x01;
    static constexpr std::uint16_t lockMask = 0x02;
    static constexpr std::uint16_t controlMask = 0x04;
    static constexpr std::uint16_t mod1Mask = 0x08;
    static constexpr std::uint16_t mod2Mask = 0x10;
    static constexpr std::uint16_t mod4Mask = 0x40;

    // The common layout: Alt on Mod1, Super on Mod4, Num Lock on Mod2.
    ModifierMasks() = default;

    // Decides from the keysyms bound to each of the eight modifiers (Shift, Lock, Control, Mod1..Mod5).
    // A role no key plays keeps its usual bit, except Num Lock, which then has none.
    static ModifierMasks fromModifierKeysyms(const std::array<std::vector<std::uint32_t>, 8>& keysyms);
    // Reads the server's modifier and keyboard maps; the common layout when they cannot be read.
    static ModifierMasks query(xcb_connection_t* connection);

    std::uint16_t alt() const { return m_alt; }
    std::uint16_t super() const { return m_super; }
    std::uint16_t numLock() const { return m_numLock; }

    // The X modifiers for a hotkey's modifier bits (Shift, Control, Option as Alt, Command as Super);
    // other bits are ignored.
    std::uint16_t fromModifiers(std::uint64_t modifiers) const;
    // The lock states a hotkey must work in: none, Caps Lock, Num Lock and both (duplicates dropped
    // when no key is Num Lock).
    std::vector<std::uint16_t> lockVariants() const;
    // An event's modifier state without the locks and the pointer buttons, comparable with
    // fromModifiers().
    std::uint16_t significant(std::uint16_t state) const;

private:
    std::uint16_t m_alt = mod1Mask;
    std::uint16_t m_super = mod4Mask;
    std::uint16_t m_numLock = mod2Mask;
};

} // namespace loopwren
