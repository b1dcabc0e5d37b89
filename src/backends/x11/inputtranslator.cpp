#include "inputtranslator.h"

#include "hotkey.h"

#include <X11/X.h>

namespace loopwren {

namespace {

constexpr unsigned kLeft = 1;
constexpr unsigned kMiddle = 2;
constexpr unsigned kRight = 3;
constexpr unsigned kWheelFirst = 4;
constexpr unsigned kWheelLast = 7;
constexpr unsigned kEvdevOffset = 8;

bool isWheel(unsigned button) { return button >= kWheelFirst && button <= kWheelLast; }

// Left and right are themselves; the middle and side buttons are all the model's other button.
MouseButtonType buttonType(unsigned button)
{
    switch (button) {
    case kLeft:
        return MouseButtonType::left;
    case kRight:
        return MouseButtonType::right;
    default:
        return MouseButtonType::other;
    }
}

} // namespace

InputTranslator::InputTranslator(ScreenOrigin origin, ClickSettings clicks)
    : m_origin(origin), m_clicks(clicks)
{
}

void InputTranslator::seed(const std::vector<unsigned>& heldKeycodes,
                           const std::vector<unsigned>& heldButtons, bool capsLocked)
{
    for (const unsigned keycode : heldKeycodes) {
        if (keycode >= kEvdevOffset)
            m_keys.press(static_cast<std::uint16_t>(keycode - kEvdevOffset));
    }
    for (const unsigned button : heldButtons) {
        if (button < m_heldButtons.size() && !isWheel(button)) {
            m_heldButtons.set(button);
            m_pressCounts[button] = 1;
        }
    }
    m_keys.setCapsLocked(capsLocked);
}

std::optional<InputEvent> InputTranslator::translate(const RawDeviceEvent& raw)
{
    switch (raw.type) {
    case KeyPress:
        return translateKey(raw, true);
    case KeyRelease:
        return translateKey(raw, false);
    case ButtonPress:
        return translateButton(raw, true);
    case ButtonRelease:
        return translateButton(raw, false);
    case MotionNotify:
        return translateMotion(raw);
    default:
        return std::nullopt;
    }
}

std::optional<InputEvent> InputTranslator::translateKey(const RawDeviceEvent& raw, bool down)
{
    // X keycodes start at 8; anything below is not a key.
    if (raw.detail < kEvdevOffset || raw.detail > KeyCodeTable::maxEvdevCode + kEvdevOffset)
        return std::nullopt;
    const auto evdev = static_cast<std::uint16_t>(raw.detail - kEvdevOffset);
    // The server repeats a held key as further presses; playback gets its own repeat from the server.
    if (down && !m_keys.press(evdev))
        return std::nullopt;
    if (!down)
        m_keys.release(evdev);

    // A modifier key's own event carries the flags after its change; other keys change no flags.
    const bool modifierKey = KeyCodeTable::modifierRole(evdev) != ModifierRole::none;
    auto event = makeEvent(modifierKey ? InputKind::modifiersChanged
                           : down      ? InputKind::keyDown
                                       : InputKind::keyUp,
                           raw);
    event.keyCode = KeyCodeTable::fileKeyCode(evdev);
    event.flags = m_keys.modifierFlags() | KeyCodeTable::keyFlags(evdev);
    return event;
}

std::optional<InputEvent> InputTranslator::translateButton(const RawDeviceEvent& raw, bool down)
{
    const unsigned button = raw.detail;
    if (button == 0 || button >= m_heldButtons.size())
        return std::nullopt;

    if (isWheel(button)) {
        // One notch per press; the release that X pairs with it carries nothing.
        if (!down)
            return std::nullopt;
        auto event = makeEvent(InputKind::scroll, raw);
        event.scrollDeltaY = button == 4 ? 1.0 : button == 5 ? -1.0 : 0.0;
        event.scrollDeltaX = button == 6 ? 1.0 : button == 7 ? -1.0 : 0.0;
        return event;
    }

    auto event = makeEvent(down ? InputKind::buttonDown : InputKind::buttonUp, raw);
    event.button = buttonType(button);
    if (down) {
        m_pressCounts[button] = m_clicks.press(button, raw.rootX, raw.rootY, raw.serverTime);
        m_heldButtons.set(button);
    } else {
        // A button already down when watching began has no recorded press: count it as a single click.
        if (!m_heldButtons.test(button))
            m_pressCounts[button] = 1;
        m_heldButtons.reset(button);
    }
    event.clickCount = m_pressCounts[button];
    return event;
}

InputEvent InputTranslator::translateMotion(const RawDeviceEvent& raw) const
{
    auto event = makeEvent(InputKind::pointerMoved, raw);
    // Left before right before the rest, when several are held.
    for (const unsigned button : {kLeft, kRight}) {
        if (m_heldButtons.test(button)) {
            event.button = buttonType(button);
            return event;
        }
    }
    for (unsigned button = kMiddle; button < m_heldButtons.size(); ++button) {
        if (button != kRight && m_heldButtons.test(button)) {
            event.button = MouseButtonType::other;
            return event;
        }
    }
    return event;
}

InputEvent InputTranslator::makeEvent(InputKind kind, const RawDeviceEvent& raw) const
{
    InputEvent event;
    event.kind = kind;
    event.timestamp = raw.readAt;
    event.systemTime = raw.serverTime;
    event.location =
        Point{static_cast<double>(raw.rootX - m_origin.x), static_cast<double>(raw.rootY - m_origin.y)};
    event.flags = m_keys.modifierFlags();
    return event;
}

} // namespace loopwren
