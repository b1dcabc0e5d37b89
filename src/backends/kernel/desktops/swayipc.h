#pragma once

#include "ipcsocket.h"
#include "serviceresult.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <chrono>
#include <cstdint>
#include <optional>

namespace loopwren {

// One connection to sway's IPC socket, asked one message at a time. The protocol is i3's: a message
// and its reply each start with "i3-ipc", the payload's length and the message type (32-bit, in the
// machine's byte order), followed by the JSON payload.
//
// Blocking, with a time limit on every wait (see IpcSocket). A reply that is short, malformed or of
// another type is an error too.
class SwayIpc
{
public:
    enum class Message : std::uint32_t
    {
        runCommand = 0,
        getTree = 4,
    };

    explicit SwayIpc(const QString& socketPath,
                     std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));

    bool isConnected() const { return m_socket.isConnected(); }
    // Why the last request failed, or why the connection could not be made.
    QString error() const { return m_socket.error(); }

    // The reply's JSON, or nullopt on an error.
    std::optional<QJsonDocument> request(Message type, const QByteArray& payload = {});
    // The layout tree, from its root.
    std::optional<QJsonObject> tree();
    // Runs a command list (commands separated by commas apply to the windows the criteria chose); done
    // only when sway reports every one of them done.
    ServiceResult runCommand(const QString& command);

private:
    IpcSocket m_socket;
};

} // namespace loopwren
