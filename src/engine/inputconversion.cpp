#include "inputconversion.h"

#include <cmath>
#include <limits>

namespace loopwren {
namespace {

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

InputKinds recordedKinds(bool withMovements)
{
    const InputKinds always{InputKind::buttonDown, InputKind::buttonUp, InputKind::keyDown, InputKind::keyUp,
                            InputKind::scroll};
    return withMovements ? always.with(InputKind::pointerMoved) : always;
}

std::optional<MacroEvent> toMacroEvent(const InputEvent& input, bool recordMovements, double delay)
{
    MacroEvent event;
    event.delaySincePrevious = delay;
    event.flags = input.flags;
    switch (input.kind) {
    case InputKind::buttonDown:
    case InputKind::buttonUp:
        // A click needs a place; one where the backend cannot know it would replay as nothing.
        if (!input.location || !input.button)
            return std::nullopt;
        event.type = input.kind == InputKind::buttonDown ? EventType::mouseDown : EventType::mouseUp;
        event.location = input.location;
        event.mouseButton = input.button;
        event.clickCount = input.clickCount;
        break;
    case InputKind::pointerMoved:
        if (!recordMovements || !input.location || input.button == MouseButtonType::other)
            return std::nullopt;
        event.type = EventType::mouseMoved;
        event.location = input.location;
        event.mouseButton = input.button;
        break;
    case InputKind::keyDown:
    case InputKind::keyUp:
        event.type = input.kind == InputKind::keyDown ? EventType::keyDown : EventType::keyUp;
        event.keyCode = input.keyCode;
        break;
    case InputKind::scroll:
        event.type = EventType::scroll;
        event.scrollDeltaX = truncatedDelta(input.scrollDeltaX);
        event.scrollDeltaY = truncatedDelta(input.scrollDeltaY);
        break;
    case InputKind::modifiersChanged:
        return std::nullopt;
    }
    event.id = Uuid::random();
    return event;
}

} // namespace loopwren
