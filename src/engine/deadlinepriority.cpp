#include "deadlinepriority.h"

#include <atomic>

#include <sched.h>

namespace loopwren::deadlinepriority {
namespace {

thread_local bool raised = false;
std::atomic<bool> refused{false};

// Threads and processes started from a raised thread start ordinary.
bool schedule(int policy, int priority)
{
    sched_param parameter{};
    parameter.sched_priority = priority;
    return sched_setscheduler(0, policy | SCHED_RESET_ON_FORK, &parameter) == 0;
}

} // namespace

void raise()
{
    if (raised || refused.load(std::memory_order_relaxed))
        return;
    // The lowest real-time priority: ahead of every ordinary thread, behind audio and the kernel's own.
    raised = schedule(SCHED_FIFO, 1);
    if (!raised)
        refused.store(true, std::memory_order_relaxed);
}

void lower()
{
    if (raised && schedule(SCHED_OTHER, 0))
        raised = false;
}

bool isRaised() { return raised; }

} // namespace loopwren::deadlinepriority
