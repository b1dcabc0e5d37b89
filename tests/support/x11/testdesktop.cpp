#include "testdesktop.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>

namespace loopwren::x11test {

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
    ASSERT_TRUE(test::writeFile(
        m_root.path() + QStringLiteral("/share%1/applications/").arg(folder) +
            QString::fromStdString(fileName),
        ("[Desktop Entry]\nType=Application\nName=" + name + "\nExec=true\n" + extra).c_str()))
        << fileName;
}

std::vector<unsigned long> TestDesktop::start(const TestApplication& application)
{
    auto client = std::make_unique<X11TestClient>(m_display);
    if (!client->isOpen()) {
        ADD_FAILURE() << "cannot open the X display";
        return {};
    }
    Display* display = client->display();
    const auto set = [&](Window window, const char* property, Atom type, long value) {
        XChangeProperty(display, window, client->atom(property), type, 32, PropModeReplace,
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
            static_cast<long>(
                client->atom(("_NET_WM_WINDOW_TYPE_" + std::string(application.type)).c_str())));
        // Before mapping: the window manager reads the initial state when it takes the window on.
        if (application.skipTaskbar)
            set(window, "_NET_WM_STATE", XA_ATOM,
                static_cast<long>(client->atom("_NET_WM_STATE_SKIP_TASKBAR")));
        XMapWindow(display, window);
        XSync(display, False);
        windows.push_back(window);
        // One at a time, so that the window manager lists them in this order.
        const bool managed = !m_display.empty() || test::eventually([&] {
            const auto listed = m_inspector.values("_NET_CLIENT_LIST");
            return std::ranges::find(listed, window) != listed.end() &&
                   m_inspector.values("_NET_FRAME_EXTENTS", window).size() == 4;
        });
        if (!managed) {
            ADD_FAILURE() << "the window manager did not take on a window of " << application.className;
            return {};
        }
    }
    m_applications.push_back(std::move(client));
    return windows;
}

} // namespace loopwren::x11test
