#pragma once

#include "inputmonitor.h"
#include "macroevent.h"

#include <optional>

namespace loopwren {

// What the recorder watches: buttons, keys and the wheel always; movements and drags on request.
std::uint64_t recordingMask(bool withMovements);

// The timeline event for one watched input, or nullopt for input that is not recorded (movements
// while they are switched off, modifier-only changes, anything else).
std::optional<MacroEvent> toMacroEvent(const InputEvent& input, bool recordMovements, double delay);

} // namespace loopwren
