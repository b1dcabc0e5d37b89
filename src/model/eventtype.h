#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace loopwren {

// The raw values are what macro files hold, so they are part of the file format.
enum class EventType : std::uint8_t
{
    mouseDown,
    mouseUp,
    mouseMoved,
    keyDown,
    keyUp,
    scroll,
    wait
};

enum class MouseButtonType : std::uint8_t
{
    left,
    right,
    other
};

std::string_view rawValue(EventType type);
std::string_view rawValue(MouseButtonType button);

// Exact, case-sensitive matches: "MouseDown" is not a type.
std::optional<EventType> eventTypeFromRaw(std::string_view raw);
std::optional<MouseButtonType> mouseButtonFromRaw(std::string_view raw);

} // namespace loopwren
