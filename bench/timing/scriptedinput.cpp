#include "scriptedinput.h"

#include <chrono>
#include <random>
#include <thread>

namespace loopwren::bench {
namespace {

using Clock = std::chrono::steady_clock;

void sleepPreciselyUntil(Clock::time_point deadline)
{
    // The scheduler wakes a sleeper tens of microseconds late; the last stretch is spun.
    const auto early = deadline - std::chrono::microseconds(300);
    if (Clock::now() < early)
        std::this_thread::sleep_until(early);
    while (Clock::now() < deadline) {
    }
}

} // namespace

MacroEvent scriptedEvent(EventType type, double delay)
{
    MacroEvent e;
    e.id = Uuid::random();
    e.type = type;
    e.delaySincePrevious = delay;
    return e;
}

Timeline makeScript(std::size_t count, std::uint32_t seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> gap(0.002, 0.120);
    std::uniform_real_distribution<double> pause(1.0, 1.5);
    std::uniform_int_distribution<int> kind(0, 9);
    std::uniform_int_distribution<int> x(20, 1500);
    std::uniform_int_distribution<int> y(20, 850);
    std::uniform_int_distribution<int> key(0, 8);

    Timeline script;
    Point pointer{100, 100};
    while (script.size() < count) {
        const bool pauseHere = script.size() % 100 == 50;
        const double delay = pauseHere ? pause(random) : gap(random);
        const int k = kind(random);
        if (k < 6) {
            MacroEvent move = scriptedEvent(EventType::mouseMoved, delay);
            pointer = Point{static_cast<double>(x(random)), static_cast<double>(y(random))};
            move.location = pointer;
            script.push_back(move);
        } else if (k < 9) {
            MacroEvent down = scriptedEvent(EventType::keyDown, delay);
            down.keyCode = static_cast<std::uint16_t>(key(random));
            MacroEvent up = down;
            up.id = Uuid::random();
            up.type = EventType::keyUp;
            up.delaySincePrevious = gap(random);
            script.push_back(down);
            script.push_back(up);
        } else {
            MacroEvent down = scriptedEvent(EventType::mouseDown, delay);
            down.location = pointer;
            down.mouseButton = MouseButtonType::left;
            down.clickCount = 1;
            MacroEvent up = down;
            up.id = Uuid::random();
            up.type = EventType::mouseUp;
            up.delaySincePrevious = gap(random);
            script.push_back(down);
            script.push_back(up);
        }
    }
    return script;
}

void postEvent(const MacroEvent& e, InputPoster& poster)
{
    switch (e.type) {
    case EventType::mouseMoved:
        poster.postMouseMoved(*e.location, e.flags);
        break;
    case EventType::mouseDown:
    case EventType::mouseUp:
        poster.postMouseButton(*e.mouseButton, e.type == EventType::mouseDown, *e.location, e.flags);
        break;
    case EventType::keyDown:
    case EventType::keyUp:
        poster.postKey(*e.keyCode, e.type == EventType::keyDown, e.flags);
        break;
    case EventType::scroll:
        // The scripts turn the vertical wheel a notch at a time; positive is up, as the player has it.
        poster.postScrollNotch(e.scrollDeltaY.value_or(0) > 0 ? ScrollDirection::up : ScrollDirection::down,
                               e.flags);
        break;
    default:
        break;
    }
}

void postAtAbsoluteTimes(const Timeline& script, InputPoster& poster)
{
    const Clock::time_point start = Clock::now();
    double offset = 0;
    for (const MacroEvent& e : script) {
        offset += e.delaySincePrevious;
        sleepPreciselyUntil(
            start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(offset)));
        postEvent(e, poster);
    }
    poster.releaseAll();
}

void postWithNominalSlices(const Timeline& script, InputPoster& poster)
{
    for (const MacroEvent& e : script) {
        const double d = e.delaySincePrevious;
        for (double elapsed = 0; elapsed < d; elapsed += 0.01)
            std::this_thread::sleep_for(std::chrono::duration<double>(std::min(d - elapsed, 0.01)));
        postEvent(e, poster);
    }
    poster.releaseAll();
}

} // namespace loopwren::bench
