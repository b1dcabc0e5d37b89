#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QString>
#include <QVariant>

// Moves the pointer by mutter's own means: a remote desktop session's virtual pointer.
class RemotePointer
{
public:
    explicit RemotePointer(const QString& address)
        : m_bus(QDBusConnection::connectToBus(address, QStringLiteral("loopwren-test-remote")))
    {
        const QDBusMessage created =
            call(QStringLiteral("/org/gnome/Mutter/RemoteDesktop"),
                 QStringLiteral("org.gnome.Mutter.RemoteDesktop"), QStringLiteral("CreateSession"), {});
        if (created.arguments().size() == 1)
            m_session = qvariant_cast<QDBusObjectPath>(created.arguments()[0]).path();
        if (!m_session.isEmpty())
            m_started =
                call(m_session, kSession, QStringLiteral("Start"), {}).type() == QDBusMessage::ReplyMessage;
    }
    ~RemotePointer() { QDBusConnection::disconnectFromBus(QStringLiteral("loopwren-test-remote")); }

    bool isStarted() const { return m_started; }
    // Returns once mutter has taken the motion.
    bool move(double dx, double dy)
    {
        return call(m_session, kSession, QStringLiteral("NotifyPointerMotionRelative"), {dx, dy}).type() ==
               QDBusMessage::ReplyMessage;
    }

private:
    static constexpr QLatin1String kSession{"org.gnome.Mutter.RemoteDesktop.Session"};

    QDBusMessage call(const QString& path, const QString& interface, const QString& method,
                      const QList<QVariant>& arguments)
    {
        QDBusMessage message = QDBusMessage::createMethodCall(
            QStringLiteral("org.gnome.Mutter.RemoteDesktop"), path, interface, method);
        message.setArguments(arguments);
        return m_bus.call(message, QDBus::Block, 30000);
    }

    QDBusConnection m_bus;
    QString m_session;
    bool m_started = false;
};
