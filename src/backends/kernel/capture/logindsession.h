#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <atomic>

namespace loopwren {

// Whether the user's login session is the one in front (logind's Session.Active). The kernel's
// devices deliver every key typed on the seat, also while another user's session, or the login
// screen, has it; a recording must not take those.
//
// Construct and destroy it on the Qt main thread, which receives logind's change signals; isActive()
// may be asked from any thread.
class LogindSession : public QObject
{
    Q_OBJECT

public:
    LogindSession();

    bool isActive() const { return m_active.load(std::memory_order_acquire); }

signals:
    // The session came to the front again (logind said so).
    void becameActive();

private slots:
    // Not a pointer-to-member connect: Qt's D-Bus signals connect by signature only.
    void propertiesChanged(const QString& interface, const QVariantMap& changed,
                           const QStringList& invalidated);

private:
    void readActive();
    void store(bool active);

    QString m_path; // empty without a logind session
    std::atomic<bool> m_active{true};
};

} // namespace loopwren
