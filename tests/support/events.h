#pragma once

#include "macroevent.h"

#include <cstdint>

namespace loopwren {

// Events for a test's timeline, each with a fresh id.
MacroEvent makeEvent(EventType type, double delay = 0.0);
MacroEvent makeMouseEvent(EventType type, double x, double y, MouseButtonType button = MouseButtonType::left);
MacroEvent makeKeyEvent(EventType type, std::uint16_t keyCode);

} // namespace loopwren
