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

PrivateXServer::PrivateXServer(std::vector<std::string> command)
{
    // The server picks a free display itself and writes its number once it accepts clients.
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        return;
    command.insert(command.begin() + 1, {"-displayfd", "1", "-noreset", "-nolisten", "tcp"});
    m_pid = spawn(std::move(command), ends[1]);
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
