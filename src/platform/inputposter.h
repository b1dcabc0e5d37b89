#pragma once

#include "macroevent.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace loopwren {

enum class ScrollDirection : std::uint8_t
{
    up,
    down,
    left,
    right
};

// Where pointer input at a place lands: on a screen, as asked; somewhere no screen shows it or at the
// nearest edge of one (the window system's choice); or nowhere, the input being skipped.
enum class PointerReach : std::uint8_t
{
    onScreen,
    offScreen,
    skipped
};

// Synthesises input as if it came from the hardware. One poster serves one playback and is used by
// that playback's worker thread only. Each call delivers its input before it returns. Where flags are
// given, the poster holds exactly the modifier keys they name while the input is delivered.
class InputPoster
{
public:
    virtual ~InputPoster() = default;

    // Where pointer input at location would land; asked before a playback, so the user hears once
    // which events will not land where they were recorded.
    virtual PointerReach reach(Point location) const
    {
        (void)location;
        return PointerReach::onScreen;
    }

    // Brings the pointer to location, so the application under it sees it arrive there (the hover
    // before a click). False when it was there already and nothing had to happen.
    virtual bool warpPointer(Point location) = 0;
    // Moves the pointer; a button held from an earlier press makes it a drag.
    virtual void postMouseMoved(Point location, std::optional<std::uint64_t> flags) = 0;
    virtual void postMouseButton(MouseButtonType button, bool down, Point location,
                                 std::optional<std::uint64_t> flags) = 0;
    virtual void postKey(std::uint16_t keyCode, bool down, std::optional<std::uint64_t> flags) = 0;
    virtual void postScrollNotch(ScrollDirection direction, std::optional<std::uint64_t> flags) = 0;
    // Releases every key and button this poster pressed and still holds, modifiers included.
    virtual void releaseAll() = 0;
};

class InputPosterFactory
{
public:
    virtual ~InputPosterFactory() = default;
    // nullptr when no poster can be had (no display); called on the main thread.
    virtual std::unique_ptr<InputPoster> create() = 0;
};

} // namespace loopwren
