#pragma once

#include "macroevent.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

namespace loopwren::test {

inline constexpr const char* kIdText = "6F9619FF-8B86-D011-B42D-00C04FC964FF";

inline Uuid testId() { return *Uuid::parse(kIdText); }

// Builds events for tables: Event(mouseDown).at(1, 2).button(MouseButtonType::left).
class Event
{
public:
    explicit Event(EventType type, double delay = 0, Uuid id = Uuid())
    {
        m_event.id = id;
        m_event.type = type;
        m_event.delaySincePrevious = delay;
    }
    Event& at(double x, double y) { return set(m_event.location, Point{x, y}); }
    Event& button(MouseButtonType button) { return set(m_event.mouseButton, button); }
    Event& clicks(std::int64_t count) { return set(m_event.clickCount, count); }
    Event& key(std::uint16_t code) { return set(m_event.keyCode, code); }
    Event& flags(std::uint64_t flags) { return set(m_event.flags, flags); }
    Event& scroll(std::int32_t dx, std::int32_t dy)
    {
        m_event.scrollDeltaX = dx;
        return set(m_event.scrollDeltaY, dy);
    }
    operator MacroEvent() const { return m_event; }

private:
    template <typename T, typename V>
    Event& set(std::optional<T>& field, V value)
    {
        field = value;
        return *this;
    }

    MacroEvent m_event;
};

// Every field in one line, doubles by their bits so that -0.0 against 0.0 counts as a difference.
inline std::string dump(const MacroEvent& e)
{
    auto bits = [](double value) { return std::to_string(std::bit_cast<std::uint64_t>(value)); };
    auto opt = [](const auto& field) { return field ? std::to_string(*field) : std::string("-"); };
    return e.id.toString() + " type " + std::to_string(static_cast<int>(e.type)) + " delay " +
           bits(e.delaySincePrevious) + " at " +
           (e.location ? bits(e.location->x) + "," + bits(e.location->y) : "-") + " button " +
           (e.mouseButton ? std::to_string(static_cast<int>(*e.mouseButton)) : "-") + " clicks " +
           opt(e.clickCount) + " key " + opt(e.keyCode) + " flags " + opt(e.flags) + " scroll " +
           opt(e.scrollDeltaX) + "," + opt(e.scrollDeltaY);
}

// Where two timelines first differ, or nothing when they are the same.
inline std::string firstDifference(const Timeline& expected, const Timeline& actual)
{
    if (expected.size() != actual.size())
        return std::to_string(expected.size()) + " events expected, " + std::to_string(actual.size()) +
               " found";
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (dump(expected[i]) != dump(actual[i]))
            return "event " + std::to_string(i + 1) + ": expected " + dump(expected[i]) + ", found " +
                   dump(actual[i]);
    }
    return {};
}

// Random events cycling through all 128 combinations of present and absent optional fields. Doubles are
// random bit patterns or short binary fractions; integers are random or the ends of their ranges.
inline Timeline randomTimeline(std::size_t count, std::uint64_t seed)
{
    std::mt19937_64 random(seed);
    auto real = [&random] {
        double value = std::bit_cast<double>(random());
        return std::isfinite(value) && random() % 2 ? value
                                                    : std::ldexp(static_cast<double>(random() % 100000), -4);
    };
    auto integer = [&random]<typename T>(T) {
        using Limits = std::numeric_limits<T>;
        const unsigned roll = random() % 3;
        return roll == 0 ? Limits::min() : roll == 1 ? Limits::max() : static_cast<T>(random());
    };
    Timeline events(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::array<std::uint8_t, 16> id{};
        for (auto& b : id)
            b = static_cast<std::uint8_t>(random());
        Event event(static_cast<EventType>(random() % 7), real(), Uuid(id));
        const std::size_t mask = i % 128;
        if (mask & 1)
            event.at(real(), real());
        if (mask & 2)
            event.button(static_cast<MouseButtonType>(random() % 3));
        if (mask & 4)
            event.clicks(integer(std::int64_t{}));
        if (mask & 8)
            event.key(integer(std::uint16_t{}));
        if (mask & 16)
            event.flags(integer(std::uint64_t{}));
        events[i] = event;
        if (mask & 32)
            events[i].scrollDeltaX = integer(std::int32_t{});
        if (mask & 64)
            events[i].scrollDeltaY = integer(std::int32_t{});
    }
    return events;
}

} // namespace loopwren::test
