#include "inputeventtext.h"

#include <cstdio>

namespace loopwren {
namespace {

const char* kindName(InputKind kind)
{
    static const char* const names[] = {"buttonDown", "buttonUp",         "pointerMoved", "keyDown",
                                        "keyUp",      "modifiersChanged", "scroll"};
    return names[static_cast<int>(kind)];
}

const char* buttonName(MouseButtonType button)
{
    switch (button) {
    case MouseButtonType::left:
        return "left";
    case MouseButtonType::right:
        return "right";
    case MouseButtonType::other:
        return "other";
    }
    return "?";
}

} // namespace

std::string InputEventText::describe(const InputEvent& event)
{
    std::string text = kindName(event.kind);
    char buffer[160];
    if (event.button)
        text += std::string(" ") + buttonName(*event.button);
    switch (event.kind) {
    case InputKind::keyDown:
    case InputKind::keyUp:
    case InputKind::modifiersChanged:
        std::snprintf(buffer, sizeof buffer, " %u", static_cast<unsigned>(event.keyCode));
        break;
    case InputKind::scroll:
        std::snprintf(buffer, sizeof buffer, " dx=%g dy=%g", event.scrollDeltaX, event.scrollDeltaY);
        break;
    case InputKind::pointerMoved:
        std::snprintf(buffer, sizeof buffer, " (%g,%g)", event.location->x, event.location->y);
        break;
    case InputKind::buttonDown:
    case InputKind::buttonUp:
        std::snprintf(buffer, sizeof buffer, " (%g,%g) clicks=%lld", event.location->x, event.location->y,
                      static_cast<long long>(event.clickCount));
        break;
    }
    text += buffer;
    if (!event.flags)
        return text + " flags=none";
    std::snprintf(buffer, sizeof buffer, " flags=0x%llx", static_cast<unsigned long long>(*event.flags));
    return text + buffer;
}

std::vector<std::string> InputEventText::describe(const std::vector<InputEvent>& events)
{
    std::vector<std::string> lines;
    for (const auto& event : events)
        lines.push_back(describe(event));
    return lines;
}

} // namespace loopwren
