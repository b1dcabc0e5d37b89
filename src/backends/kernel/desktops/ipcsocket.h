#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>
#include <cstddef>

namespace loopwren {

// A connection to a compositor's IPC socket (a Unix stream socket), written and read in whole messages.
//
// Blocking, with a time limit on every wait: compositors answer within milliseconds, so one that has
// not answered within the limit is taken for gone. A socket that cannot be reached, a write or read
// that fails and a connection closed in the middle of a message are errors, reported through error()
// in the words of peer ("sway", "Hyprland"); after one the connection is closed and every further
// request fails at once.
class IpcSocket
{
public:
    IpcSocket(const QString& socketPath, QString peer, std::chrono::milliseconds timeout);
    ~IpcSocket();
    IpcSocket(const IpcSocket&) = delete;
    IpcSocket& operator=(const IpcSocket&) = delete;

    bool isConnected() const { return m_fd >= 0; }
    QString error() const { return m_error; }
    QString peer() const { return m_peer; }

    bool writeAll(const QByteArray& data);
    bool readExactly(char* data, std::size_t size);
    // Everything until the peer closes the connection, up to limit bytes.
    bool readToEnd(QByteArray& data, std::size_t limit);
    // Closes the connection with reason as the error.
    void fail(const QString& reason);

private:
    // Waits until the socket is ready for events, within the time left to deadline.
    bool waitFor(short events, std::chrono::steady_clock::time_point deadline, const char* doing);

    int m_fd = -1;
    QString m_peer;
    std::chrono::milliseconds m_timeout;
    QString m_error;
};

} // namespace loopwren
