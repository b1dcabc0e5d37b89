#include "testclient.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <sstream>

extern char** environ;

namespace loopwren {
namespace {

constexpr auto kStartTimeout = std::chrono::seconds(10);

// Reads one line from the descriptor, giving up at the deadline or at end of file.
std::string readLine(int fd)
{
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (true) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd polled{fd, POLLIN, 0};
        if (left.count() <= 0 || poll(&polled, 1, static_cast<int>(left.count())) <= 0)
            return line;
        char c = 0;
        if (read(fd, &c, 1) != 1 || c == '\n')
            return line;
        line += c;
    }
}

} // namespace

std::unique_ptr<TestClient> TestClient::start(const Options& options, std::string* problem)
{
    std::vector<std::string> words{LOOPWREN_X11_TEST_CLIENT,
                                   "--instance",
                                   options.instance,
                                   "--class",
                                   options.className,
                                   "--title",
                                   options.title,
                                   "--windows",
                                   std::to_string(options.windows),
                                   "--size",
                                   std::to_string(options.width) + "x" + std::to_string(options.height),
                                   "--type",
                                   options.type};
    if (!options.withPid)
        words.push_back("--no-pid");
    if (options.skipTaskbar)
        words.push_back("--skip-taskbar");
    if (!options.display.empty()) {
        words.push_back("--display");
        words.push_back(options.display);
    }
    std::vector<char*> argv;
    for (auto& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        *problem = "cannot create a pipe";
        return nullptr;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], 1);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(ends[1]);
    if (spawned != 0) {
        close(ends[0]);
        *problem = std::string("cannot start ") + LOOPWREN_X11_TEST_CLIENT;
        return nullptr;
    }
    std::unique_ptr<TestClient> client(new TestClient(pid));
    const std::string line = readLine(ends[0]);
    close(ends[0]);

    std::istringstream words_in(line);
    std::string word;
    words_in >> word;
    if (word != "windows") {
        *problem = "the test client did not report its windows (got \"" + line + "\")";
        return nullptr;
    }
    while (words_in >> word)
        client->m_windows.push_back(std::stoul(word, nullptr, 16));
    if (client->m_windows.size() != static_cast<std::size_t>(options.windows)) {
        *problem = "the test client reported " + std::to_string(client->m_windows.size()) + " windows";
        return nullptr;
    }
    return client;
}

TestClient::~TestClient()
{
    kill(m_pid, SIGTERM);
    waitpid(m_pid, nullptr, 0);
}

} // namespace loopwren
