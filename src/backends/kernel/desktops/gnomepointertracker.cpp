#include "gnomepointertracker.h"

#include "gnomeshellbus.h"

#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QObject>

namespace loopwren {

// Receives the extension's pushes on the tracker's thread, and follows the extension's name: a Shell
// that restarts (or an extension switched off) leaves no stale position behind.
class GnomePointerTracker::Receiver : public QObject
{
    Q_OBJECT

public:
    Receiver(const QString& busAddress, GnomePointerTracker& tracker)
        : m_bus(busAddress), m_tracker(tracker),
          // A child, so that it moves to the tracker's thread with its parent.
          m_watcher(new QDBusServiceWatcher(QLatin1String(GnomeShellBus::kService), m_bus.connection(),
                                            QDBusServiceWatcher::WatchForOwnerChange, this))
    {
        m_bus.connection().connect(QLatin1String(GnomeShellBus::kService),
                                   QLatin1String(GnomeShellBus::kPath),
                                   QLatin1String(GnomeShellBus::kInterface), QStringLiteral("PointerMoved"),
                                   this, SLOT(moved(int, int)));
        connect(m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] { ask(); });
    }

    // Asks for the position at once: at the start, and whenever the extension came back.
    void ask()
    {
        const QDBusMessage reply = m_bus.call(QStringLiteral("GetPointer"));
        const QList<QVariant> values = reply.arguments();
        if (reply.type() == QDBusMessage::ReplyMessage && values.size() == 2)
            m_tracker.store(values[0].toInt(), values[1].toInt());
        else
            m_tracker.forget();
    }

public slots:
    void moved(int x, int y) { m_tracker.store(x, y); }

private:
    GnomeShellBus m_bus;
    GnomePointerTracker& m_tracker;
    QDBusServiceWatcher* m_watcher;
};

GnomePointerTracker::GnomePointerTracker(const QString& busAddress, QPoint primaryOrigin)
    : m_primaryOrigin(primaryOrigin)
{
    m_thread.setObjectName(QStringLiteral("gnome-pointer"));
    m_receiver = new Receiver(busAddress, *this);
    // Subscribed before asking, so that no move falls between the answer and the first push.
    m_receiver->ask();
    m_receiver->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, m_receiver, &QObject::deleteLater);
    m_thread.start();
}

GnomePointerTracker::~GnomePointerTracker()
{
    m_thread.quit();
    m_thread.wait();
}

void GnomePointerTracker::store(int x, int y)
{
    m_position.store((static_cast<std::uint64_t>(static_cast<std::uint32_t>(x)) << 32) |
                         static_cast<std::uint32_t>(y),
                     std::memory_order_relaxed);
    m_known.store(true, std::memory_order_release);
}

void GnomePointerTracker::forget() { m_known.store(false, std::memory_order_release); }

std::optional<Point> GnomePointerTracker::pointerPosition()
{
    if (!m_known.load(std::memory_order_acquire))
        return std::nullopt;
    const std::uint64_t both = m_position.load(std::memory_order_relaxed);
    const auto x = static_cast<std::int32_t>(static_cast<std::uint32_t>(both >> 32));
    const auto y = static_cast<std::int32_t>(static_cast<std::uint32_t>(both));
    return Point{static_cast<double>(x - m_primaryOrigin.x()), static_cast<double>(y - m_primaryOrigin.y())};
}

} // namespace loopwren

#include "gnomepointertracker.moc"
