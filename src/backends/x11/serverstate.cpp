#include "serverstate.h"

#include <X11/Xlib.h>

#include <iterator>

namespace loopwren {

std::vector<unsigned> PointerState::heldButtons() const
{
    std::vector<unsigned> held;
    const unsigned buttonMasks[] = {Button1Mask, Button2Mask, Button3Mask, Button4Mask, Button5Mask};
    for (unsigned i = 0; i < std::size(buttonMasks); ++i) {
        if (mask & buttonMasks[i])
            held.push_back(i + 1);
    }
    return held;
}

bool PointerState::capsLock() const { return (mask & LockMask) != 0; }

std::optional<PointerState> queryPointer(X11Connection& connection)
{
    Display* display = connection.display();
    PointerState state;
    Window root = 0;
    Window child = 0;
    int windowX = 0;
    int windowY = 0;
    if (!XQueryPointer(display, DefaultRootWindow(display), &root, &child, &state.rootX, &state.rootY,
                       &windowX, &windowY, &state.mask))
        return std::nullopt;
    return state;
}

std::optional<std::vector<unsigned>> queryHeldKeycodes(X11Connection& connection)
{
    char keymap[32] = {};
    XQueryKeymap(connection.display(), keymap);
    // XQueryKeymap reports success even when the reply never came, copying whatever its reply buffer
    // held; only the connection's state tells.
    if (connection.isBroken())
        return std::nullopt;
    std::vector<unsigned> held;
    for (unsigned keycode = 0; keycode < 256; ++keycode) {
        if (static_cast<unsigned char>(keymap[keycode / 8]) & (1u << (keycode % 8)))
            held.push_back(keycode);
    }
    return held;
}

} // namespace loopwren
