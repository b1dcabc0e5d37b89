#pragma once

#include "serviceresult.h"

#include <QJsonDocument>
#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

namespace loopwren {

// Hyprland's request socket, as hyprctl uses it: one connection per request, the request as plain
// text ("j/clients" asks for the client list as JSON), the reply until Hyprland closes the connection.
// Requests are answered one at a time on Hyprland's main loop, so each costs the compositor a little:
// no caller asks more than it needs.
class HyprlandIpc
{
public:
    // The socket of the instance $HYPRLAND_INSTANCE_SIGNATURE names: under $XDG_RUNTIME_DIR/hypr since
    // Hyprland 0.40, under /tmp/hypr before; empty when the variable is unset or neither exists.
    static QString sessionSocket();

    explicit HyprlandIpc(QString socketPath,
                         std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));

    // The reply to an information request ("clients", "cursorpos"), or nullopt with error() set.
    std::optional<QJsonDocument> query(const QString& request);
    // Runs the dispatches (as "focuswindow address:0x1") in one batch; done only when Hyprland
    // answered "ok" to each.
    ServiceResult dispatch(const QStringList& dispatches);
    QString error() const { return m_error; }

private:
    std::optional<QByteArray> exchange(const QByteArray& request);

    QString m_socketPath;
    std::chrono::milliseconds m_timeout;
    QString m_error;
};

} // namespace loopwren
