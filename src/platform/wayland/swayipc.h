#pragma once

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
// Blocking, with a time limit on every wait: sway answers within milliseconds, so one that has not
// answered within the limit is taken for gone. A socket that cannot be reached, one that closes, and a
// reply that is short, malformed or of another type are errors, reported through error(); after one,
// the connection is closed and every further request fails at once.
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
    ~SwayIpc();
    SwayIpc(const SwayIpc&) = delete;
    SwayIpc& operator=(const SwayIpc&) = delete;

    bool isConnected() const { return m_fd >= 0; }
    // Why the last request failed, or why the connection could not be made.
    QString error() const { return m_error; }

    // The reply's JSON, or nullopt on an error.
    std::optional<QJsonDocument> request(Message type, const QByteArray& payload = {});
    // The layout tree, from its root.
    std::optional<QJsonObject> tree();
    // Runs a command list (commands separated by commas apply to the windows the criteria chose); done
    // only when sway reports every one of them done.
    ServiceResult runCommand(const QString& command);

private:
    bool writeAll(const char* data, std::size_t size);
    bool readAll(char* data, std::size_t size);
    void fail(const QString& reason);

    int m_fd = -1;
    std::chrono::milliseconds m_timeout;
    QString m_error;
};

} // namespace loopwren
