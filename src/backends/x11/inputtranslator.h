#pragma once

#include "clickcounter.h"
#include "inputmonitor.h"
#include "keyboardstate.h"
#include "primarymonitor.h"

#include <array>
#include <bitset>
#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

namespace loopwren {

// A core device event as the server reported it.
struct RawDeviceEvent
{
    int type = 0;        // KeyPress, KeyRelease, ButtonPress, ButtonRelease or MotionNotify
    unsigned detail = 0; // keycode or button
    int rootX = 0;
    int rootY = 0;
    std::uint32_t serverTime = 0; // the server's millisecond clock
    std::chrono::steady_clock::time_point readAt;
};

// Turns the stream of device events into the inputs the engine understands. It keeps the state X
// does not put into a recorded event: which keys and buttons are held (for modifier flags, drag
// kinds and autorepeat), the Caps Lock state and the click sequence. Events must come in server order.
//
// Modifier keys alone produce modifiersChanged (carrying the flags after the change), which the
// recorder does not watch. The flag word of every other input is built from the modifiers held
// before it, the Caps Lock state, and the key's own bits: numeric-pad keys carry numericPad,
// function keys and the navigation block carry function, arrows carry both.
class InputTranslator
{
public:
    InputTranslator(ScreenOrigin origin, ClickSettings clicks);

    // What was already held when watching began; held keys are not reported again when they repeat.
    void seed(const std::vector<unsigned>& heldKeycodes, const std::vector<unsigned>& heldButtons,
              bool capsLocked);

    std::optional<InputEvent> translate(const RawDeviceEvent& raw);

private:
    std::optional<InputEvent> translateKey(const RawDeviceEvent& raw, bool down);
    std::optional<InputEvent> translateButton(const RawDeviceEvent& raw, bool down);
    InputEvent translateMotion(const RawDeviceEvent& raw) const;
    InputEvent makeEvent(InputKind kind, const RawDeviceEvent& raw) const;

    ScreenOrigin m_origin;
    ClickCounter m_clicks;
    KeyboardState m_keys;
    std::bitset<256> m_heldButtons;
    std::array<std::int64_t, 256> m_pressCounts{};
};

} // namespace loopwren
