#pragma once

#include <string>
#include <sys/types.h>

namespace loopwren {

// An Xvfb of the test's own, for tests that take the server away. Stopped on destruction.
class PrivateXServer
{
public:
    PrivateXServer();
    ~PrivateXServer();
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    // Empty when the server did not start; see problem().
    const std::string& displayName() const { return m_displayName; }
    const std::string& problem() const { return m_problem; }
    // Kills the server and waits for it to be gone.
    void kill();
    // The same with SIGKILL, as when the server crashes: it gets no chance to say goodbye to clients.
    void crash();

private:
    void stop(int signalNumber);

    pid_t m_pid = -1;
    std::string m_displayName;
    std::string m_problem;
};

} // namespace loopwren
