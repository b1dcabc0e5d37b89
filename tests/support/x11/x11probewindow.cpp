#include "x11probewindow.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <poll.h>

#include <thread>

namespace loopwren {
namespace {

std::string stateText(unsigned state)
{
    static const char* const names[] = {"Shift", "Lock",    "Control", "Mod1",    "Mod2",    "Mod3",   "Mod4",
                                        "Mod5",  "Button1", "Button2", "Button3", "Button4", "Button5"};
    std::string text;
    for (unsigned bit = 0; bit < std::size(names); ++bit) {
        if (state & (1u << bit))
            text += (text.empty() ? "" : " ") + std::string(names[bit]);
    }
    return "[" + text + "]";
}

std::string describe(Display* display, const XEvent& event)
{
    const auto at = [](int x, int y) { return std::to_string(x) + "," + std::to_string(y); };
    switch (event.type) {
    case MotionNotify:
        return "motion " + at(event.xmotion.x_root, event.xmotion.y_root);
    case ButtonPress:
    case ButtonRelease:
        return "button " + std::to_string(event.xbutton.button) +
               (event.type == ButtonPress ? " down " : " up ") +
               at(event.xbutton.x_root, event.xbutton.y_root) + " " + stateText(event.xbutton.state);
    case KeyPress:
    case KeyRelease: {
        const char* name =
            XKeysymToString(XkbKeycodeToKeysym(display, static_cast<KeyCode>(event.xkey.keycode), 0, 0));
        return "key " + (name ? std::string(name) : "keycode" + std::to_string(event.xkey.keycode)) +
               (event.type == KeyPress ? " down " : " up ") + stateText(event.xkey.state);
    }
    default:
        return {};
    }
}

} // namespace

std::unique_ptr<X11ProbeWindow> X11ProbeWindow::open(std::string* problem, Keyboard keyboard)
{
    std::unique_ptr<X11ProbeWindow> probe(new X11ProbeWindow);
    if (!probe->m_client.isOpen()) {
        *problem = "cannot open the X display";
        return nullptr;
    }
    Display* display = probe->m_client.display();
    XSetWindowAttributes attributes{};
    // Unmanaged, so the window manager neither decorates nor moves it.
    attributes.override_redirect = True;
    attributes.event_mask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                            PointerMotionMask | StructureNotifyMask;
    probe->m_window = XCreateWindow(display, DefaultRootWindow(display), 0, 0,
                                    static_cast<unsigned>(DisplayWidth(display, 0)),
                                    static_cast<unsigned>(DisplayHeight(display, 0)), 0, CopyFromParent,
                                    InputOnly, CopyFromParent, CWOverrideRedirect | CWEventMask, &attributes);
    XMapRaised(display, probe->m_window);
    XEvent event;
    do
        XWindowEvent(display, probe->m_window, StructureNotifyMask, &event);
    while (event.type != MapNotify);
    if (keyboard == Keyboard::focus)
        XSetInputFocus(display, probe->m_window, RevertToParent, CurrentTime);
    // Another client may still hold a grab of its own for a moment.
    for (int attempt = 0;
         keyboard == Keyboard::grab && XGrabKeyboard(display, probe->m_window, False, GrabModeAsync,
                                                     GrabModeAsync, CurrentTime) != GrabSuccess;
         ++attempt) {
        if (attempt == 200) {
            *problem = "the probe window cannot grab the keyboard";
            return nullptr;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    XSync(display, False);
    return probe;
}

X11ProbeWindow::~X11ProbeWindow()
{
    XUngrabKeyboard(m_client.display(), CurrentTime);
    XDestroyWindow(m_client.display(), m_window);
    XSync(m_client.display(), False);
}

void X11ProbeWindow::movePointer(int rootX, int rootY)
{
    Display* display = m_client.display();
    XTestFakeMotionEvent(display, -1, rootX, rootY, 0);
    // The server may move the pointer only after answering the next request: wait until it is there,
    // so that its motion comes in before the reply that ends the wait and is dropped with the rest.
    for (int attempt = 0; attempt < 100; ++attempt) {
        Window root = 0, child = 0;
        int x = -1, y = -1, windowX = 0, windowY = 0;
        unsigned mask = 0;
        XQueryPointer(display, DefaultRootWindow(display), &root, &child, &x, &y, &windowX, &windowY, &mask);
        if (x == rootX && y == rootY)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    clear();
}

std::vector<std::string> X11ProbeWindow::waitForLines(std::size_t count, std::chrono::milliseconds timeout)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + timeout;
    auto lingerUntil = Clock::time_point::max();
    for (;;) {
        read(true);
        const auto now = Clock::now();
        if (m_lines.size() >= count && lingerUntil == Clock::time_point::max())
            lingerUntil = now + std::chrono::milliseconds(200);
        if (now >= deadline || now >= lingerUntil)
            return m_lines;
        pollfd fd{ConnectionNumber(m_client.display()), POLLIN, 0};
        poll(&fd, 1, 20);
    }
}

void X11ProbeWindow::clear()
{
    read(false);
    m_lines.clear();
}

void X11ProbeWindow::read(bool log)
{
    Display* display = m_client.display();
    while (!m_client.connection().isBroken() && XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (std::string line = log ? describe(display, event) : std::string(); !line.empty())
            m_lines.push_back(std::move(line));
    }
}

} // namespace loopwren
