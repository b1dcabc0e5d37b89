#include "kernelinputtranslator.h"

#include <linux/input-event-codes.h>

#include <algorithm>
#include <cmath>

namespace loopwren {

namespace {

MouseButtonType buttonType(std::uint32_t code)
{
    switch (code) {
    case BTN_LEFT:
        return MouseButtonType::left;
    case BTN_RIGHT:
        return MouseButtonType::right;
    default:
        return MouseButtonType::other;
    }
}

} // namespace

KernelInputTranslator::KernelInputTranslator(ClickSettings clicks) : m_clicks(clicks) {}

std::optional<InputEvent> KernelInputTranslator::key(Micros time, std::uint32_t evdev, bool down)
{
    if (evdev > KeyCodeTable::maxEvdevCode)
        return std::nullopt;
    const auto code = static_cast<std::uint16_t>(evdev);
    // libinput does not repeat keys, but a key held on two keyboards goes down twice; either way the
    // key is already down and playback holds it as long.
    if (down && !m_keys.press(code))
        return std::nullopt;
    if (!down)
        m_keys.release(code);

    // A modifier key's own event carries the flags after its change; other keys change no flags.
    const bool modifierKey = KeyCodeTable::modifierRole(code) != ModifierRole::none;
    auto event = makeEvent(modifierKey ? InputKind::modifiersChanged
                           : down      ? InputKind::keyDown
                                       : InputKind::keyUp,
                           time);
    event.keyCode = KeyCodeTable::fileKeyCode(code);
    event.flags = m_keys.modifierFlags() | KeyCodeTable::keyFlags(code);
    return event;
}

std::optional<InputEvent> KernelInputTranslator::button(Micros time, std::uint32_t code, bool down,
                                                        std::optional<Point> location)
{
    const auto held = m_heldButtons.find(code);
    if (down && held != m_heldButtons.end())
        return std::nullopt;
    auto event = makeEvent(down ? InputKind::buttonDown : InputKind::buttonUp, time);
    event.location = location;
    event.button = buttonType(code);
    if (down) {
        // Without a position the sequence goes by button and time alone; such clicks are not
        // recorded anyway.
        const Point at = location.value_or(Point{});
        event.clickCount =
            m_clicks.press(code, static_cast<int>(std::lround(at.x)), static_cast<int>(std::lround(at.y)),
                           static_cast<std::uint32_t>(time / 1000));
        m_heldButtons.emplace(code, event.clickCount);
    } else if (held != m_heldButtons.end()) {
        event.clickCount = held->second;
        m_heldButtons.erase(held);
    } else {
        // A button already down when watching began has no recorded press: count it as a single click.
        event.clickCount = 1;
    }
    return event;
}

InputEvent KernelInputTranslator::motion(Micros time, std::optional<Point> location)
{
    auto event = makeEvent(InputKind::pointerMoved, time);
    event.location = location;
    // Left before right before the rest, when several are held.
    for (const std::uint32_t code : {BTN_LEFT, BTN_RIGHT}) {
        if (m_heldButtons.contains(code)) {
            event.button = buttonType(code);
            return event;
        }
    }
    if (!m_heldButtons.empty())
        event.button = MouseButtonType::other;
    return event;
}

std::optional<InputEvent> KernelInputTranslator::wheel(Micros time, std::optional<double> vertical,
                                                       std::optional<double> horizontal)
{
    const int down = vertical ? m_wheelVertical.add(*vertical) : 0;
    const int right = horizontal ? m_wheelHorizontal.add(*horizontal) : 0;
    return scrollEvent(time, down, right);
}

std::optional<InputEvent> KernelInputTranslator::fingerScroll(Micros time, std::optional<double> vertical,
                                                              std::optional<double> horizontal)
{
    const auto notches = [](NotchCounter& counter, std::optional<double> amount) {
        if (!amount)
            return 0;
        if (*amount == 0.0) {
            counter.reset();
            return 0;
        }
        return counter.add(*amount);
    };
    const int down = notches(m_fingerVertical, vertical);
    const int right = notches(m_fingerHorizontal, horizontal);
    return scrollEvent(time, down, right);
}

std::optional<InputEvent> KernelInputTranslator::scrollEvent(Micros time, int down, int right)
{
    if (down == 0 && right == 0)
        return std::nullopt;
    // The model counts up and left as positive, as X's wheel buttons 4 and 6 record; libinput counts
    // down and right.
    auto event = makeEvent(InputKind::scroll, time);
    event.scrollDeltaY = -down;
    event.scrollDeltaX = -right;
    return event;
}

InputEvent KernelInputTranslator::makeEvent(InputKind kind, Micros time)
{
    const std::chrono::steady_clock::time_point stamp{std::chrono::microseconds(time)};
    m_lastStamp = std::max(m_lastStamp, stamp);
    InputEvent event;
    event.kind = kind;
    event.timestamp = m_lastStamp;
    event.flags = m_keys.modifierFlags();
    return event;
}

} // namespace loopwren
