#pragma once

#include "inputmonitor.h"
#include "macroevent.h"

#include <cstdint>
#include <vector>

namespace loopwren::bench {

// What the server should report for one macro event, as the RECORD capture translates it.
struct ExpectedInput
{
    InputKind kind = InputKind::pointerMoved;
    std::optional<MouseButtonType> button; // a pressed or released button, or a drag's
    std::uint16_t keyCode = 0;             // key events only
    Point location;                        // pointer events only
};

// A macro that exercises every kind of playback at once (key taps and rollovers with modifiers,
// clicks of all three buttons, drags, moves, scrolls in four directions) and whose every event turns
// into exactly one input the server reports, so a pass can be checked event by event:
// - it starts with a move to the marker position, which no other event visits, so a watcher can tell
//   where each pass begins;
// - clicks happen where the pointer already is, so the player never has to warp it there first;
// - every move goes somewhere new, since a move to the current position may go unreported;
// - scrolls are single notches;
// - every event carries its modifier flags and the last one carries none, so each pass presses and
//   releases the same modifiers and ends with nothing held.
class SoakMacro
{
public:
    static constexpr Point marker{5, 5};

    // A pseudo-random macro of exactly eventCount events (at least 2) with delays between
    // minDelayMs and maxDelayMs; the same seed gives the same macro.
    static SoakMacro generate(std::size_t eventCount, std::uint32_t seed, int minDelayMs, int maxDelayMs);

    const Timeline& events() const { return m_events; }
    // One entry per event, in order.
    const std::vector<ExpectedInput>& expected() const { return m_expected; }
    // The sum of the delays: how long one pass takes at normal speed.
    double passSeconds() const;

private:
    Timeline m_events;
    std::vector<ExpectedInput> m_expected;
};

// Whether a reported input is the marker move that begins a pass.
bool isPassMarker(const InputEvent& input);

} // namespace loopwren::bench
