#include "inputconversion.h"

#include <cmath>
#include <limits>

namespace loopwren {
namespace {

MouseButtonType buttonFor(int buttonNumber)
{
    switch (buttonNumber) {
    case 0:
        return MouseButtonType::left;
    case 1:
        return MouseButtonType::right;
    default:
        return MouseButtonType::other;
    }
}

// No device scrolls by more than a 32-bit amount; a larger one is clamped rather than wrapped.
std::int32_t truncatedDelta(double delta)
{
    if (std::isnan(delta))
        return 0;
    const double whole = std::trunc(delta);
    if (whole >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    if (whole <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(whole);
}

} // namespace

std::uint64_t recordingMask(bool withMovements)
{
    std::uint64_t mask = 0;
    for (InputKind kind : {InputKind::leftMouseDown, InputKind::leftMouseUp, InputKind::rightMouseDown,
                           InputKind::rightMouseUp, InputKind::keyDown, InputKind::keyUp,
                           InputKind::scrollWheel, InputKind::otherMouseDown, InputKind::otherMouseUp})
        mask |= inputMaskBit(kind);
    if (withMovements) {
        for (InputKind kind :
             {InputKind::mouseMoved, InputKind::leftMouseDragged, InputKind::rightMouseDragged})
            mask |= inputMaskBit(kind);
    }
    return mask;
}

std::optional<MacroEvent> toMacroEvent(const InputEvent& input, bool recordMovements, double delay)
{
    MacroEvent event;
    event.delaySincePrevious = delay;
    event.flags = input.flags;
    switch (input.kind) {
    case InputKind::leftMouseDown:
    case InputKind::rightMouseDown:
    case InputKind::otherMouseDown:
    case InputKind::leftMouseUp:
    case InputKind::rightMouseUp:
    case InputKind::otherMouseUp: {
        const bool down = input.kind == InputKind::leftMouseDown || input.kind == InputKind::rightMouseDown ||
                          input.kind == InputKind::otherMouseDown;
        event.type = down ? EventType::mouseDown : EventType::mouseUp;
        event.location = input.location;
        event.mouseButton = buttonFor(input.buttonNumber);
        event.clickCount = input.clickCount;
        break;
    }
    case InputKind::mouseMoved:
    case InputKind::leftMouseDragged:
    case InputKind::rightMouseDragged:
        if (!recordMovements)
            return std::nullopt;
        event.type = EventType::mouseMoved;
        event.location = input.location;
        if (input.kind == InputKind::leftMouseDragged)
            event.mouseButton = MouseButtonType::left;
        else if (input.kind == InputKind::rightMouseDragged)
            event.mouseButton = MouseButtonType::right;
        break;
    case InputKind::keyDown:
    case InputKind::keyUp:
        event.type = input.kind == InputKind::keyDown ? EventType::keyDown : EventType::keyUp;
        event.keyCode = input.keyCode;
        break;
    case InputKind::scrollWheel:
        event.type = EventType::scroll;
        event.scrollDeltaX = truncatedDelta(input.scrollDeltaX);
        event.scrollDeltaY = truncatedDelta(input.scrollDeltaY);
        break;
    default:
        return std::nullopt;
    }
    event.id = Uuid::random();
    return event;
}

} // namespace loopwren
