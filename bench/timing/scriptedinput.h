#pragma once

#include "inputposter.h"
#include "macroevent.h"

#include <cstdint>

namespace loopwren::bench {

// A new event of the type, delay seconds after the one before.
MacroEvent scriptedEvent(EventType type, double delay);

// A recording-like stream: pointer moves, key strokes and left clicks, 2-120 ms apart, with a few
// pauses of 1-1.5 s. Delays are in seconds, as a timeline holds them.
Timeline makeScript(std::size_t count, std::uint32_t seed);

// Posts the script at exact absolute times from now (sleep to just before each deadline, then spin).
void postAtAbsoluteTimes(const Timeline& script, InputPoster& poster);

// Plays a timeline the naive way, counting nominal 10 ms sleep slices instead of reading the clock.
void postWithNominalSlices(const Timeline& script, InputPoster& poster);

// One event as plain input, without the player's hover lead.
void postEvent(const MacroEvent& event, InputPoster& poster);

} // namespace loopwren::bench
