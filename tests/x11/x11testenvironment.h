#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <sys/types.h>

namespace loopwren {

// What the X integration tests share: the session check, starting helper programs and xdotool, and
// waiting while the Qt event loop delivers.
class X11TestEnvironment
{
public:
    // Empty when the X session the tests need is there; else what is wrong and how to get it.
    static std::string displayProblem();

    // Runs xdotool with these arguments against $DISPLAY; false when it cannot run or fails.
    static bool xdotool(const std::vector<std::string>& arguments);
    // Starts words[0] (a path, or searched on $PATH); with from, the child's descriptor `to` writes into
    // a pipe whose read end is put in *from. Quiet: its standard output and error go nowhere. -1 when
    // it cannot start.
    static pid_t spawn(const std::vector<std::string>& words, int to = -1, int* from = nullptr,
                       bool quiet = false);
    // One line from fd without its newline; what came so far at end of file or once the timeout passed.
    static std::string readLine(int fd, std::chrono::milliseconds timeout);

    // The pointer's root position and the state of the modifiers and buttons, as another client sees it.
    struct Pointer
    {
        int x = 0;
        int y = 0;
        unsigned mask = 0;
    };
    static Pointer pointer();

    // Processes Qt events until the predicate holds or the timeout passes; returns the predicate.
    static bool waitUntil(const std::function<bool()>& predicate,
                          std::chrono::milliseconds timeout = std::chrono::seconds(30));
    // Processes Qt events for a while, so input that should not arrive has had its chance to.
    static void settle(std::chrono::milliseconds duration = std::chrono::milliseconds(200));
};

} // namespace loopwren
