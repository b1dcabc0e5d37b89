#include "soakmacro.h"

#include "hotkey.h"

#include <array>
#include <random>

namespace loopwren::bench {
namespace {

// Letters only: harmless whatever window ends up with them, and never a modifier or lock.
constexpr std::array<std::uint16_t, 20> kLetters = {0,  1,  2,  3,  4,  5,  6,  7,  8,  11,
                                                    12, 13, 14, 15, 16, 17, 31, 32, 34, 45};
constexpr std::array<std::uint64_t, 7> kKeyFlags = {0,
                                                    0,
                                                    modifier::shift,
                                                    modifier::control,
                                                    modifier::alt,
                                                    modifier::super,
                                                    modifier::shift | modifier::control};
constexpr std::array<std::uint64_t, 4> kPointerFlags = {0, 0, 0, modifier::shift};

// Builds the macro event by event, keeping the pointer position and the held button in step with
// what the player will do.
class Builder
{
public:
    Builder(std::uint32_t seed, int minDelayMs, int maxDelayMs)
        : m_random(seed), m_delay(minDelayMs, maxDelayMs)
    {
    }

    void move(std::optional<MouseButtonType> dragged, std::uint64_t flags)
    {
        Point to = m_pointer;
        while (to.x == m_pointer.x && to.y == m_pointer.y)
            to = Point{static_cast<double>(pick(40, 1500)), static_cast<double>(pick(40, 850))};
        moveTo(to, dragged, flags);
    }

    void moveTo(Point to, std::optional<MouseButtonType> dragged, std::uint64_t flags)
    {
        MacroEvent& event = add(EventType::mouseMoved, flags);
        event.location = to;
        event.mouseButton = dragged;
        m_pointer = to;
        m_expected.push_back({InputKind::pointerMoved, dragged, 0, to});
    }

    void button(MouseButtonType button, bool down, std::uint64_t flags)
    {
        MacroEvent& event = add(down ? EventType::mouseDown : EventType::mouseUp, flags);
        event.location = m_pointer;
        event.mouseButton = button;
        event.clickCount = 1;
        m_expected.push_back({down ? InputKind::buttonDown : InputKind::buttonUp, button, 0, m_pointer});
    }

    void key(std::uint16_t keyCode, bool down, std::uint64_t flags)
    {
        add(down ? EventType::keyDown : EventType::keyUp, flags).keyCode = keyCode;
        m_expected.push_back({down ? InputKind::keyDown : InputKind::keyUp, std::nullopt, keyCode, {}});
    }

    void scroll(std::uint64_t flags)
    {
        MacroEvent& event = add(EventType::scroll, flags);
        const int direction = pick(0, 3);
        const std::int32_t notch = direction % 2 == 0 ? 1 : -1;
        if (direction < 2)
            event.scrollDeltaY = notch;
        else
            event.scrollDeltaX = notch;
        event.location = m_pointer;
        m_expected.push_back({InputKind::scroll, std::nullopt, 0, m_pointer});
    }

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }
    template <typename T, std::size_t N>
    T pickFrom(const std::array<T, N>& values)
    {
        return values[static_cast<std::size_t>(pick(0, static_cast<int>(N) - 1))];
    }

    Timeline takeEvents() { return std::move(m_events); }
    std::vector<ExpectedInput> takeExpected() { return std::move(m_expected); }
    std::size_t size() const { return m_events.size(); }

private:
    MacroEvent& add(EventType type, std::uint64_t flags)
    {
        MacroEvent& event = m_events.emplace_back();
        event.id = Uuid::random();
        event.type = type;
        // The first event plays at once, so a pass starts on its marker.
        event.delaySincePrevious = m_events.size() == 1 ? 0.0 : m_delay(m_random) / 1000.0;
        event.flags = flags;
        return event;
    }

    std::mt19937 m_random;
    std::uniform_int_distribution<int> m_delay;
    Point m_pointer{-1, -1};
    Timeline m_events;
    std::vector<ExpectedInput> m_expected;
};

} // namespace

SoakMacro SoakMacro::generate(std::size_t eventCount, std::uint32_t seed, int minDelayMs, int maxDelayMs)
{
    Builder build(seed, minDelayMs, maxDelayMs);
    build.moveTo(marker, std::nullopt, 0);
    // The last event is kept for a plain move that lets go of every modifier.
    while (build.size() + 1 < eventCount) {
        const std::size_t room = eventCount - 1 - build.size();
        const int action = build.pick(0, 9);
        if (action <= 2 && room >= 2) {
            const std::uint16_t key = build.pickFrom(kLetters);
            const std::uint64_t flags = build.pickFrom(kKeyFlags);
            build.key(key, true, flags);
            build.key(key, false, flags);
        } else if (action == 3 && room >= 4) {
            // Two keys rolled over: the second goes down before the first comes up.
            const std::uint16_t first = build.pickFrom(kLetters);
            std::uint16_t second = first;
            while (second == first)
                second = build.pickFrom(kLetters);
            const std::uint64_t flags = build.pickFrom(kKeyFlags);
            build.key(first, true, flags);
            build.key(second, true, flags);
            build.key(first, false, flags);
            build.key(second, false, flags);
        } else if (action <= 5 && room >= 2) {
            const auto button = static_cast<MouseButtonType>(build.pick(0, 2));
            const std::uint64_t flags = build.pickFrom(kPointerFlags);
            build.button(button, true, flags);
            build.button(button, false, flags);
        } else if (action == 6 && room >= 4) {
            build.button(MouseButtonType::left, true, 0);
            build.move(MouseButtonType::left, 0);
            build.move(MouseButtonType::left, 0);
            build.button(MouseButtonType::left, false, 0);
        } else if (action == 7) {
            build.scroll(build.pickFrom(kPointerFlags));
        } else {
            build.move(std::nullopt, 0);
        }
    }
    build.move(std::nullopt, 0);

    SoakMacro macro;
    macro.m_events = build.takeEvents();
    macro.m_expected = build.takeExpected();
    return macro;
}

double SoakMacro::passSeconds() const
{
    double total = 0;
    for (const MacroEvent& event : m_events)
        total += event.delaySincePrevious;
    return total;
}

bool isPassMarker(const InputEvent& input)
{
    return input.kind == InputKind::pointerMoved && input.location &&
           input.location->x == SoakMacro::marker.x && input.location->y == SoakMacro::marker.y;
}

} // namespace loopwren::bench
