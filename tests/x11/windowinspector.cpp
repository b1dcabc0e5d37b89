#include "windowinspector.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>

namespace loopwren {

std::unique_ptr<WindowInspector> WindowInspector::open(const std::string& displayName)
{
    auto connection = X11Connection::open(displayName);
    if (!connection)
        return nullptr;
    return std::unique_ptr<WindowInspector>(new WindowInspector(std::move(connection)));
}

std::vector<unsigned long> WindowInspector::property(unsigned long window, const char* name,
                                                     unsigned long type)
{
    Display* display = m_connection->display();
    XSync(display, False); // see what the window manager has done so far
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 4096, False, type,
                           &actualType, &format, &count, &remaining, &data) != Success)
        return {};
    std::vector<unsigned long> values;
    if (data && actualType == type && format == 32) {
        const auto* longs = reinterpret_cast<const unsigned long*>(data);
        values.assign(longs, longs + count);
    }
    if (data)
        XFree(data);
    return values;
}

std::vector<unsigned long> WindowInspector::clientList()
{
    return property(DefaultRootWindow(m_connection->display()), "_NET_CLIENT_LIST", XA_WINDOW);
}

unsigned long WindowInspector::activeWindow()
{
    const auto values = property(DefaultRootWindow(m_connection->display()), "_NET_ACTIVE_WINDOW", XA_WINDOW);
    return values.empty() ? 0 : values.front();
}

unsigned long WindowInspector::inputFocus()
{
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(m_connection->display(), &focus, &revert);
    return focus;
}

std::optional<Rect> WindowInspector::clientRect(unsigned long window)
{
    Display* display = m_connection->display();
    Window root = 0, child = 0;
    int x = 0, y = 0, rootX = 0, rootY = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    if (!XGetGeometry(display, window, &root, &x, &y, &width, &height, &border, &depth) ||
        !XTranslateCoordinates(display, window, root, 0, 0, &rootX, &rootY, &child))
        return std::nullopt;
    return Rect{rootX, rootY, static_cast<int>(width), static_cast<int>(height)};
}

bool WindowInspector::hasFrameExtents(unsigned long window)
{
    return property(window, "_NET_FRAME_EXTENTS", XA_CARDINAL).size() == 4;
}

std::optional<Rect> WindowInspector::frameRect(unsigned long window)
{
    const auto extents = property(window, "_NET_FRAME_EXTENTS", XA_CARDINAL); // left, right, top, bottom
    const auto client = clientRect(window);
    if (!client || extents.size() != 4)
        return std::nullopt;
    const int left = static_cast<int>(extents[0]), right = static_cast<int>(extents[1]);
    const int top = static_cast<int>(extents[2]), bottom = static_cast<int>(extents[3]);
    return Rect{client->x - left, client->y - top, client->width + left + right,
                client->height + top + bottom};
}

bool WindowInspector::isMaximized(unsigned long window)
{
    Display* display = m_connection->display();
    const auto states = property(window, "_NET_WM_STATE", XA_ATOM);
    const Atom vertical = XInternAtom(display, "_NET_WM_STATE_MAXIMIZED_VERT", False);
    const Atom horizontal = XInternAtom(display, "_NET_WM_STATE_MAXIMIZED_HORZ", False);
    return std::find(states.begin(), states.end(), vertical) != states.end() ||
           std::find(states.begin(), states.end(), horizontal) != states.end();
}

bool WindowInspector::isIconic(unsigned long window)
{
    const Atom wmState = XInternAtom(m_connection->display(), "WM_STATE", False);
    const auto state = property(window, "WM_STATE", wmState);
    return !state.empty() && static_cast<long>(state.front()) == IconicState;
}

std::optional<std::uint32_t> WindowInspector::cardinal(unsigned long window, const char* name)
{
    const auto values = property(window, name, XA_CARDINAL);
    return values.empty() ? std::nullopt : std::optional(static_cast<std::uint32_t>(values.front()));
}

std::optional<std::uint32_t> WindowInspector::currentDesktop()
{
    return cardinal(DefaultRootWindow(m_connection->display()), "_NET_CURRENT_DESKTOP");
}

std::optional<std::uint32_t> WindowInspector::desktopCount()
{
    return cardinal(DefaultRootWindow(m_connection->display()), "_NET_NUMBER_OF_DESKTOPS");
}

std::optional<std::uint32_t> WindowInspector::desktopOf(unsigned long window)
{
    return cardinal(window, "_NET_WM_DESKTOP");
}

void WindowInspector::sendToRoot(unsigned long window, const char* messageType, long l0, long l1, long l2,
                                 long l3)
{
    Display* display = m_connection->display();
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, messageType, False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = l0;
    event.xclient.data.l[1] = l1;
    event.xclient.data.l[2] = l2;
    event.xclient.data.l[3] = l3;
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &event);
    XSync(display, False);
}

void WindowInspector::requestMaximize(unsigned long window)
{
    Display* display = m_connection->display();
    sendToRoot(window, "_NET_WM_STATE", 1,
               static_cast<long>(XInternAtom(display, "_NET_WM_STATE_MAXIMIZED_VERT", False)),
               static_cast<long>(XInternAtom(display, "_NET_WM_STATE_MAXIMIZED_HORZ", False)), 2);
}

void WindowInspector::requestIconify(unsigned long window)
{
    Display* display = m_connection->display();
    XIconifyWindow(display, window, DefaultScreen(display));
    XSync(display, False);
}

void WindowInspector::requestDesktopCount(std::uint32_t count)
{
    sendToRoot(DefaultRootWindow(m_connection->display()), "_NET_NUMBER_OF_DESKTOPS",
               static_cast<long>(count));
}

void WindowInspector::requestCurrentDesktop(std::uint32_t desktop)
{
    sendToRoot(DefaultRootWindow(m_connection->display()), "_NET_CURRENT_DESKTOP", static_cast<long>(desktop),
               CurrentTime);
}

void WindowInspector::requestWindowDesktop(unsigned long window, std::uint32_t desktop)
{
    sendToRoot(window, "_NET_WM_DESKTOP", static_cast<long>(desktop), 2);
}

void WindowInspector::requestActivation(unsigned long window)
{
    sendToRoot(window, "_NET_ACTIVE_WINDOW", 2, CurrentTime);
}

} // namespace loopwren
