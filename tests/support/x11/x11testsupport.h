#pragma once

#include <sys/types.h>

#include "eventually.h"
#include "inputeventtext.h"
#include "scopedenvironment.h"

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

// An Xvfb of the test's own, for tests that take the server away. Stopped on destruction.
class PrivateXServer
{
public:
    // Xvfb, or the server command given (as Xephyr, which shows its screen in a window on $DISPLAY
    // and has input devices of its own); it is told to pick a free display and stay up.
    explicit PrivateXServer(std::vector<std::string> command = {"Xvfb", "-screen", "0", "640x480x24"});
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
