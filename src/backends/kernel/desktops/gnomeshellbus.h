#pragma once

#include <QDBusConnection>
#include <QString>

namespace loopwren {

// LoopWren's GNOME Shell extension as the session bus reaches it: the name it owns, its object and
// interface, and a connection of the holder's own to the bus, closed when the holder goes.
//
// A connection of its own, rather than the process-wide session bus, so that its address is the one
// this session names now and the pointer's thread receives signals apart from everyone else's calls.
class GnomeShellBus
{
public:
    static constexpr const char* kService = "io.github.loopwren.Shell";
    static constexpr const char* kPath = "/io/github/loopwren/Shell";
    static constexpr const char* kInterface = "io.github.loopwren.Shell1";
    static constexpr const char* kUuid = "loopwren@loopwren.github.io";

    // The session bus of this session: $DBUS_SESSION_BUS_ADDRESS, or the systemd user bus.
    static QString sessionAddress();

    explicit GnomeShellBus(const QString& address);
    ~GnomeShellBus();
    GnomeShellBus(const GnomeShellBus&) = delete;
    GnomeShellBus& operator=(const GnomeShellBus&) = delete;

    QDBusConnection& connection() { return m_connection; }
    bool isConnected() const { return m_connection.isConnected(); }
    // Whether the name is owned on the bus now.
    bool answers(const QString& name) const;

    // A blocking call to the extension, which answers within a few milliseconds unless the Shell hangs.
    QDBusMessage call(const QString& method, const QList<QVariant>& arguments = {});

private:
    QDBusConnection m_connection;
};

} // namespace loopwren
