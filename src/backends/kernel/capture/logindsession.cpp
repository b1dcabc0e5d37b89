#include "logindsession.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>

namespace loopwren {

namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kSessionInterface = QStringLiteral("org.freedesktop.login1.Session");
const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

} // namespace

LogindSession::LogindSession()
{
    // Without a system bus, logind or a session of ours (a VM, a container, a service started outside
    // any login) there is nobody else's session to tell apart: everything read is the user's.
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return;
    // "auto" is the session this process runs in or, for a program started outside it (a user service,
    // a desktop that launches applications in scopes of their own), the user's graphical session.
    auto call = QDBusMessage::createMethodCall(kService, QStringLiteral("/org/freedesktop/login1"),
                                               QStringLiteral("org.freedesktop.login1.Manager"),
                                               QStringLiteral("GetSession"));
    call << QStringLiteral("auto");
    const QDBusReply<QDBusObjectPath> path = bus.call(call);
    if (!path.isValid())
        return;
    m_path = path.value().path();
    bus.connect(kService, m_path, kPropertiesInterface, QStringLiteral("PropertiesChanged"), this,
                SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
    readActive();
}

void LogindSession::propertiesChanged(const QString& interface, const QVariantMap& changed,
                                      const QStringList& invalidated)
{
    if (interface != kSessionInterface)
        return;
    if (const auto it = changed.find(QStringLiteral("Active")); it != changed.end())
        store(it->toBool());
    else if (invalidated.contains(QStringLiteral("Active")))
        readActive();
}

void LogindSession::readActive()
{
    auto call = QDBusMessage::createMethodCall(kService, m_path, kPropertiesInterface, QStringLiteral("Get"));
    call << kSessionInterface << QStringLiteral("Active");
    const QDBusReply<QDBusVariant> reply = QDBusConnection::systemBus().call(call);
    // A session that cannot answer keeps the state it had.
    if (reply.isValid())
        store(reply.value().variant().toBool());
}

void LogindSession::store(bool active)
{
    const bool was = m_active.exchange(active, std::memory_order_acq_rel);
    if (active && !was)
        emit becameActive();
}

} // namespace loopwren
