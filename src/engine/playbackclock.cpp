#include "playbackclock.h"

#include "deadlinepriority.h"

#include <sys/prctl.h>
#include <time.h>

namespace loopwren {
namespace {

using namespace std::chrono_literals;

// Slept uninterrupted at the end of each wait: well within the 10 ms a stop may take to land, and
// longer than the longest spin.
constexpr auto kFinalStretch = 2ms;
static_assert(WakeLateness::longest < kFinalStretch);

void sleepUntil(std::chrono::steady_clock::time_point deadline)
{
    // steady_clock is CLOCK_MONOTONIC; an absolute sleep does not add up the time spent getting here.
    const auto since = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline.time_since_epoch());
    timespec at{};
    at.tv_sec = static_cast<time_t>(since.count() / 1'000'000'000);
    at.tv_nsec = static_cast<long>(since.count() % 1'000'000'000);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
    }
}

} // namespace

bool SteadyPlaybackClock::waitUntil(TimePoint deadline, const std::function<bool()>& stopped)
{
    // The kernel lets an ordinary thread's timers fire up to 50 us late by default, to batch wake-ups.
    thread_local const bool exact = ::prctl(PR_SET_TIMERSLACK, 1UL) == 0;
    (void)exact;
    const TimePoint start = now();
    if (start >= deadline) {
        // Behind schedule: nothing to be exact about, and a run of such inputs must not hold a processor.
        deadlinepriority::lower();
        return !stopped();
    }
    if (start < deadline - kFinalStretch) {
        deadlinepriority::lower();
        std::unique_lock lock(m_mutex);
        if (m_wake.wait_until(lock, deadline - kFinalStretch, stopped))
            return false;
    }
    deadlinepriority::raise();
    // Spun at the very end: about what the scheduler takes here to run a woken thread again.
    if (const TimePoint wake = deadline - m_lateness.spin(); now() < wake) {
        sleepUntil(wake);
        m_lateness.observe(now() - wake);
    }
    while (now() < deadline) {
        if (stopped())
            return false;
    }
    return !stopped();
}

} // namespace loopwren
