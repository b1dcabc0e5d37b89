#include "events.h"

namespace loopwren {

MacroEvent makeEvent(EventType type, double delay)
{
    MacroEvent event;
    event.id = Uuid::random();
    event.type = type;
    event.delaySincePrevious = delay;
    return event;
}

MacroEvent makeMouseEvent(EventType type, double x, double y, MouseButtonType button)
{
    MacroEvent event = makeEvent(type, 0.25);
    event.location = Point{x, y};
    if (type != EventType::mouseMoved) {
        event.mouseButton = button;
        event.clickCount = 1;
    }
    return event;
}

MacroEvent makeKeyEvent(EventType type, std::uint16_t keyCode)
{
    MacroEvent event = makeEvent(type, 0.12);
    event.keyCode = keyCode;
    event.flags = 0;
    return event;
}

} // namespace loopwren
