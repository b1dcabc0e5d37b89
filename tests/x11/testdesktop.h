#pragma once

#include "x11connection.h"
#include "x11testsupport.h"

#include <QTemporaryDir>

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace loopwren::x11test {

struct Rect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect&) const = default;
    friend std::ostream& operator<<(std::ostream& out, const Rect& rect)
    {
        return out << rect.width << "x" << rect.height << "+" << rect.x << "+" << rect.y;
    }
};

// The tests' own view of top-level windows, read with plain Xlib on a connection of its own rather than
// through the code under test, and the requests a pager makes of the window manager to set a scene up.
class WindowInspector
{
public:
    explicit WindowInspector(const std::string& display = {}) : m_connection(X11Connection::open(display)) {}
    bool isOpen() const { return m_connection != nullptr; }
    // The first format-32 value of a property of window (0: the root), e.g. _NET_CURRENT_DESKTOP.
    std::optional<unsigned long> value(const char* property, unsigned long window = 0);
    std::vector<unsigned long> values(const char* property, unsigned long window = 0);
    unsigned long activeWindow() { return value("_NET_ACTIVE_WINDOW").value_or(0); }
    unsigned long inputFocus();
    // In root coordinates: the client window, and its frame (the client widened by _NET_FRAME_EXTENTS).
    std::optional<Rect> clientRect(unsigned long window);
    std::optional<Rect> frameRect(unsigned long window);
    bool isMaximized(unsigned long window);
    bool isIconic(unsigned long window) { return value("WM_STATE", window) == 3; } // ICCCM's IconicState
    // A client message to the root about window (0: the root itself), as EWMH has pagers send them.
    void request(const char* type, std::vector<long> data, unsigned long window = 0);
    unsigned long atom(const char* name);

private:
    std::unique_ptr<X11Connection> m_connection;
};

// Another running application for the workspace tests: top-level windows of one WM_CLASS, mapped in
// this order, each carrying the process id unless it is 0.
struct TestApplication
{
    std::string instance;
    std::string className;
    int windows = 1;
    long pid = 0;
    const char* type = "NORMAL"; // of _NET_WM_WINDOW_TYPE_...
    bool skipTaskbar = false;
};

// A scene of running applications: desktop entries in temporary data folders that the XDG variables
// point at for the test's length (the user's own entries stay out), and applications whose windows
// the window manager has taken on.
class TestDesktop
{
public:
    // With a display of its own there is no window manager: windows count as there once mapped.
    explicit TestDesktop(const std::string& display = {});
    // Empty when the scene can be used.
    const std::string& problem() const { return m_problem; }
    // Folder 0 comes first in $XDG_DATA_DIRS, folder 1 second.
    void addEntry(int folder, const std::string& fileName, const std::string& name,
                  const std::string& extra = {});
    // The application's windows in mapping order once the window manager lists and frames them; empty,
    // with a test failure, when it does not.
    std::vector<unsigned long> start(const TestApplication& application);
    WindowInspector& inspector() { return m_inspector; }

private:
    QTemporaryDir m_root;
    ScopedEnvironment m_environment;
    std::string m_display;
    std::string m_problem;
    WindowInspector m_inspector;
    // Each application on a connection of its own, as another client; closing it removes its windows.
    std::vector<std::unique_ptr<X11Connection>> m_applications;
};

} // namespace loopwren::x11test
