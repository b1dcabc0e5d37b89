#include "privatexserver.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

extern char** environ;

namespace loopwren {

PrivateXServer::PrivateXServer()
{
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        m_problem = "cannot create a pipe";
        return;
    }
    // The server picks a free display itself and writes its number to the pipe once it accepts clients.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], 3);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> words{"Xvfb",       "-displayfd", "3",         "-screen", "0",
                                   "640x480x24", "-noreset",   "-nolisten", "tcp"};
    std::vector<char*> argv;
    for (auto& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const int spawned = posix_spawnp(&m_pid, "Xvfb", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(ends[1]);
    if (spawned != 0) {
        m_pid = -1;
        close(ends[0]);
        m_problem = "cannot start Xvfb";
        return;
    }
    std::string number;
    pollfd fd{ends[0], POLLIN, 0};
    char c = 0;
    while (poll(&fd, 1, 10000) > 0 && read(ends[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(ends[0]);
    if (number.empty())
        m_problem = "Xvfb did not report its display";
    else
        m_displayName = ":" + number;
}

PrivateXServer::~PrivateXServer() { kill(); }

void PrivateXServer::kill() { stop(SIGTERM); }

void PrivateXServer::crash() { stop(SIGKILL); }

void PrivateXServer::stop(int signalNumber)
{
    if (m_pid <= 0)
        return;
    ::kill(m_pid, signalNumber);
    waitpid(m_pid, nullptr, 0);
    m_pid = -1;
}

} // namespace loopwren
