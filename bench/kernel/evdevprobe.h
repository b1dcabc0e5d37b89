#pragma once

#include "probedinput.h"

#include <atomic>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

struct input_event;

namespace loopwren::bench {

// Logs what the kernel hands a reader of one input device node, each input stamped with the kernel's
// own time of it (CLOCK_MONOTONIC, the clock of std::chrono::steady_clock): when the device's writer
// reached the kernel, however late this reader gets to it. Keys and buttons ("key 30 1", the kernel's
// auto-repeat left out) and wheel notches ("rel 8 -1") are logged; relative pointer motion ("rel 0 4")
// only when asked for, absolute positions never.
//
// A thread of its own reads from construction on, since the kernel keeps only a short queue for each
// reader and a long stream would overflow it.
class EvdevProbe
{
public:
    enum class Motion { left, logged };

    explicit EvdevProbe(const std::string& node, Motion motion = Motion::left);
    ~EvdevProbe();
    EvdevProbe(const EvdevProbe&) = delete;
    EvdevProbe& operator=(const EvdevProbe&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    // Stops reading, once everything the device delivered before the call has been read.
    std::vector<ProbedInput> finish();
    // How often the kernel's queue for this reader overflowed (inputs lost to the reading itself).
    int overflows() const { return m_overflows; }
    // How many inputs have been logged so far; any thread may ask while the probe reads.
    std::size_t logged() const { return m_logged.load(); }

    // The node of the input device with this name, or empty when there is none.
    static std::string findNode(std::string_view name);

private:
    void readLoop();
    // Reads what is queued now; false when nothing was.
    bool readQueued();
    void log(const input_event& event);

    int m_fd;
    Motion m_motion;
    std::atomic<bool> m_stop = false;
    std::atomic<std::size_t> m_logged = 0;
    std::vector<ProbedInput> m_log; // the reading thread's until it is joined
    int m_overflows = 0;
    std::thread m_thread;
};

} // namespace loopwren::bench
