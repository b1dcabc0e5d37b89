#include "x11testsupport.h"

#include "primarymonitor.h"
#include "x11connection.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/record.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace loopwren::x11test {

std::string displayProblem()
{
    const char* display = std::getenv("DISPLAY");
    const auto connection = X11Connection::open({});
    if (!display || !*display || !connection)
        return "no X display: run the X11 tests under scripts/with-x11.sh";
    int major = 0, minor = 0, eventBase = 0, errorBase = 0;
    if (!XRecordQueryVersion(connection->display(), &major, &minor))
        return "the X server offers no RECORD extension";
    if (!XTestQueryExtension(connection->display(), &eventBase, &errorBase, &major, &minor))
        return "the X server offers no XTEST extension";
    // Without an offset the coordinate tests could not tell translated positions from raw ones.
    if (PrimaryMonitor::query(connection->display()) != ScreenOrigin{200, 100})
        return "the primary monitor is not at +200+100: run the X11 tests under scripts/with-x11.sh";
    return {};
}

namespace {

// posix_spawn rather than QProcess: ThreadSanitizer stops a process that forks while it has threads.
pid_t spawn(std::vector<std::string> words, int output)
{
    std::vector<char*> argv;
    for (auto& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (output >= 0)
        posix_spawn_file_actions_adddup2(&actions, output, 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return spawned == 0 ? pid : -1;
}

} // namespace

bool xdotool(const std::vector<std::string>& arguments)
{
    std::vector<std::string> words{"xdotool"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    const pid_t pid = spawn(words, -1);
    int status = 0;
    return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool waitUntil(const std::function<bool()>& predicate, std::chrono::milliseconds timeout)
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

void settle(std::chrono::milliseconds duration)
{
    const auto deadline = std::chrono::steady_clock::now() + duration;
    waitUntil([&] { return std::chrono::steady_clock::now() >= deadline; }, duration * 2);
}

std::string describe(const InputEvent& event)
{
    static const char* const kinds[] = {"buttonDown", "buttonUp",         "pointerMoved", "keyDown",
                                        "keyUp",      "modifiersChanged", "scroll"};
    static const char* const buttons[] = {"left", "right", "other"};
    std::string text = kinds[static_cast<int>(event.kind)];
    if (event.button)
        text += std::string(" ") + buttons[static_cast<int>(*event.button)];
    char buffer[160];
    if (event.kind == InputKind::scroll)
        std::snprintf(buffer, sizeof buffer, " dx=%g dy=%g", event.scrollDeltaX, event.scrollDeltaY);
    else if (event.kind == InputKind::pointerMoved)
        std::snprintf(buffer, sizeof buffer, " (%g,%g)", event.location->x, event.location->y);
    else if (event.kind == InputKind::buttonDown || event.kind == InputKind::buttonUp)
        std::snprintf(buffer, sizeof buffer, " (%g,%g) clicks=%lld", event.location->x, event.location->y,
                      static_cast<long long>(event.clickCount));
    else
        std::snprintf(buffer, sizeof buffer, " %u", static_cast<unsigned>(event.keyCode));
    text += buffer;
    if (!event.flags)
        return text + " flags=none";
    if (*event.flags == 0)
        return text;
    std::snprintf(buffer, sizeof buffer, " flags=0x%llx", static_cast<unsigned long long>(*event.flags));
    return text + buffer;
}

std::vector<std::string> describe(const std::vector<InputEvent>& events)
{
    std::vector<std::string> lines;
    for (const auto& event : events)
        lines.push_back(describe(event));
    return lines;
}

PrivateXServer::PrivateXServer(const std::vector<std::string>& extraArguments)
{
    // The server picks a free display itself and writes its number once it accepts clients.
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        return;
    std::vector<std::string> arguments = {"Xvfb",       "-displayfd", "1",         "-screen", "0",
                                          "640x480x24", "-noreset",   "-nolisten", "tcp"};
    arguments.insert(arguments.end(), extraArguments.begin(), extraArguments.end());
    m_pid = spawn(arguments, ends[1]);
    close(ends[1]);
    std::string number;
    pollfd readable{ends[0], POLLIN, 0};
    char c = 0;
    while (m_pid > 0 && poll(&readable, 1, 10000) > 0 && read(ends[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(ends[0]);
    if (!number.empty())
        m_display = ":" + number;
}

void PrivateXServer::stop()
{
    if (m_pid <= 0)
        return;
    kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
    m_pid = -1;
}

} // namespace loopwren::x11test
