#include "x11sessionwatch.h"

#include "x11connection.h"

// After Qt: Xlib's macros would break Qt's headers.
#include <X11/Xlib.h>

namespace loopwren {

X11SessionWatch::X11SessionWatch(const std::string& displayName, QObject* parent)
    : QObject(parent), m_connection(X11Connection::open(displayName))
{
    if (!m_connection)
        return;
    Display* display = m_connection->display();
    m_displayName = QString::fromLocal8Bit(DisplayString(display));
    m_notifier = std::make_unique<QSocketNotifier>(ConnectionNumber(display), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &X11SessionWatch::check);
}

X11SessionWatch::~X11SessionWatch() = default;

void X11SessionWatch::check()
{
    Display* display = m_connection->display();
    // Reading is what lets Xlib notice a closed socket; anything the server did send is of no use.
    while (!m_connection->isBroken() && XEventsQueued(display, QueuedAfterReading) > 0) {
        XEvent event;
        XNextEvent(display, &event);
    }
    if (!m_connection->isBroken())
        return;
    // A closed socket stays readable; watching it further would only spin.
    m_notifier->setEnabled(false);
    emit lost();
}

} // namespace loopwren
