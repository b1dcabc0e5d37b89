#include "ipcsocket.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace loopwren {
namespace {

QString systemError(const QString& what)
{
    return QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

IpcSocket::IpcSocket(const QString& socketPath, QString peer, std::chrono::milliseconds timeout)
    : m_peer(std::move(peer)), m_timeout(timeout)
{
    const QByteArray path = socketPath.toLocal8Bit();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.isEmpty() || static_cast<std::size_t>(path.size()) >= sizeof(address.sun_path)) {
        m_error = QStringLiteral("no usable %1 socket path: \"%2\"").arg(m_peer, socketPath);
        return;
    }
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_fd < 0) {
        m_error = systemError(QStringLiteral("cannot make a socket"));
        return;
    }
    if (::connect(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0)
        fail(systemError(QStringLiteral("cannot reach %1 at %2").arg(m_peer, socketPath)));
}

IpcSocket::~IpcSocket()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void IpcSocket::fail(const QString& reason)
{
    m_error = reason;
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool IpcSocket::waitFor(short events, std::chrono::steady_clock::time_point deadline, const char* doing)
{
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd descriptor{m_fd, events, 0};
        const int ready = left.count() > 0 ? ::poll(&descriptor, 1, static_cast<int>(left.count())) : 0;
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            fail(systemError(QStringLiteral("cannot wait for %1").arg(m_peer)));
        else if (ready == 0)
            fail(QStringLiteral("%1 %2 within %3 ms")
                     .arg(m_peer, QLatin1String(doing))
                     .arg(m_timeout.count()));
        return ready > 0;
    }
}

bool IpcSocket::writeAll(const QByteArray& message)
{
    if (m_fd < 0) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("not connected to %1").arg(m_peer);
        return false;
    }
    const char* data = message.constData();
    auto size = static_cast<std::size_t>(message.size());
    const auto deadline = std::chrono::steady_clock::now() + m_timeout;
    while (size > 0) {
        // MSG_NOSIGNAL: a compositor gone away is an error to report, not a SIGPIPE to die of.
        const ssize_t written = ::send(m_fd, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (written > 0) {
            data += written;
            size -= static_cast<std::size_t>(written);
        } else if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!waitFor(POLLOUT, deadline, "took no request"))
                return false;
        } else if (!(written < 0 && errno == EINTR)) {
            fail(systemError(QStringLiteral("cannot write to %1").arg(m_peer)));
            return false;
        }
    }
    return true;
}

bool IpcSocket::readExactly(char* data, std::size_t size)
{
    const auto deadline = std::chrono::steady_clock::now() + m_timeout;
    while (size > 0) {
        if (m_fd < 0 || !waitFor(POLLIN, deadline, "did not answer"))
            return false;
        const ssize_t got = ::recv(m_fd, data, size, MSG_DONTWAIT);
        if (got > 0) {
            data += got;
            size -= static_cast<std::size_t>(got);
        } else if (got == 0) {
            fail(QStringLiteral("%1 closed the connection in the middle of a reply").arg(m_peer));
            return false;
        } else if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) {
            fail(systemError(QStringLiteral("cannot read from %1").arg(m_peer)));
            return false;
        }
    }
    return true;
}

bool IpcSocket::readToEnd(QByteArray& data, std::size_t limit)
{
    const auto deadline = std::chrono::steady_clock::now() + m_timeout;
    char chunk[4096];
    for (;;) {
        if (m_fd < 0 || !waitFor(POLLIN, deadline, "did not answer"))
            return false;
        const ssize_t got = ::recv(m_fd, chunk, sizeof(chunk), MSG_DONTWAIT);
        if (got == 0)
            return true;
        if (got > 0) {
            data.append(chunk, got);
            if (static_cast<std::size_t>(data.size()) > limit) {
                fail(QStringLiteral("%1's reply is longer than any it gives").arg(m_peer));
                return false;
            }
        } else if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) {
            fail(systemError(QStringLiteral("cannot read from %1").arg(m_peer)));
            return false;
        }
    }
}

} // namespace loopwren
