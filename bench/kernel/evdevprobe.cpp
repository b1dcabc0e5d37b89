#include "evdevprobe.h"

#include "realtime.h"

#include <libevdev/libevdev.h>

#include <algorithm>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <linux/input.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace loopwren::bench {

EvdevProbe::EvdevProbe(const std::string& node, Motion motion)
    : m_fd(::open(node.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)), m_motion(motion)
{
    if (m_fd < 0)
        return;
    // The kernel stamps on the realtime clock unless asked otherwise.
    int clock = CLOCK_MONOTONIC;
    ::ioctl(m_fd, EVIOCSCLOCKID, &clock);
    m_thread = std::thread([this] { readLoop(); });
}

EvdevProbe::~EvdevProbe()
{
    finish();
    if (m_fd >= 0)
        ::close(m_fd);
}

std::vector<ProbedInput> EvdevProbe::finish()
{
    if (!m_thread.joinable())
        return m_log;
    m_stop = true;
    m_thread.join();
    // Whatever was written before this call is in the queue now; it needs no waiting for.
    while (readQueued()) {
    }
    return m_log;
}

void EvdevProbe::readLoop()
{
    makeThisThreadRealTime();
    pollfd ready{m_fd, POLLIN, 0};
    while (!m_stop) {
        if (::poll(&ready, 1, 20) > 0)
            readQueued();
    }
}

bool EvdevProbe::readQueued()
{
    input_event events[64];
    const ssize_t got = ::read(m_fd, events, sizeof events);
    if (got <= 0)
        return false;
    for (std::size_t i = 0; i < static_cast<std::size_t>(got) / sizeof(input_event); ++i)
        log(events[i]);
    return true;
}

void EvdevProbe::log(const input_event& event)
{
    std::string what;
    if (event.type == EV_SYN && event.code == SYN_DROPPED)
        ++m_overflows;
    else if (event.type == EV_KEY && event.value != 2)
        what = "key " + std::to_string(event.code) + " " + std::to_string(event.value);
    else if (event.type == EV_REL && (event.code == REL_WHEEL || event.code == REL_HWHEEL ||
                                      (m_motion == Motion::logged && (event.code == REL_X || event.code == REL_Y))))
        what = "rel " + std::to_string(event.code) + " " + std::to_string(event.value);
    if (what.empty())
        return;
    const auto since =
        std::chrono::seconds(event.input_event_sec) + std::chrono::microseconds(event.input_event_usec);
    m_log.push_back(
        {std::move(what), std::chrono::steady_clock::time_point(
                              std::chrono::duration_cast<std::chrono::steady_clock::duration>(since))});
    m_logged = m_log.size();
}

std::string EvdevProbe::findNode(std::string_view name)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/input", error)) {
        const std::string node = entry.path().string();
        if (entry.path().filename().string().rfind("event", 0) != 0)
            continue;
        const int fd = ::open(node.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        libevdev* device = nullptr;
        const bool named =
            fd >= 0 && libevdev_new_from_fd(fd, &device) == 0 && name == libevdev_get_name(device);
        libevdev_free(device);
        if (fd >= 0)
            ::close(fd);
        if (named)
            return node;
    }
    return {};
}

} // namespace loopwren::bench
