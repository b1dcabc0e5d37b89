#include "monitoreduserinputwatch.h"

#include <algorithm>
#include <cmath>

namespace loopwren {

MonitoredUserInputWatch::MonitoredUserInputWatch(std::unique_ptr<InputMonitor> monitor,
                                                 std::function<QString()> problem)
    : m_monitor(std::move(monitor)), m_problem(std::move(problem))
{
}

MonitoredUserInputWatch::~MonitoredUserInputWatch() { stop(); }

bool MonitoredUserInputWatch::start(const std::vector<std::uint16_t>& ignoredKeys, std::function<void()> used)
{
    stop();
    m_ignoredKeys = ignoredKeys;
    m_used = std::move(used);
    m_anchor.reset();
    m_moves = 0;
    // Modifier keys alone arrive as their own kind, which is not watched.
    m_token = m_monitor->watch({InputKind::keyDown, InputKind::buttonDown, InputKind::pointerMoved},
                               [this](const InputEvent& event) { seen(event); });
    return m_token.has_value();
}

void MonitoredUserInputWatch::stop()
{
    if (m_token)
        m_monitor->stopWatching(*m_token);
    m_token.reset();
    m_used = nullptr;
}

void MonitoredUserInputWatch::seen(const InputEvent& event)
{
    switch (event.kind) {
    case InputKind::keyDown:
        if (std::find(m_ignoredKeys.begin(), m_ignoredKeys.end(), event.keyCode) != m_ignoredKeys.end())
            return;
        break;
    case InputKind::pointerMoved:
        if (event.location) {
            if (!m_anchor)
                m_anchor = event.location;
            if (std::hypot(event.location->x - m_anchor->x, event.location->y - m_anchor->y) <= kMoveThreshold)
                return;
        } else if (++m_moves <= kMoveThreshold) {
            return;
        }
        break;
    default:
        break;
    }
    // Called once; it may stop this watch, or start it again, from within. It runs before the watch
    // ends: ending the last watch of the kernel's capture closes every input device, which takes a
    // while, and the playback it stops should not wait for that.
    const std::function<void()> used = std::move(m_used);
    m_used = nullptr;
    const std::optional<InputMonitor::Token> watching = m_token;
    if (used)
        used();
    if (m_token == watching)
        stop();
}

} // namespace loopwren
