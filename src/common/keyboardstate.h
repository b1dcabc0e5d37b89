#pragma once

#include "keycodetable.h"

#include <array>
#include <bitset>
#include <cstdint>

namespace loopwren {

// Which keys are held, by evdev code, and the modifier flags that follows from them: what every
// capture needs to fold modifier keys into the flags of other inputs and to tell a key's first press
// from its repeats. Both Shift keys may be held at once; the flag goes only when the last is released.
class KeyboardState
{
public:
    // False when the key was down already: a repeat, which changes nothing. Caps Lock toggles on its
    // press, as the system's own lock state does.
    bool press(std::uint16_t evdev);
    // A key not held (pressed before watching began) changes nothing.
    void release(std::uint16_t evdev);
    bool isHeld(std::uint16_t evdev) const;
    void setCapsLocked(bool locked) { m_capsLocked = locked; }

    // The model's modifier bits of the keys held and the Caps Lock state.
    std::uint64_t modifierFlags() const;

private:
    std::bitset<KeyCodeTable::maxEvdevCode + 1> m_held;
    std::array<int, 8> m_roleCounts{};
    bool m_capsLocked = false;
};

} // namespace loopwren
