#pragma once

#include "testevents.h"

namespace loopwren {

// Events for a test's timeline, each with a fresh id.
inline MacroEvent makeEvent(EventType type, double delay = 0.0)
{
    return test::Event(type, delay, Uuid::random());
}

inline MacroEvent makeMouseEvent(EventType type, double x, double y,
                                 MouseButtonType button = MouseButtonType::left)
{
    test::Event event(type, 0.25, Uuid::random());
    event.at(x, y);
    if (type != EventType::mouseMoved)
        event.button(button).clicks(1);
    return event;
}

inline MacroEvent makeKeyEvent(EventType type, std::uint16_t keyCode)
{
    return test::Event(type, 0.12, Uuid::random()).key(keyCode).flags(0);
}

} // namespace loopwren
