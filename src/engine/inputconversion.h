#pragma once

#include "inputmonitor.h"
#include "macroevent.h"

#include <optional>

namespace loopwren {

// What the recorder watches: buttons, keys and the wheel always; pointer movements on request.
InputKinds recordedKinds(bool withMovements);

// The timeline event for one watched input, or nullopt for input that is not recorded: movements
// while they are switched off, drags of a button other than left and right, pointer input without a
// position, modifier-only changes.
std::optional<MacroEvent> toMacroEvent(const InputEvent& input, bool recordMovements, double delay);

} // namespace loopwren
