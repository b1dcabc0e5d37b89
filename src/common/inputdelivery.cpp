#include "inputdelivery.h"

#include "threadhandoff.h"

#include <QObject>
#include <algorithm>

namespace loopwren {

InputDelivery::InputDelivery() : m_receiver(std::make_unique<QObject>()) {}

InputDelivery::~InputDelivery() = default;

InputDelivery::Token InputDelivery::add(InputKinds kinds, InputMonitor::Handler handler)
{
    const Token token = m_nextToken++;
    m_watches.emplace(token, Watch{kinds, std::make_shared<const InputMonitor::Handler>(std::move(handler)),
                                   std::chrono::steady_clock::now()});
    return token;
}

bool InputDelivery::remove(Token token) { return m_watches.erase(token) != 0; }

void InputDelivery::receive(std::vector<InputEvent>&& batch)
{
    bool queueDrain = false;
    {
        std::lock_guard lock(m_pendingMutex);
        if (m_pending.empty())
            m_pending = std::move(batch);
        else
            m_pending.insert(m_pending.end(), batch.begin(), batch.end());
        queueDrain = !m_drainQueued;
        m_drainQueued = true;
    }
    if (queueDrain)
        threadhandoff::queue(m_receiver.get(), [this] { drain(); });
}

bool InputDelivery::wants(InputKind kind) const
{
    return std::any_of(m_watches.begin(), m_watches.end(),
                       [kind](const auto& watch) { return watch.second.kinds.contains(kind); });
}

void InputDelivery::drain()
{
    {
        std::lock_guard lock(m_pendingMutex);
        m_ready.insert(m_ready.end(), std::make_move_iterator(m_pending.begin()),
                       std::make_move_iterator(m_pending.end()));
        m_pending.clear();
        m_drainQueued = false;
    }
    while (!m_ready.empty()) {
        const InputEvent event = m_ready.front();
        m_ready.pop_front();
        dispatch(event);
    }
}

void InputDelivery::discard()
{
    std::lock_guard lock(m_pendingMutex);
    m_pending.clear();
    m_ready.clear();
}

void InputDelivery::dispatch(const InputEvent& event)
{
    // Handlers may start or stop watches, so the map is searched afresh for each next token.
    for (Token next = 0;;) {
        const auto it = m_watches.lower_bound(next);
        if (it == m_watches.end())
            break;
        next = it->first + 1;
        const Watch& watch = it->second;
        if (!watch.kinds.contains(event.kind) || event.timestamp < watch.since)
            continue;
        const auto handler = watch.handler;
        (*handler)(event);
    }
}

} // namespace loopwren
