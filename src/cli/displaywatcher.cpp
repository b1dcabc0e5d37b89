#include "displaywatcher.h"

#include "x11connection.h"

// After Qt: Xlib's macros would break Qt's headers.
#include <X11/Xlib.h>

namespace loopwren::cli {

DisplayWatcher::DisplayWatcher(QObject* parent) : QObject(parent), m_connection(X11Connection::open({}))
{
    if (!m_connection)
        return;
    Display* display = m_connection->display();
    m_displayName = QString::fromLocal8Bit(DisplayString(display));
    m_notifier = std::make_unique<QSocketNotifier>(ConnectionNumber(display), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &DisplayWatcher::check);
}

DisplayWatcher::~DisplayWatcher() = default;

void DisplayWatcher::check()
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

} // namespace loopwren::cli
