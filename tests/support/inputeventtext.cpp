#include "inputeventtext.h"

#include <cstdio>

namespace loopwren::test {

std::string describe(const InputEvent& event)
{
    static const char* const kinds[] = {"buttonDown", "buttonUp",         "pointerMoved", "keyDown",
                                        "keyUp",      "modifiersChanged", "scroll"};
    static const char* const buttons[] = {"left", "right", "other"};
    std::string text = kinds[static_cast<int>(event.kind)];
    if (event.button)
        text += std::string(" ") + buttons[static_cast<int>(*event.button)];
    char buffer[160];
    if (event.kind == InputKind::scroll)
        std::snprintf(buffer, sizeof buffer, " dx=%g dy=%g", event.scrollDeltaX, event.scrollDeltaY);
    else if (event.kind == InputKind::keyDown || event.kind == InputKind::keyUp ||
             event.kind == InputKind::modifiersChanged)
        std::snprintf(buffer, sizeof buffer, " %u", static_cast<unsigned>(event.keyCode));
    else if (event.location)
        std::snprintf(buffer, sizeof buffer, " (%g,%g)", event.location->x, event.location->y);
    else
        std::snprintf(buffer, sizeof buffer, " nowhere");
    text += buffer;
    if (event.kind == InputKind::buttonDown || event.kind == InputKind::buttonUp)
        text += " clicks=" + std::to_string(event.clickCount);
    if (!event.flags)
        return text + " flags=none";
    if (*event.flags == 0)
        return text;
    std::snprintf(buffer, sizeof buffer, " flags=0x%llx", static_cast<unsigned long long>(*event.flags));
    return text + buffer;
}

std::vector<std::string> describe(const std::vector<InputEvent>& events)
{
    std::vector<std::string> lines;
    for (const auto& event : events)
        lines.push_back(describe(event));
    return lines;
}

} // namespace loopwren::test
