#include "x11testenvironment.h"

#include <QCoreApplication>
#include <QEventLoop>

#include "primarymonitor.h"
#include "x11connection.h"

#include <X11/extensions/XTest.h>
#include <X11/extensions/record.h>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

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
    const pid_t pid = spawn(words);
    int status = 0;
    return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

pid_t X11TestEnvironment::spawn(const std::vector<std::string>& words, int to, int* from, bool quiet)
{
    std::vector<char*> argv;
    for (const auto& word : words)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    int ends[2] = {-1, -1};
    if (from && pipe2(ends, O_CLOEXEC) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (quiet) {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    }
    if (from)
        posix_spawn_file_actions_adddup2(&actions, ends[1], to);
    pid_t pid = -1;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (from) {
        close(ends[1]);
        *from = ends[0];
    }
    return spawned == 0 ? pid : -1;
}

std::string X11TestEnvironment::readLine(int fd, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::string line;
    for (char c = 0;; line += c) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd polled{fd, POLLIN, 0};
        if (left.count() <= 0 || poll(&polled, 1, static_cast<int>(left.count())) <= 0 ||
            read(fd, &c, 1) != 1 || c == '\n')
            return line;
    }
}

X11TestEnvironment::Pointer X11TestEnvironment::pointer()
{
    Pointer pointer;
    const auto connection = X11Connection::open({});
    if (!connection)
        return pointer;
    Display* display = connection->display();
    Window root = 0, child = 0;
    int windowX = 0, windowY = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &pointer.x, &pointer.y, &windowX,
                  &windowY, &pointer.mask);
    return pointer;
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
