#pragma once

#include "inputmonitor.h"
#include "probedinput.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace loopwren {
class X11RecordSession;
}

namespace loopwren::bench {

// Logs every input the X server delivers, stamped when read, on a RECORD connection of its own.
class Probe
{
public:
    Probe();
    ~Probe();

    bool isRunning() const { return m_session != nullptr; }
    void startPinging();
    // Takes what was logged so far and starts a new log.
    std::vector<ProbedInput> take();

private:
    std::mutex m_mutex;
    std::vector<ProbedInput> m_log;
    std::unique_ptr<X11RecordSession> m_session;
    // The server hands recorded input over only when it flushes its output for some client; a steady
    // trickle of round trips makes it flush within a fraction of a millisecond.
    std::jthread m_pinger;
};

std::string describeInput(const InputEvent& input);

} // namespace loopwren::bench
