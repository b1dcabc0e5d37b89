#include "x11testenvironment.h"

#include <QCoreApplication>
#include <QEventLoop>

#include "primarymonitor.h"
#include "x11connection.h"

#include <X11/extensions/XTest.h>
#include <X11/extensions/record.h>

#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <thread>

extern char** environ;

namespace loopwren {

std::string X11TestEnvironment::displayProblem()
{
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display)
        return "DISPLAY is not set: run the X11 tests under scripts/with-x11.sh";
    const auto connection = X11Connection::open({});
    if (!connection)
        return std::string("cannot open X display ") + display +
               ": run the X11 tests under scripts/with-x11.sh";
    int major = 0;
    int minor = 0;
    int eventBase = 0;
    int errorBase = 0;
    if (!XRecordQueryVersion(connection->display(), &major, &minor))
        return "the X server offers no RECORD extension";
    if (!XTestQueryExtension(connection->display(), &eventBase, &errorBase, &major, &minor))
        return "the X server offers no XTEST extension";
    // Without an offset the coordinate tests could not tell translated positions from raw ones.
    if (PrimaryMonitor::query(connection->display()) != ScreenOrigin{200, 100})
        return "the primary monitor is not at +200+100: run the X11 tests under scripts/with-x11.sh";
    return {};
}

bool X11TestEnvironment::xdotool(const std::vector<std::string>& arguments)
{
    std::vector<std::string> words{"xdotool"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, "xdotool", nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool X11TestEnvironment::waitUntil(const std::function<bool()>& predicate, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!predicate()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void X11TestEnvironment::settle(std::chrono::milliseconds duration)
{
    const auto deadline = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < deadline) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

} // namespace loopwren
