#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace loopwren::bench {

// loopwren-cli running as a child process, with its output going to a log file.
class PlayerProcess
{
public:
    // Starts program with arguments; environment entries ("NAME=value") are added to this process's own.
    PlayerProcess(const std::string& program, const std::vector<std::string>& arguments,
                  const std::vector<std::string>& environment, const std::string& logPath);
    // Kills a child that is still running.
    ~PlayerProcess();
    PlayerProcess(const PlayerProcess&) = delete;
    PlayerProcess& operator=(const PlayerProcess&) = delete;

    bool started() const { return m_pid > 0; }
    bool running();
    // VmRSS from /proc/PID/status, in KiB; nullopt once the process is gone.
    std::optional<long> residentKiB() const;
    void signal(int number);
    // Waits for the exit; the shell-style status (128 + signal for a signal), or nullopt on timeout.
    std::optional<int> waitFor(std::chrono::milliseconds timeout);

private:
    bool reap(int options);

    pid_t m_pid = -1;
    std::optional<int> m_status;
};

} // namespace loopwren::bench
