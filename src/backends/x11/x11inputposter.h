#pragma once

#include "inputposter.h"
#include "primarymonitor.h"
#include "x11connection.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace loopwren {

// Synthesises input with XTEST on a connection of its own. Create it on any thread, then use it from
// one thread at a time (the playback worker).
//
// Positions are relative to the primary monitor, as recorded. Modifier flags are realised by pressing
// and releasing Shift_L, Control_L, Alt_L and Super_L, because XTEST events carry no modifier state
// of their own. Caps Lock, numeric-pad and function bits are not acted on: toggling the user's lock
// would outlive the playback, and the other bits describe the key rather than a held key. Click counts
// cannot be attached to X button events; receivers derive them from the timing, as they do for real
// clicks. A drag moves the pointer only: the button it drags with was pressed by the recorded press.
class X11InputPoster : public InputPoster
{
public:
    // nullptr when the display cannot be opened or offers no XTEST.
    static std::unique_ptr<X11InputPoster> create(const std::string& displayName);

    // Releases whatever this poster still holds.
    ~X11InputPoster() override;
    X11InputPoster(const X11InputPoster&) = delete;
    X11InputPoster& operator=(const X11InputPoster&) = delete;

    // Off every monitor, input lands where no monitor shows it, or, beyond the root window, at its edge.
    PointerReach reach(Point location) const override;
    bool warpPointer(Point location) override;
    void postMouseMoved(Point location, std::optional<std::uint64_t> flags) override;
    void postMouseButton(MouseButtonType button, bool down, Point location,
                         std::optional<std::uint64_t> flags) override;
    void postKey(std::uint16_t keyCode, bool down, std::optional<std::uint64_t> flags) override;
    void postScrollNotch(ScrollDirection direction, std::optional<std::uint64_t> flags) override;
    void releaseAll() override;

    // A root coordinate for origin + value: rounded to the nearest pixel and clamped to the 16-bit
    // range the protocol carries; nullopt for NaN.
    static std::optional<int> rootCoordinate(int origin, double value);

private:
    X11InputPoster(std::unique_ptr<X11Connection> connection, std::vector<MonitorArea> monitors);

    // The connection's display, or nullptr once it is lost: Xlib keeps queueing requests on a lost
    // connection until its buffer is full and then crashes, so a poster whose server went away must
    // not make another request, however long its playback goes on posting.
    Display* liveDisplay() const;
    void applyFlags(std::optional<std::uint64_t> flags);
    bool pointerIsAt(Point location) const;
    bool moveTo(Point location);
    void sendKey(unsigned keycode, bool down);
    void sendButton(unsigned button, bool down);

    struct ModifierKey
    {
        std::uint64_t flag;
        unsigned keycode; // 0 when the keyboard map has no such key
    };

    std::unique_ptr<X11Connection> m_connection;
    std::vector<MonitorArea> m_monitors;
    ScreenOrigin m_origin;
    int m_minKeycode = 8;
    int m_maxKeycode = 255;
    std::array<ModifierKey, 4> m_modifierKeys{};
    std::uint64_t m_heldFlags = 0;    // modifier flags this poster holds down to match events
    std::vector<unsigned> m_heldKeys; // other keys pressed and not yet released, oldest first
    std::vector<unsigned> m_heldButtons;
};

} // namespace loopwren
