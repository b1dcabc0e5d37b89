#pragma once

#include "clickcounter.h"
#include "inputmonitor.h"
#include "keyboardstate.h"
#include "notchcounter.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>

namespace loopwren {

// Turns what libinput reports into the inputs the engine understands, from plain values so that it
// does not depend on libinput itself. It keeps the state the devices do not report: the keys and
// buttons held (modifier flags, drags, repeats), the click sequence and the scroll rest. Inputs must
// come in the order libinput gives them.
//
// Times are libinput's microseconds on CLOCK_MONOTONIC, which is the clock std::chrono::steady_clock
// reads on Linux, so stamps compare with the rest of the application's times.
class KernelInputTranslator
{
public:
    using Micros = std::uint64_t;

    // One wheel notch in libinput's normalised wheel values.
    static constexpr double wheelUnitsPerNotch = 120.0;
    // One notch of finger (touchpad) or continuous scrolling, in libinput's scroll units, which are
    // those of pointer motion. 15 is the distance the X.org libinput driver turns into one wheel
    // button press by default (its "Scrolling Pixel Distance"), so the same swipe records the same
    // notches here as through the X11 backend on the same machine.
    static constexpr double fingerUnitsPerNotch = 15.0;

    explicit KernelInputTranslator(ClickSettings clicks);

    std::optional<InputEvent> key(Micros time, std::uint32_t evdev, bool down);
    // location is where the pointer is, when something can tell.
    std::optional<InputEvent> button(Micros time, std::uint32_t code, bool down,
                                     std::optional<Point> location);
    InputEvent motion(Micros time, std::optional<Point> location);
    // Normalised wheel values (120 a notch), positive down and right as libinput has them; an axis
    // the event does not carry is nullopt.
    std::optional<InputEvent> wheel(Micros time, std::optional<double> vertical,
                                    std::optional<double> horizontal);
    // Finger or continuous scrolling in scroll units; 0 on an axis ends its scroll sequence.
    std::optional<InputEvent> fingerScroll(Micros time, std::optional<double> vertical,
                                           std::optional<double> horizontal);

private:
    InputEvent makeEvent(InputKind kind, Micros time);
    std::optional<InputEvent> scrollEvent(Micros time, int down, int right);

    ClickCounter m_clicks;
    KeyboardState m_keys;
    // The buttons held, by evdev code, with the click count of their press.
    std::map<std::uint32_t, std::int64_t> m_heldButtons;
    NotchCounter m_wheelVertical{wheelUnitsPerNotch};
    NotchCounter m_wheelHorizontal{wheelUnitsPerNotch};
    NotchCounter m_fingerVertical{fingerUnitsPerNotch};
    NotchCounter m_fingerHorizontal{fingerUnitsPerNotch};
    // Devices stamp their own events; across devices a later input may carry an earlier stamp, and a
    // recorded delay must not be negative.
    std::chrono::steady_clock::time_point m_lastStamp{};
};

} // namespace loopwren
