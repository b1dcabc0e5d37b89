#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace loopwren {

// What the X integration tests share: the session check, driving xdotool, and waiting while the Qt
// event loop delivers.
class X11TestEnvironment
{
public:
    // Empty when the X session the tests need is there; else what is wrong and how to get it.
    static std::string displayProblem();

    // Runs xdotool with these arguments against $DISPLAY; false when it cannot run or fails.
    static bool xdotool(const std::vector<std::string>& arguments);

    // Processes Qt events until the predicate holds or the timeout passes; returns the predicate.
    static bool waitUntil(const std::function<bool()>& predicate,
                          std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Processes Qt events for a while, so input that should not arrive has had its chance to.
    static void settle(std::chrono::milliseconds duration = std::chrono::milliseconds(200));
};

} // namespace loopwren
