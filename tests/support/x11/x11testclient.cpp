#include "x11testclient.h"

#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdlib>

namespace loopwren::x11test {

X11TestClient::X11TestClient(const std::string& display) : m_connection(X11Connection::open(display)) {}

unsigned long X11TestClient::root() const { return DefaultRootWindow(display()); }

unsigned long X11TestClient::atom(const char* name) const { return XInternAtom(display(), name, False); }

std::vector<unsigned long> X11TestClient::values(const char* property, unsigned long window)
{
    XSync(display(), False); // see what the window manager has done so far
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> values;
    if (XGetWindowProperty(display(), window ? window : root(), atom(property), 0, 4096, False,
                           AnyPropertyType, &type, &format, &count, &remaining, &data) == Success &&
        data && format == 32)
        values.assign(reinterpret_cast<unsigned long*>(data), reinterpret_cast<unsigned long*>(data) + count);
    if (data)
        XFree(data);
    return values;
}

std::optional<unsigned long> X11TestClient::value(const char* property, unsigned long window)
{
    const auto all = values(property, window);
    return all.empty() ? std::nullopt : std::optional(all.front());
}

unsigned long X11TestClient::inputFocus()
{
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display(), &focus, &revert);
    return focus;
}

std::optional<Rect> X11TestClient::clientRect(unsigned long window)
{
    Window root = 0, child = 0;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    if (!XGetGeometry(display(), window, &root, &x, &y, &width, &height, &border, &depth) ||
        !XTranslateCoordinates(display(), window, root, 0, 0, &x, &y, &child))
        return std::nullopt;
    return Rect{x, y, static_cast<int>(width), static_cast<int>(height)};
}

std::optional<Rect> X11TestClient::frameRect(unsigned long window)
{
    const auto extents = values("_NET_FRAME_EXTENTS", window); // left, right, top, bottom
    const auto client = clientRect(window);
    if (!client || extents.size() != 4)
        return std::nullopt;
    const auto [left, right, top, bottom] =
        std::array<int, 4>{int(extents[0]), int(extents[1]), int(extents[2]), int(extents[3])};
    return Rect{client->x - left, client->y - top, client->width + left + right,
                client->height + top + bottom};
}

bool X11TestClient::isMaximized(unsigned long window)
{
    return std::ranges::any_of(values("_NET_WM_STATE", window), [&](unsigned long state) {
        return state == atom("_NET_WM_STATE_MAXIMIZED_VERT") || state == atom("_NET_WM_STATE_MAXIMIZED_HORZ");
    });
}

void X11TestClient::request(const char* type, std::vector<long> data, unsigned long window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window ? window : root();
    event.xclient.message_type = atom(type);
    event.xclient.format = 32;
    std::copy(data.begin(), data.end(), event.xclient.data.l);
    XSendEvent(display(), root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XSync(display(), False);
}

unsigned X11TestClient::pointerMask()
{
    Window root = 0, child = 0;
    int x = 0, y = 0;
    unsigned mask = 0;
    XQueryPointer(display(), this->root(), &root, &child, &x, &y, &x, &y, &mask);
    return mask;
}

std::string X11TestClient::heldInput()
{
    char keys[32] = {};
    if (!isOpen() || !XQueryKeymap(display(), keys))
        return "(the display cannot be asked)";
    std::string held;
    for (int keycode = 0; keycode < 256; ++keycode) {
        if (keys[keycode / 8] & (1 << (keycode % 8)))
            held += " key " + std::to_string(keycode);
    }
    const unsigned mask = pointerMask();
    for (unsigned button = 1; button <= 5; ++button) {
        if (mask & (Button1Mask << (button - 1)))
            held += " button " + std::to_string(button);
    }
    return held;
}

unsigned X11TestClient::keycode(const char* keysymName)
{
    return XKeysymToKeycode(display(), XStringToKeysym(keysymName));
}

bool X11TestClient::grabKey(unsigned keycode, unsigned modifiers)
{
    // A checked request through XCB: the refusal comes back here rather than to Xlib's error handler.
    xcb_connection_t* connection = XGetXCBConnection(display());
    xcb_generic_error_t* error =
        xcb_request_check(connection, xcb_grab_key_checked(connection, 1, static_cast<xcb_window_t>(root()),
                                                           static_cast<std::uint16_t>(modifiers),
                                                           static_cast<std::uint8_t>(keycode),
                                                           XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    std::free(error);
    return error == nullptr;
}

} // namespace loopwren::x11test
