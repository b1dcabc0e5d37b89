#include "probewindow.h"

#include "x11testenvironment.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <poll.h>

#include <thread>

namespace loopwren {

namespace {

std::string describeEvent(Display* display, const XEvent& event);

std::string stateText(unsigned state)
{
    static const std::pair<unsigned, const char*> names[] = {
        {ShiftMask, "Shift"},     {LockMask, "Lock"},       {ControlMask, "Control"},
        {Mod1Mask, "Mod1"},       {Mod2Mask, "Mod2"},       {Mod3Mask, "Mod3"},
        {Mod4Mask, "Mod4"},       {Mod5Mask, "Mod5"},       {Button1Mask, "Button1"},
        {Button2Mask, "Button2"}, {Button3Mask, "Button3"}, {Button4Mask, "Button4"},
        {Button5Mask, "Button5"},
    };
    std::string text = "[";
    for (const auto& [mask, name] : names) {
        if (state & mask) {
            if (text.size() > 1)
                text += ' ';
            text += name;
        }
    }
    return text + "]";
}

} // namespace

std::unique_ptr<ProbeWindow> ProbeWindow::open(std::string* problem, Keyboard keyboard)
{
    auto connection = X11Connection::open({});
    if (!connection) {
        *problem = "cannot open the X display";
        return nullptr;
    }
    Display* display = connection->display();
    const Window root = DefaultRootWindow(display);
    XSetWindowAttributes attributes{};
    // Unmanaged, so the window manager neither decorates nor moves it.
    attributes.override_redirect = True;
    attributes.event_mask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                            PointerMotionMask | StructureNotifyMask;
    const Window window =
        XCreateWindow(display, root, 0, 0, static_cast<unsigned>(DisplayWidth(display, 0)),
                      static_cast<unsigned>(DisplayHeight(display, 0)), 0, CopyFromParent, InputOnly,
                      CopyFromParent, CWOverrideRedirect | CWEventMask, &attributes);
    std::unique_ptr<ProbeWindow> probe(new ProbeWindow(std::move(connection), window));
    XMapRaised(display, window);
    XEvent event;
    while (true) {
        XWindowEvent(display, window, StructureNotifyMask, &event);
        if (event.type == MapNotify)
            break;
    }
    if (keyboard == Keyboard::focus) {
        XSetInputFocus(display, window, RevertToParent, CurrentTime);
        XSync(display, False);
        return probe;
    }
    // The keyboard goes to the grabbing window whatever the focus, so key input reaches the probe.
    for (int attempt = 0;; ++attempt) {
        if (XGrabKeyboard(display, window, False, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess)
            break;
        if (attempt == 200) {
            *problem = "the probe window cannot grab the keyboard";
            return nullptr;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    XSync(display, False);
    return probe;
}

ProbeWindow::ProbeWindow(std::unique_ptr<X11Connection> connection, unsigned long window)
    : m_connection(std::move(connection)), m_window(window)
{
}

ProbeWindow::~ProbeWindow()
{
    Display* display = m_connection->display();
    XUngrabKeyboard(display, CurrentTime);
    XDestroyWindow(display, m_window);
    XSync(display, False);
}

void ProbeWindow::resetPointer(int rootX, int rootY)
{
    Display* display = m_connection->display();
    XTestFakeMotionEvent(display, -1, rootX, rootY, 0);
    XSync(display, False);
    // The motion may come back after the sync reply: wait for the pointer to be there, then drop the log.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto pointer = X11TestEnvironment::pointer();
        if (pointer.x == rootX && pointer.y == rootY)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    XSync(display, False);
    readPending();
    m_lines.clear();
}

std::vector<std::string> ProbeWindow::waitForLines(std::size_t count, std::chrono::milliseconds timeout)
{
    Display* display = m_connection->display();
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    auto lingerUntil = std::chrono::steady_clock::time_point::max();
    for (;;) {
        readPending();
        const auto now = std::chrono::steady_clock::now();
        if (m_lines.size() >= count && lingerUntil == std::chrono::steady_clock::time_point::max())
            lingerUntil = now + std::chrono::milliseconds(200);
        if (now >= deadline || now >= lingerUntil)
            break;
        pollfd fd{ConnectionNumber(display), POLLIN, 0};
        poll(&fd, 1, 20);
    }
    return m_lines;
}

void ProbeWindow::clear()
{
    readPending();
    m_lines.clear();
}

void ProbeWindow::readPending()
{
    Display* display = m_connection->display();
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        auto line = describeEvent(display, event);
        if (!line.empty())
            m_lines.push_back(std::move(line));
    }
}

namespace {

std::string describeEvent(Display* display, const XEvent& event)
{
    switch (event.type) {
    case MotionNotify:
        return "motion " + std::to_string(event.xmotion.x_root) + "," + std::to_string(event.xmotion.y_root);
    case ButtonPress:
    case ButtonRelease:
        return "button " + std::to_string(event.xbutton.button) +
               (event.type == ButtonPress ? " down " : " up ") + std::to_string(event.xbutton.x_root) + "," +
               std::to_string(event.xbutton.y_root) + " " + stateText(event.xbutton.state);
    case KeyPress:
    case KeyRelease: {
        const KeySym symbol = XkbKeycodeToKeysym(display, static_cast<KeyCode>(event.xkey.keycode), 0, 0);
        const char* name = XKeysymToString(symbol);
        return "key " + std::string(name ? name : "keycode" + std::to_string(event.xkey.keycode)) +
               (event.type == KeyPress ? " down " : " up ") + stateText(event.xkey.state);
    }
    default:
        return {};
    }
}

} // namespace

} // namespace loopwren
