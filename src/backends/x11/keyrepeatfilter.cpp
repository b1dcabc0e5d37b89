#include "keyrepeatfilter.h"

namespace loopwren {

bool KeyRepeatFilter::press(std::uint8_t keycode, std::uint32_t serverTime)
{
    if (m_held.test(keycode))
        return false;
    m_held.set(keycode);
    const bool repeatPair =
        m_lastRelease && m_lastRelease->keycode == keycode && m_lastRelease->serverTime == serverTime;
    m_lastRelease.reset();
    return !repeatPair;
}

void KeyRepeatFilter::release(std::uint8_t keycode, std::uint32_t serverTime)
{
    m_held.reset(keycode);
    m_lastRelease = Release{keycode, serverTime};
}

void KeyRepeatFilter::clear()
{
    m_held.reset();
    m_lastRelease.reset();
}

} // namespace loopwren
