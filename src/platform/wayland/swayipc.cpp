#include "swayipc.h"

#include <QJsonArray>
#include <QJsonObject>

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace loopwren {
namespace {

constexpr char kMagic[] = {'i', '3', '-', 'i', 'p', 'c'};
constexpr std::size_t kHeaderSize = sizeof(kMagic) + 2 * sizeof(std::uint32_t);
// A tree of a few thousand windows is a few megabytes; a length beyond this is a garbled header.
constexpr std::uint32_t kLongestReply = 64u * 1024 * 1024;
constexpr int kErrorCode = -1;

QString systemError(const char* what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

SwayIpc::SwayIpc(const QString& socketPath, std::chrono::milliseconds timeout) : m_timeout(timeout)
{
    const QByteArray path = socketPath.toLocal8Bit();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.isEmpty() || static_cast<std::size_t>(path.size()) >= sizeof(address.sun_path)) {
        m_error = QStringLiteral("no usable sway socket path: \"%1\"").arg(socketPath);
        return;
    }
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_fd < 0) {
        m_error = systemError("cannot make a socket");
        return;
    }
    if (::connect(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0)
        fail(QStringLiteral("cannot reach sway at %1: %2")
                 .arg(socketPath, QString::fromLocal8Bit(std::strerror(errno))));
}

SwayIpc::~SwayIpc()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void SwayIpc::fail(const QString& reason)
{
    m_error = reason;
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool SwayIpc::writeAll(const char* data, std::size_t size)
{
    const auto deadline = std::chrono::steady_clock::now() + m_timeout;
    while (size > 0) {
        // MSG_NOSIGNAL: a compositor gone away is an error to report, not a SIGPIPE to die of.
        const ssize_t written = ::send(m_fd, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (written > 0) {
            data += written;
            size -= static_cast<std::size_t>(written);
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd descriptor{m_fd, POLLOUT, 0};
            if (left.count() > 0 && ::poll(&descriptor, 1, static_cast<int>(left.count())) >= 0)
                continue;
            fail(QStringLiteral("sway took no request within %1 ms").arg(m_timeout.count()));
            return false;
        }
        fail(systemError("cannot write to sway"));
        return false;
    }
    return true;
}

bool SwayIpc::readAll(char* data, std::size_t size)
{
    const auto deadline = std::chrono::steady_clock::now() + m_timeout;
    while (size > 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd descriptor{m_fd, POLLIN, 0};
        const int ready = left.count() > 0 ? ::poll(&descriptor, 1, static_cast<int>(left.count())) : 0;
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0) {
            fail(systemError("cannot wait for sway"));
            return false;
        }
        if (ready == 0) {
            fail(QStringLiteral("sway did not answer within %1 ms").arg(m_timeout.count()));
            return false;
        }
        const ssize_t got = ::recv(m_fd, data, size, MSG_DONTWAIT);
        if (got > 0) {
            data += got;
            size -= static_cast<std::size_t>(got);
        } else if (got == 0) {
            fail(QStringLiteral("sway closed the connection in the middle of a reply"));
            return false;
        } else if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) {
            fail(systemError("cannot read from sway"));
            return false;
        }
    }
    return true;
}

std::optional<QJsonDocument> SwayIpc::request(Message type, const QByteArray& payload)
{
    if (m_fd < 0) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("not connected to sway");
        return std::nullopt;
    }
    const auto length = static_cast<std::uint32_t>(payload.size());
    const auto typeNumber = static_cast<std::uint32_t>(type);
    QByteArray message(kMagic, sizeof(kMagic));
    message.append(reinterpret_cast<const char*>(&length), sizeof(length));
    message.append(reinterpret_cast<const char*>(&typeNumber), sizeof(typeNumber));
    message.append(payload);
    if (!writeAll(message.constData(), static_cast<std::size_t>(message.size())))
        return std::nullopt;

    char header[kHeaderSize];
    if (!readAll(header, sizeof(header)))
        return std::nullopt;
    std::uint32_t replyLength = 0;
    std::uint32_t replyType = 0;
    std::memcpy(&replyLength, header + sizeof(kMagic), sizeof(replyLength));
    std::memcpy(&replyType, header + sizeof(kMagic) + sizeof(replyLength), sizeof(replyType));
    if (std::memcmp(header, kMagic, sizeof(kMagic)) != 0 || replyLength > kLongestReply) {
        fail(QStringLiteral("sway's reply does not start with an i3-ipc header"));
        return std::nullopt;
    }
    QByteArray reply(static_cast<qsizetype>(replyLength), Qt::Uninitialized);
    if (!readAll(reply.data(), replyLength))
        return std::nullopt;
    if (replyType != typeNumber) {
        fail(QStringLiteral("sway answered message %1 with a reply of type %2")
                 .arg(typeNumber)
                 .arg(replyType));
        return std::nullopt;
    }
    QJsonParseError parseError{};
    QJsonDocument document = QJsonDocument::fromJson(reply, &parseError);
    if (document.isNull()) {
        fail(QStringLiteral("sway's reply is not JSON: %1").arg(parseError.errorString()));
        return std::nullopt;
    }
    return document;
}

std::optional<QJsonObject> SwayIpc::tree()
{
    const std::optional<QJsonDocument> reply = request(Message::getTree);
    if (!reply)
        return std::nullopt;
    if (!reply->isObject()) {
        m_error = QStringLiteral("sway's tree is not a JSON object");
        return std::nullopt;
    }
    return reply->object();
}

ServiceResult SwayIpc::runCommand(const QString& command)
{
    const std::optional<QJsonDocument> reply = request(Message::runCommand, command.toUtf8());
    if (!reply)
        return ServiceResult::refused(kErrorCode, m_error);
    if (!reply->isArray() || reply->array().isEmpty())
        return ServiceResult::refused(kErrorCode, QStringLiteral("sway's reply to a command is no list"));
    for (const QJsonValue& outcome : reply->array()) {
        if (!outcome.toObject().value(QStringLiteral("success")).toBool()) {
            return ServiceResult::refused(
                kErrorCode, QStringLiteral("sway refused \"%1\": %2")
                                .arg(command, outcome.toObject().value(QStringLiteral("error")).toString()));
        }
    }
    return ServiceResult::done();
}

} // namespace loopwren
