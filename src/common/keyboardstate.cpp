#include "keyboardstate.h"

#include "hotkey.h"

namespace loopwren {

namespace {

std::size_t roleIndex(ModifierRole role) { return static_cast<std::size_t>(role); }

} // namespace

bool KeyboardState::press(std::uint16_t evdev)
{
    if (evdev > KeyCodeTable::maxEvdevCode || m_held.test(evdev))
        return false;
    m_held.set(evdev);
    const auto role = KeyCodeTable::modifierRole(evdev);
    ++m_roleCounts[roleIndex(role)];
    if (role == ModifierRole::capsLock)
        m_capsLocked = !m_capsLocked;
    return true;
}

void KeyboardState::release(std::uint16_t evdev)
{
    if (!isHeld(evdev))
        return;
    m_held.reset(evdev);
    --m_roleCounts[roleIndex(KeyCodeTable::modifierRole(evdev))];
}

bool KeyboardState::isHeld(std::uint16_t evdev) const
{
    return evdev <= KeyCodeTable::maxEvdevCode && m_held.test(evdev);
}

std::uint64_t KeyboardState::modifierFlags() const
{
    std::uint64_t result = m_capsLocked ? modifier::capsLock : 0;
    if (m_roleCounts[roleIndex(ModifierRole::shift)] > 0)
        result |= modifier::shift;
    if (m_roleCounts[roleIndex(ModifierRole::control)] > 0)
        result |= modifier::control;
    if (m_roleCounts[roleIndex(ModifierRole::alt)] > 0)
        result |= modifier::alt;
    if (m_roleCounts[roleIndex(ModifierRole::super)] > 0)
        result |= modifier::super;
    if (m_roleCounts[roleIndex(ModifierRole::function)] > 0)
        result |= modifier::function;
    return result;
}

} // namespace loopwren
