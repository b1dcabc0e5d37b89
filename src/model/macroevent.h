#pragma once

#include "eventtype.h"
#include "hotkey.h"
#include "uuid.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace loopwren {

struct Point
{
    double x = 0.0;
    double y = 0.0;
};

// One timeline entry. A plain value: copies are independent, and identity is the id alone.
struct MacroEvent
{
    Uuid id;
    EventType type = EventType::wait;
    double delaySincePrevious = 0.0;
    std::optional<Point> location;
    std::optional<MouseButtonType> mouseButton;
    std::optional<std::int64_t> clickCount;
    std::optional<FileKeyCode> keyCode;
    std::optional<std::uint64_t> flags;
    std::optional<std::int32_t> scrollDeltaX;
    std::optional<std::int32_t> scrollDeltaY;
};

using Timeline = std::vector<MacroEvent>;

} // namespace loopwren
