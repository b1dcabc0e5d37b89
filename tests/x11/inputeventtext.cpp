#include "inputeventtext.h"

#include <cstdio>

namespace loopwren {

std::string InputEventText::kindName(InputKind kind)
{
    switch (kind) {
    case InputKind::leftMouseDown:
        return "leftMouseDown";
    case InputKind::leftMouseUp:
        return "leftMouseUp";
    case InputKind::rightMouseDown:
        return "rightMouseDown";
    case InputKind::rightMouseUp:
        return "rightMouseUp";
    case InputKind::mouseMoved:
        return "mouseMoved";
    case InputKind::leftMouseDragged:
        return "leftMouseDragged";
    case InputKind::rightMouseDragged:
        return "rightMouseDragged";
    case InputKind::keyDown:
        return "keyDown";
    case InputKind::keyUp:
        return "keyUp";
    case InputKind::flagsChanged:
        return "flagsChanged";
    case InputKind::scrollWheel:
        return "scrollWheel";
    case InputKind::otherMouseDown:
        return "otherMouseDown";
    case InputKind::otherMouseUp:
        return "otherMouseUp";
    case InputKind::otherMouseDragged:
        return "otherMouseDragged";
    }
    return "kind" + std::to_string(static_cast<int>(kind));
}

std::string InputEventText::describe(const InputEvent& event)
{
    std::string text = kindName(event.kind);
    char buffer[160];
    switch (event.kind) {
    case InputKind::keyDown:
    case InputKind::keyUp:
    case InputKind::flagsChanged:
        std::snprintf(buffer, sizeof buffer, " %u", static_cast<unsigned>(event.keyCode));
        text += buffer;
        break;
    case InputKind::scrollWheel:
        std::snprintf(buffer, sizeof buffer, " dx=%g dy=%g", event.scrollDeltaX, event.scrollDeltaY);
        text += buffer;
        break;
    case InputKind::mouseMoved:
        std::snprintf(buffer, sizeof buffer, " (%g,%g)", event.location.x, event.location.y);
        text += buffer;
        break;
    case InputKind::leftMouseDragged:
    case InputKind::rightMouseDragged:
    case InputKind::otherMouseDragged:
        std::snprintf(buffer, sizeof buffer, " (%g,%g) button=%d", event.location.x, event.location.y,
                      event.buttonNumber);
        text += buffer;
        break;
    default:
        std::snprintf(buffer, sizeof buffer, " (%g,%g) button=%d clicks=%lld", event.location.x,
                      event.location.y, event.buttonNumber, static_cast<long long>(event.clickCount));
        text += buffer;
        break;
    }
    if (event.flags) {
        std::snprintf(buffer, sizeof buffer, " flags=0x%llx", static_cast<unsigned long long>(*event.flags));
        text += buffer;
    } else {
        text += " flags=none";
    }
    return text;
}

std::vector<std::string> InputEventText::describe(const std::vector<InputEvent>& events)
{
    std::vector<std::string> lines;
    lines.reserve(events.size());
    for (const auto& event : events)
        lines.push_back(describe(event));
    return lines;
}

} // namespace loopwren
