#include "x11inputmonitor.h"

#include "desktopclicksettings.h"

// After Qt: it brings in Xlib, whose macros would break Qt's headers.
#include "x11recordsession.h"

namespace loopwren {

namespace {

// How long the end of a recording waits for the server to hand over the input it still holds.
constexpr std::chrono::milliseconds kFinishPatience{2000};

} // namespace

X11InputMonitor::X11InputMonitor(std::string displayName)
    : X11InputMonitor(std::move(displayName), desktopClickSettings())
{
}

X11InputMonitor::X11InputMonitor(std::string displayName, ClickSettings clicks)
    : m_displayName(std::move(displayName)), m_clicks(clicks)
{
}

X11InputMonitor::~X11InputMonitor()
{
    // The capture thread goes first; the delivery then discards any drain it queued.
    stopCapture();
}

std::optional<InputMonitor::Token> X11InputMonitor::watch(InputKinds kinds, Handler handler)
{
    if (!handler || !ensureCapture())
        return std::nullopt;
    return m_delivery.add(kinds, std::move(handler));
}

void X11InputMonitor::stopWatching(Token token)
{
    if (m_delivery.remove(token) && m_delivery.isEmpty())
        stopCapture();
}

void X11InputMonitor::finishWatching(Token token)
{
    // The capture can be ended to collect its tail only when no other watch still depends on it;
    // otherwise what has arrived so far is what there is.
    if (m_delivery.isOnly(token) && m_session)
        m_session->finish(kFinishPatience);
    m_delivery.drain();
    stopWatching(token);
}

bool X11InputMonitor::ensureCapture()
{
    if (m_session && m_session->isRunning())
        return true;
    // A session whose connection died is replaced; the watches already there resume with it.
    stopCapture();
    m_session = X11RecordSession::start(m_displayName, m_clicks, [this](std::vector<InputEvent>&& batch) {
        m_delivery.receive(std::move(batch));
    });
    return m_session != nullptr;
}

void X11InputMonitor::stopCapture()
{
    m_session.reset();
    m_delivery.discard();
}

} // namespace loopwren
