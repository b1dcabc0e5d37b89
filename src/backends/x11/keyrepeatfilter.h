#pragma once

#include <bitset>
#include <cstdint>
#include <optional>

namespace loopwren {

// Tells the first press of a held key from the presses the server's autorepeat adds, so that holding a
// hotkey runs its action once.
//
// With XKB's detectable autorepeat the server repeats a held key as further presses without releases;
// those are recognised by the key still being down. Without it, every repeat arrives as a release
// followed by a press, both stamped with the same server time; a real release and press are never
// that close. Both forms are handled, so the filter is right whether or not the server granted the mode.
class KeyRepeatFilter
{
public:
    // True when this press starts a new hold.
    bool press(std::uint8_t keycode, std::uint32_t serverTime);
    void release(std::uint8_t keycode, std::uint32_t serverTime);
    // Forgets everything, e.g. when the key is no longer grabbed and its release may never be seen.
    void clear();

private:
    struct Release
    {
        std::uint8_t keycode;
        std::uint32_t serverTime;
    };

    std::bitset<256> m_held;
    std::optional<Release> m_lastRelease;
};

} // namespace loopwren
