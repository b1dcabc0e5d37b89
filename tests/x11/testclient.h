#pragma once

#include <sys/types.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace loopwren {

// A running x11_test_client: another application's windows for the workspace tests. Killed and reaped
// on destruction.
class TestClient
{
public:
    struct Options
    {
        Options(std::string instanceName, std::string wmClassName)
            : instance(std::move(instanceName)), className(std::move(wmClassName))
        {
        }
        std::string instance;
        std::string className;
        int windows = 1;
        bool withPid = true; // the client's own process id in _NET_WM_PID
        std::string type = "normal";
        bool skipTaskbar = false;
        std::string display; // empty: $DISPLAY
    };

    // nullptr, with the reason in *problem, when the client does not come up with its windows mapped.
    static std::unique_ptr<TestClient> start(const Options& options, std::string* problem);
    ~TestClient();
    TestClient(const TestClient&) = delete;
    TestClient& operator=(const TestClient&) = delete;

    pid_t pid() const { return m_pid; }
    // In mapping order.
    const std::vector<unsigned long>& windows() const { return m_windows; }

private:
    explicit TestClient(pid_t pid) : m_pid(pid) {}

    pid_t m_pid;
    std::vector<unsigned long> m_windows;
};

} // namespace loopwren
