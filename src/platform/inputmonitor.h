#pragma once

#include "macroevent.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>

namespace loopwren {

enum class InputKind : std::uint8_t
{
    buttonDown,
    buttonUp,
    pointerMoved, // with or without a button held
    keyDown,
    keyUp,
    modifiersChanged, // a modifier key alone went down or up
    scroll,
};

// A set of input kinds.
class InputKinds
{
public:
    constexpr InputKinds() = default;
    constexpr InputKinds(std::initializer_list<InputKind> kinds)
    {
        for (InputKind kind : kinds)
            m_bits |= bit(kind);
    }
    constexpr bool contains(InputKind kind) const { return (m_bits & bit(kind)) != 0; }
    constexpr InputKinds with(InputKind kind) const
    {
        InputKinds more = *this;
        more.m_bits |= bit(kind);
        return more;
    }
    constexpr bool operator==(const InputKinds&) const = default;

private:
    static constexpr std::uint32_t bit(InputKind kind)
    {
        return std::uint32_t{1} << static_cast<unsigned>(kind);
    }
    std::uint32_t m_bits = 0;
};

struct InputEvent
{
    InputKind kind = InputKind::pointerMoved;
    // Taken when the input was read from the system, on the monotonic clock.
    std::chrono::steady_clock::time_point timestamp;
    // The window system's own time of the input in milliseconds (the X server's time), the one a
    // toolkit's event for the same input carries too, so this application can tell its own input
    // apart; absent where the backend has none.
    std::optional<std::uint32_t> systemTime;
    // Global display coordinates: origin at the top-left of the primary display, y downwards. Absent
    // where the backend cannot know where the pointer is; such pointer input is not recorded.
    std::optional<Point> location;
    // The button pressed or released; for a move, the button held, if any (a drag).
    std::optional<MouseButtonType> button;
    std::int64_t clickCount = 0;
    FileKeyCode keyCode = 0;
    std::optional<std::uint64_t> flags; // modifier flags word, absent when the input carries none
    double scrollDeltaX = 0.0;
    double scrollDeltaY = 0.0;
};

// Watches the user's input anywhere on the desktop, this application's windows included. Handlers
// run on the main thread, one input at a time, in the order the inputs happened.
class InputMonitor
{
public:
    using Token = std::uint64_t;
    using Handler = std::function<void(const InputEvent&)>;

    virtual ~InputMonitor() = default;

    // nullopt when input cannot be watched (no permission, no connection).
    virtual std::optional<Token> watch(InputKinds kinds, Handler handler) = 0;
    // After this returns the handler is not called again, even for input already read.
    virtual void stopWatching(Token token) = 0;
    // Hands the handler every input the system took before this call, then stops watching: what a
    // recording that ends needs, so that input just before the stop is not lost.
    virtual void finishWatching(Token token) { stopWatching(token); }
};

} // namespace loopwren
