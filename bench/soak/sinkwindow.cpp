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

} // namespace loopwren::bench
