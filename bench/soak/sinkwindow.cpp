#include "sinkwindow.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <thread>

namespace loopwren::bench {

std::unique_ptr<SinkWindow> SinkWindow::open(std::string* problem)
{
    auto connection = X11Connection::open({});
    if (!connection) {
        *problem = "cannot open the X display";
        return nullptr;
    }
    Display* display = connection->display();
    XSetWindowAttributes attributes{};
    // Unmanaged, so the window manager neither decorates nor moves it, and on top of everything.
    attributes.override_redirect = True;
    attributes.event_mask =
        KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask | StructureNotifyMask;
    attributes.do_not_propagate_mask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask;
    const Window window = XCreateWindow(
        display, DefaultRootWindow(display), 0, 0, static_cast<unsigned>(DisplayWidth(display, 0)),
        static_cast<unsigned>(DisplayHeight(display, 0)), 0, CopyFromParent, InputOnly, CopyFromParent,
        CWOverrideRedirect | CWEventMask | CWDontPropagate, &attributes);
    std::unique_ptr<SinkWindow> sink(new SinkWindow(std::move(connection), window));
    XMapRaised(display, window);
    XEvent event;
    do
        XWindowEvent(display, window, StructureNotifyMask, &event);
    while (event.type != MapNotify);
    // Keys go to the grabbing window whatever has the focus.
    for (int attempt = 0;; ++attempt) {
        if (XGrabKeyboard(display, window, False, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess)
            break;
        if (attempt == 200) {
            *problem = "the sink window cannot grab the keyboard";
            return nullptr;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    XSync(display, False);
    return sink;
}

SinkWindow::SinkWindow(std::unique_ptr<X11Connection> connection, unsigned long window)
    : m_connection(std::move(connection)), m_window(window)
{
}

SinkWindow::~SinkWindow()
{
    Display* display = m_connection->display();
    XUngrabKeyboard(display, CurrentTime);
    XDestroyWindow(display, m_window);
    XSync(display, False);
}

void SinkWindow::drain()
{
    Display* display = m_connection->display();
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
    }
}

void SinkWindow::movePointer(int rootX, int rootY)
{
    Display* display = m_connection->display();
    XTestFakeMotionEvent(display, -1, rootX, rootY, 0);
    XSync(display, False);
}

std::vector<unsigned> SinkWindow::heldKeycodes()
{
    char keymap[32] = {};
    XQueryKeymap(m_connection->display(), keymap);
    std::vector<unsigned> held;
    for (unsigned keycode = 0; keycode < 256; ++keycode) {
        if (static_cast<unsigned char>(keymap[keycode / 8]) & (1u << (keycode % 8)))
            held.push_back(keycode);
    }
    return held;
}

std::vector<unsigned> SinkWindow::heldButtons()
{
    Display* display = m_connection->display();
    Window root = 0;
    Window child = 0;
    int rootX = 0;
    int rootY = 0;
    int windowX = 0;
    int windowY = 0;
    unsigned mask = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &windowX, &windowY,
                  &mask);
    std::vector<unsigned> held;
    const unsigned masks[] = {Button1Mask, Button2Mask, Button3Mask, Button4Mask, Button5Mask};
    for (unsigned i = 0; i < 5; ++i) {
        if (mask & masks[i])
            held.push_back(i + 1);
    }
    return held;
}

} // namespace loopwren::bench
