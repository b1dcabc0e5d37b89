#include "testdesktop.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>

namespace loopwren::x11test {

std::vector<unsigned long> WindowInspector::values(const char* property, unsigned long window)
{
    Display* display = m_connection->display();
    XSync(display, False); // see what the window manager has done so far
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> values;
    if (XGetWindowProperty(display, window ? window : DefaultRootWindow(display), atom(property), 0, 4096,
                           False, AnyPropertyType, &type, &format, &count, &remaining, &data) == Success &&
        data && format == 32)
        values.assign(reinterpret_cast<unsigned long*>(data), reinterpret_cast<unsigned long*>(data) + count);
    if (data)
        XFree(data);
    return values;
}

std::optional<unsigned long> WindowInspector::value(const char* property, unsigned long window)
{
    const auto all = values(property, window);
    return all.empty() ? std::nullopt : std::optional(all.front());
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
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    if (!XGetGeometry(display, window, &root, &x, &y, &width, &height, &border, &depth) ||
        !XTranslateCoordinates(display, window, root, 0, 0, &x, &y, &child))
        return std::nullopt;
    return Rect{x, y, static_cast<int>(width), static_cast<int>(height)};
}

std::optional<Rect> WindowInspector::frameRect(unsigned long window)
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

bool WindowInspector::isMaximized(unsigned long window)
{
    const auto states = values("_NET_WM_STATE", window);
    return std::ranges::any_of(states, [&](unsigned long state) {
        return state == atom("_NET_WM_STATE_MAXIMIZED_VERT") || state == atom("_NET_WM_STATE_MAXIMIZED_HORZ");
    });
}

void WindowInspector::request(const char* type, std::vector<long> data, unsigned long window)
{
    Display* display = m_connection->display();
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window ? window : DefaultRootWindow(display);
    event.xclient.message_type = atom(type);
    event.xclient.format = 32;
    std::copy(data.begin(), data.end(), event.xclient.data.l);
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &event);
    XSync(display, False);
}

unsigned long WindowInspector::atom(const char* name)
{
    return XInternAtom(m_connection->display(), name, False);
}

TestDesktop::TestDesktop(const std::string& display) : m_display(display), m_inspector(display)
{
    const QByteArray root = m_root.path().toUtf8();
    for (const char* folder : {"/home/applications", "/share0/applications", "/share1/applications"})
        QDir().mkpath(root + folder);
    m_environment.set("XDG_DATA_HOME", root + "/home");
    m_environment.set("XDG_DATA_DIRS", root + "/share0:" + root + "/share1");
    // Untranslated names, whatever the machine's language.
    m_environment.set("LC_ALL", "C");
    if (!m_root.isValid() || !m_inspector.isOpen())
        m_problem = "cannot create a temporary folder or open the X display";
}

void TestDesktop::addEntry(int folder, const std::string& fileName, const std::string& name,
                           const std::string& extra)
{
    QFile file(m_root.path() + QStringLiteral("/share%1/applications/").arg(folder) +
               QString::fromStdString(fileName));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << fileName;
    file.write(("[Desktop Entry]\nType=Application\nName=" + name + "\nExec=true\n" + extra).c_str());
}

std::vector<unsigned long> TestDesktop::start(const TestApplication& application)
{
    auto connection = X11Connection::open(m_display);
    if (!connection) {
        ADD_FAILURE() << "cannot open the X display";
        return {};
    }
    Display* display = connection->display();
    const auto atom = [&](const std::string& name) { return XInternAtom(display, name.c_str(), False); };
    const auto set = [&](Window window, const char* property, Atom type, long value) {
        XChangeProperty(display, window, atom(property), type, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&value), 1);
    };
    std::vector<unsigned long> windows;
    for (int i = 0; i < application.windows; ++i) {
        const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 40 * i, 40 * i, 320,
                                                  200, 0, 0, WhitePixel(display, DefaultScreen(display)));
        XClassHint classHint{const_cast<char*>(application.instance.c_str()),
                             const_cast<char*>(application.className.c_str())};
        XSetClassHint(display, window, &classHint);
        // Takes the keyboard focus when the window manager offers it, as ordinary applications do.
        XWMHints hints{};
        hints.flags = InputHint;
        hints.input = True;
        XSetWMHints(display, window, &hints);
        if (application.pid != 0)
            set(window, "_NET_WM_PID", XA_CARDINAL, application.pid);
        set(window, "_NET_WM_WINDOW_TYPE", XA_ATOM,
            static_cast<long>(atom(std::string("_NET_WM_WINDOW_TYPE_") + application.type)));
        // Before mapping: the window manager reads the initial state when it takes the window on.
        if (application.skipTaskbar)
            set(window, "_NET_WM_STATE", XA_ATOM, static_cast<long>(atom("_NET_WM_STATE_SKIP_TASKBAR")));
        XMapWindow(display, window);
        XSync(display, False);
        windows.push_back(window);
        // One at a time, so that the window manager lists them in this order.
        const bool managed = !m_display.empty() || waitUntil([&] {
            const auto listed = m_inspector.values("_NET_CLIENT_LIST");
            return std::ranges::find(listed, window) != listed.end() &&
                   m_inspector.values("_NET_FRAME_EXTENTS", window).size() == 4;
        });
        if (!managed) {
            ADD_FAILURE() << "the window manager did not take on a window of " << application.className;
            return {};
        }
    }
    m_applications.push_back(std::move(connection));
    return windows;
}

} // namespace loopwren::x11test
