#include "inputeventtext.h"

#include <cstdio>
#include <utility>

namespace loopwren {
namespace {

std::string kindName(InputKind kind)
{
    using enum InputKind;
    static const std::pair<InputKind, const char*> names[] = {
        // clang-format off
        {leftMouseDown, "leftMouseDown"}, {leftMouseUp, "leftMouseUp"}, {rightMouseDown, "rightMouseDown"},
        {rightMouseUp, "rightMouseUp"}, {mouseMoved, "mouseMoved"}, {leftMouseDragged, "leftMouseDragged"},
        {rightMouseDragged, "rightMouseDragged"}, {keyDown, "keyDown"}, {keyUp, "keyUp"},
        {flagsChanged, "flagsChanged"}, {scrollWheel, "scrollWheel"}, {otherMouseDown, "otherMouseDown"},
        {otherMouseUp, "otherMouseUp"}, {otherMouseDragged, "otherMouseDragged"},
        // clang-format on
    };
    for (const auto& [known, name] : names) {
        if (known == kind)
            return name;
    }
    return "kind" + std::to_string(static_cast<int>(kind));
}

} // namespace

std::string InputEventText::describe(const InputEvent& event)
{
    char buffer[160];
    switch (event.kind) {
    case InputKind::keyDown:
    case InputKind::keyUp:
    case InputKind::flagsChanged:
        std::snprintf(buffer, sizeof buffer, " %u", static_cast<unsigned>(event.keyCode));
        break;
    case InputKind::scrollWheel:
        std::snprintf(buffer, sizeof buffer, " dx=%g dy=%g", event.scrollDeltaX, event.scrollDeltaY);
        break;
    case InputKind::mouseMoved:
        std::snprintf(buffer, sizeof buffer, " (%g,%g)", event.location.x, event.location.y);
        break;
    case InputKind::leftMouseDragged:
    case InputKind::rightMouseDragged:
    case InputKind::otherMouseDragged:
        std::snprintf(buffer, sizeof buffer, " (%g,%g) button=%d", event.location.x, event.location.y,
                      event.buttonNumber);
        break;
    default:
        std::snprintf(buffer, sizeof buffer, " (%g,%g) button=%d clicks=%lld", event.location.x,
                      event.location.y, event.buttonNumber, static_cast<long long>(event.clickCount));
        break;
    }
    std::string text = kindName(event.kind) + buffer;
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
