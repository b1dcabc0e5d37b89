#include "realtime.h"

#include <pthread.h>
#include <sched.h>

namespace loopwren::bench {

bool makeThisThreadRealTime()
{
    // Low in the real-time range: above every ordinary thread, below the kernel's own.
    sched_param priority{};
    priority.sched_priority = 10;
    return pthread_setschedparam(pthread_self(), SCHED_FIFO, &priority) == 0;
}

} // namespace loopwren::bench
