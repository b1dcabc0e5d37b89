#pragma once

#include "macroevent.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

namespace loopwren {

// Kinds of input. A monitor's mask has bit (1 << kind) set for each kind it wants delivered.
enum class InputKind : std::uint8_t
{
    leftMouseDown = 1,
    leftMouseUp = 2,
    rightMouseDown = 3,
    rightMouseUp = 4,
    mouseMoved = 5,
    leftMouseDragged = 6,
    rightMouseDragged = 7,
    keyDown = 10,
    keyUp = 11,
    flagsChanged = 12,
    scrollWheel = 22,
    otherMouseDown = 25,
    otherMouseUp = 26,
    otherMouseDragged = 27,
};

constexpr std::uint64_t inputMaskBit(InputKind kind)
{
    return std::uint64_t{1} << static_cast<unsigned>(kind);
}

struct InputEvent
{
    InputKind kind = InputKind::mouseMoved;
    // Taken when the input was read from the system, on the monotonic clock.
    std::chrono::steady_clock::time_point timestamp;
    // The window system's own time of the input in milliseconds (the X server's time), the one a
    // toolkit's event for the same input carries too, so this application can tell its own input
    // apart; absent where the backend has none.
    std::optional<std::uint32_t> systemTime;
    // Global display coordinates: origin at the top-left of the primary display, y downwards.
    Point location;
    int buttonNumber = 0; // 0 left, 1 right, 2 and up other
    std::int64_t clickCount = 0;
    std::uint16_t keyCode = 0;          // the model's virtual key code
    std::optional<std::uint64_t> flags; // modifier flags word, absent when the input carries none
    double scrollDeltaX = 0.0;
    double scrollDeltaY = 0.0;
};

// Watches the user's input. Handlers are called on the main thread, one input at a time, in the
// order the inputs happened. A global monitor sees input sent to every application, a local one
// input sent to this application only; a backend whose global monitor already sees this application
// may hand out local monitors that deliver nothing, so no input is seen twice.
class InputMonitor
{
public:
    using Token = std::uint64_t;
    using Handler = std::function<void(const InputEvent&)>;

    virtual ~InputMonitor() = default;

    // nullopt when the monitor cannot be installed (no permission, no connection).
    virtual std::optional<Token> addGlobalMonitor(std::uint64_t mask, Handler handler) = 0;
    virtual std::optional<Token> addLocalMonitor(std::uint64_t mask, Handler handler) = 0;
    // After this returns the handler is not called again, even for input already read.
    virtual void removeMonitor(Token token) = 0;
    // Hands the monitor's handler every input the system took before this call, then removes the
    // monitor: what a recording that ends needs, so that input just before the stop is not lost.
    virtual void finishMonitor(Token token) { removeMonitor(token); }
};

} // namespace loopwren
