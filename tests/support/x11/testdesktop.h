#pragma once

#include "x11testclient.h"
#include "x11testsupport.h"

#include <QTemporaryDir>

#include <memory>
#include <string>
#include <vector>

namespace loopwren::x11test {

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
    // How the scene looks to an onlooker, and the requests a pager makes of the window manager.
    X11TestClient& inspector() { return m_inspector; }

private:
    QTemporaryDir m_root;
    test::ScopedEnvironment m_environment;
    std::string m_display;
    std::string m_problem;
    X11TestClient m_inspector;
    // Each application is a client of its own; closing it removes its windows.
    std::vector<std::unique_ptr<X11TestClient>> m_applications;
};

} // namespace loopwren::x11test
