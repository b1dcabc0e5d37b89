#include "gnomeshellbus.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>

#include <atomic>

namespace loopwren {
namespace {

// Generous for a Shell busy drawing; a Shell that does not answer in this time is taken as gone.
constexpr int kCallTimeoutMs = 5000;

QString uniqueConnectionName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("loopwren-gnome-shell-%1").arg(counter.fetch_add(1));
}

} // namespace

QString GnomeShellBus::sessionAddress()
{
    const QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    if (!address.isEmpty())
        return address;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return runtime.isEmpty() ? QString() : QStringLiteral("unix:path=%1/bus").arg(runtime);
}

GnomeShellBus::GnomeShellBus(const QString& address)
    : m_connection(QDBusConnection::connectToBus(address, uniqueConnectionName()))
{
}

GnomeShellBus::~GnomeShellBus() { QDBusConnection::disconnectFromBus(m_connection.name()); }

bool GnomeShellBus::answers(const QString& name) const
{
    const QDBusConnectionInterface* bus = m_connection.interface();
    return bus && bus->isServiceRegistered(name).value();
}

QDBusMessage GnomeShellBus::call(const QString& method, const QList<QVariant>& arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kPath),
                                                          QLatin1String(kInterface), method);
    message.setArguments(arguments);
    return m_connection.call(message, QDBus::Block, kCallTimeoutMs);
}

} // namespace loopwren
