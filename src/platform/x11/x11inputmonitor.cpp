#include "x11inputmonitor.h"

#include <QGuiApplication>
#include <QObject>
#include <QStyleHints>

#include "threadhandoff.h"

// After Qt: it brings in Xlib, whose macros would break Qt's headers.
#include "x11recordsession.h"

#include <algorithm>

namespace loopwren {

namespace {

// How long the end of a recording waits for the server to hand over the input it still holds.
constexpr std::chrono::milliseconds kFinishPatience{2000};

ClickSettings clickSettingsFromDesktop()
{
    ClickSettings settings;
    // qGuiApp is a plain cast of the application object, so a QCoreApplication needs the checked one.
    if (auto* hints = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                          ? QGuiApplication::styleHints()
                          : nullptr) {
        settings.intervalMs = static_cast<std::uint32_t>(std::max(0, hints->mouseDoubleClickInterval()));
        settings.distance = hints->mouseDoubleClickDistance();
    }
    return settings;
}

} // namespace

X11InputMonitor::X11InputMonitor(std::string displayName)
    : X11InputMonitor(std::move(displayName), clickSettingsFromDesktop())
{
}

X11InputMonitor::X11InputMonitor(std::string displayName, ClickSettings clicks)
    : m_displayName(std::move(displayName)), m_clicks(clicks), m_receiver(std::make_unique<QObject>())
{
}

X11InputMonitor::~X11InputMonitor()
{
    // The capture thread goes first; deleting the receiver then discards any drain it queued.
    stopCapture();
}

std::optional<InputMonitor::Token> X11InputMonitor::watch(InputKinds kinds, Handler handler)
{
    if (!handler || !ensureCapture())
        return std::nullopt;
    const Token token = m_nextToken++;
    m_watches.emplace(token, Watch{kinds, std::make_shared<const Handler>(std::move(handler)),
                                   std::chrono::steady_clock::now()});
    return token;
}

void X11InputMonitor::stopWatching(Token token)
{
    if (m_watches.erase(token) != 0 && m_watches.empty())
        stopCapture();
}

void X11InputMonitor::finishWatching(Token token)
{
    // The capture can be ended to collect its tail only when no other watch still depends on it;
    // otherwise what has arrived so far is what there is.
    if (m_watches.size() == 1 && m_watches.contains(token) && m_session)
        m_session->finish(kFinishPatience);
    drain();
    stopWatching(token);
}

bool X11InputMonitor::ensureCapture()
{
    if (m_session && m_session->isRunning())
        return true;
    // A session whose connection died is replaced; the watches already there resume with it.
    stopCapture();
    m_session = X11RecordSession::start(
        m_displayName, m_clicks, [this](std::vector<InputEvent>&& batch) { receive(std::move(batch)); });
    return m_session != nullptr;
}

void X11InputMonitor::stopCapture()
{
    m_session.reset();
    std::lock_guard lock(m_pendingMutex);
    m_pending.clear();
    m_ready.clear();
}

void X11InputMonitor::receive(std::vector<InputEvent>&& batch)
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

void X11InputMonitor::drain()
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

void X11InputMonitor::dispatch(const InputEvent& event)
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
