#pragma once

#include "macroevent.h"
#include "probedinput.h"

#include <cstdint>
#include <vector>

namespace loopwren::bench {

// What the scripted device plays. Delays are in seconds, as a timeline holds them; clicks are at
// clickPlace, where the benchmark tells the capture the pointer is.

inline constexpr Point clickPlace{640, 400};

// count key strokes, left clicks and wheel notches, each 1-50 ms after the one before. The button
// changes at most every 80 ms, as a hand clicks: libinput holds back a change that comes within 25 ms
// of the last (it debounces worn switches) and so delivers it after input that came later, and the
// scripted device, a program, may run that much late on a busy emulated machine.
Timeline makeMixedScript(std::size_t count, std::uint32_t seed);

// count key presses, releases and wheel notches exactly 1 ms apart: input at 1,000 per second.
Timeline makeSteadyScript(std::size_t count);

// What a reader of a device's node would log for a timeline played at exactly its times, as EvdevProbe
// describes it, timed from the clock's epoch: a script as the scripted device plays it, or a recording
// as LoopWren's player puts it through the replay device (moves leave no entry, a wheel event one per
// notch, and what the timeline leaves held is released at its end).
std::vector<ProbedInput> expectedInputs(const Timeline& timeline);

} // namespace loopwren::bench
