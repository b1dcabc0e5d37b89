#include "heldinput.h"

#include "x11connection.h"

#include <X11/Xlib.h>

namespace loopwren {
namespace {

std::string listed(const std::vector<unsigned>& values)
{
    std::string text;
    for (const unsigned value : values)
        text += " " + std::to_string(value);
    return text.empty() ? " none" : text;
}

} // namespace

HeldInput HeldInput::query(const std::string& displayName)
{
    HeldInput held;
    const auto connection = X11Connection::open(displayName);
    if (!connection)
        return held;
    Display* display = connection->display();
    char keymap[32] = {};
    XQueryKeymap(display, keymap);
    for (unsigned keycode = 0; keycode < 256; ++keycode) {
        if (static_cast<unsigned char>(keymap[keycode / 8]) & (1u << (keycode % 8)))
            held.keycodes.push_back(keycode);
    }
    Window root = 0;
    Window child = 0;
    int rootX = 0;
    int rootY = 0;
    int windowX = 0;
    int windowY = 0;
    unsigned mask = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &windowX, &windowY,
                  &mask);
    const unsigned masks[] = {Button1Mask, Button2Mask, Button3Mask, Button4Mask, Button5Mask};
    for (unsigned i = 0; i < 5; ++i) {
        if (mask & masks[i])
            held.buttons.push_back(i + 1);
    }
    held.queried = !connection->isBroken();
    return held;
}

std::string HeldInput::text() const
{
    if (!queried)
        return "the display could not be asked";
    return "keys" + listed(keycodes) + ", buttons" + listed(buttons);
}

} // namespace loopwren
