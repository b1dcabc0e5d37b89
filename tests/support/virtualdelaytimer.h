#pragma once

#include "mainqueue.h"

#include <QPointer>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <utility>

namespace loopwren {

// Virtual time for the engine's delayed work: while it exists, work posted with a delay waits until the
// test moves the time past it, then runs in the order it fell due.
class VirtualDelayTimer : public mainqueue::DelayTimer
{
public:
    VirtualDelayTimer() { mainqueue::setDelayTimer(this); }
    ~VirtualDelayTimer() override { mainqueue::setDelayTimer(nullptr); }

    void schedule(std::chrono::milliseconds delay, QObject* context, std::function<void()> work) override
    {
        m_due.emplace(std::pair{m_now + delay, m_order++},
                      Waiting{QPointer<QObject>(context), std::move(work)});
    }
    // Runs everything due by now + step (work it schedules included, when due by then).
    void advanceBy(std::chrono::milliseconds step)
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
    std::size_t waiting() const { return m_due.size(); }

private:
    struct Waiting
    {
        QPointer<QObject> context;
        std::function<void()> work;
    };
    std::chrono::milliseconds m_now{0};
    std::uint64_t m_order = 0;
    std::map<std::pair<std::chrono::milliseconds, std::uint64_t>, Waiting> m_due;
};

} // namespace loopwren
