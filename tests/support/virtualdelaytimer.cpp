#include "virtualdelaytimer.h"

namespace loopwren {

void VirtualDelayTimer::schedule(std::chrono::milliseconds delay, QObject* context,
                                 std::function<void()> work)
{
    m_due.emplace(std::pair{m_now + delay, m_order++}, Waiting{QPointer<QObject>(context), std::move(work)});
}

void VirtualDelayTimer::advanceBy(std::chrono::milliseconds step)
{
    const auto until = m_now + step;
    while (!m_due.empty() && m_due.begin()->first.first <= until) {
        auto next = m_due.extract(m_due.begin());
        m_now = next.key().first;
        if (next.mapped().context)
            next.mapped().work();
    }
    m_now = until;
}

} // namespace loopwren
