#pragma once

#include <sys/types.h>

#include "inputmonitor.h"

#include <QByteArray>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// What the X integration and end-to-end tests share.
namespace loopwren::x11test {

// Empty when the X session the tests need is there; else what is wrong and how to get it.
std::string displayProblem();
// Runs xdotool with these arguments against $DISPLAY; false when it cannot run or fails.
bool xdotool(const std::vector<std::string>& arguments);
// Processes Qt events until the predicate holds or the timeout passes; returns the predicate.
bool waitUntil(const std::function<bool()>& predicate,
               std::chrono::milliseconds timeout = std::chrono::seconds(30));
// Processes Qt events for a while, so that input which should not arrive has had its chance to.
void settle(std::chrono::milliseconds duration = std::chrono::milliseconds(200));
// One readable line per input, with the fields that matter for its kind, so tests compare strings; the
// flags only when some are set, or "flags=none" when the input carries none.
std::string describe(const InputEvent& event);
std::vector<std::string> describe(const std::vector<InputEvent>& events);

// Environment variables changed for the length of a test, put back as they were on destruction.
class ScopedEnvironment
{
public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment()
    {
        // Newest first, so a variable changed twice ends up as it was before the first change.
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it)
            it->second ? qputenv(it->first, *it->second) : qunsetenv(it->first);
    }
    void set(const char* name, const QByteArray& value)
    {
        remember(name);
        qputenv(name, value);
    }
    void unset(const char* name)
    {
        remember(name);
        qunsetenv(name);
    }

private:
    void remember(const char* name)
    {
        m_saved.emplace_back(name,
                             qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
    }
    std::vector<std::pair<const char*, std::optional<QByteArray>>> m_saved;
};

// An Xvfb of the test's own, for tests that take the server away. Stopped on destruction.
class PrivateXServer
{
public:
    // Extra arguments go to Xvfb ("-extension", "RECORD" leaves that extension out).
    explicit PrivateXServer(const std::vector<std::string>& extraArguments = {});
    ~PrivateXServer() { stop(); }
    // Empty when the server did not start.
    const std::string& display() const { return m_display; }
    // Kills it with SIGKILL, as when a server crashes without a chance to say goodbye to its clients;
    // returns once it is gone.
    void stop();

private:
    pid_t m_pid = -1;
    std::string m_display;
};

} // namespace loopwren::x11test
