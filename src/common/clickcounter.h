#pragma once

#include <cstdint>
#include <optional>

namespace loopwren {

// The desktop's double-click rules: the longest pause between two presses, and how far apart (in
// pixels, along each axis) they may be, for the second to continue the first's click sequence.
struct ClickSettings
{
    std::uint32_t intervalMs = 400;
    int distance = 5;
};

// Neither X nor the kernel's input devices report a click count, so one is derived the way toolkits
// do: a press continues the sequence of the previous press when it is the same button, soon enough and
// close enough.
class ClickCounter
{
public:
    explicit ClickCounter(ClickSettings settings) : m_settings(settings) {}

    // timeMs is a millisecond clock (the X server's, or the low bits of the kernel's), which wraps
    // after about 49 days.
    std::int64_t press(unsigned button, int x, int y, std::uint32_t timeMs);

private:
    struct LastPress
    {
        unsigned button;
        int x;
        int y;
        std::uint32_t time;
    };

    ClickSettings m_settings;
    std::optional<LastPress> m_last;
    std::int64_t m_count = 0;
};

} // namespace loopwren
