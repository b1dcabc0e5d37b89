#pragma once

#include "scopedenvironment.h"
#include "testclient.h"
#include "windowinspector.h"

#include <QTemporaryDir>

#include <memory>
#include <string>
#include <vector>

namespace loopwren {

// A scene of "running applications" for the workspace tests: desktop entries in temporary data
// folders that the XDG variables point at for the test's length (the user's own entries stay out),
// and test clients whose windows the window manager has taken on.
class TestDesktop
{
public:
    TestDesktop();
    ~TestDesktop();

    // Empty when the scene can be used.
    const std::string& problem() const { return m_problem; }
    // folder 0 comes first in $XDG_DATA_DIRS, folder 1 second.
    void addEntry(int folder, const std::string& fileName, const std::string& content);
    static std::string entry(const std::string& name, const std::string& extraLines = {});

    // Starts a client and waits until the window manager lists and frames its windows (unless it runs
    // on a display of its own); nullptr with a test failure when it does not come up.
    TestClient* start(const TestClient::Options& options);
    WindowInspector& inspector() { return *m_inspector; }

private:
    QTemporaryDir m_root;
    ScopedEnvironment m_environment;
    std::unique_ptr<WindowInspector> m_inspector;
    std::vector<std::unique_ptr<TestClient>> m_clients;
    std::string m_problem;
};

} // namespace loopwren
