#include "wakelateness.h"

#include <algorithm>

namespace loopwren {

WakeLateness::Duration WakeLateness::spin() const
{
    return std::clamp(Duration(m_worstNs.load(std::memory_order_relaxed) * 3 / 2), shortest, longest);
}

void WakeLateness::observe(Duration lateness)
{
    // A sixteenth of the worst goes with each sleep: after some fifty it is a twentieth of a stall.
    // Two threads telling at once lose one of their figures, which the next sleep makes up for.
    const std::int64_t worst = m_worstNs.load(std::memory_order_relaxed);
    m_worstNs.store(std::max<std::int64_t>(lateness.count(), worst - worst / 16), std::memory_order_relaxed);
}

} // namespace loopwren
