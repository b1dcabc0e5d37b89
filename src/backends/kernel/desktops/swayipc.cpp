#include "swayipc.h"

#include <QJsonArray>
#include <QJsonObject>

#include <cstring>

namespace loopwren {
namespace {

constexpr char kMagic[] = {'i', '3', '-', 'i', 'p', 'c'};
constexpr std::size_t kHeaderSize = sizeof(kMagic) + 2 * sizeof(std::uint32_t);
// A tree of a few thousand windows is a few megabytes; a length beyond this is a garbled header.
constexpr std::uint32_t kLongestReply = 64u * 1024 * 1024;
constexpr int kErrorCode = -1;

} // namespace

SwayIpc::SwayIpc(const QString& socketPath, std::chrono::milliseconds timeout)
    : m_socket(socketPath, QStringLiteral("sway"), timeout)
{
}

std::optional<QJsonDocument> SwayIpc::request(Message type, const QByteArray& payload)
{
    const auto length = static_cast<std::uint32_t>(payload.size());
    const auto typeNumber = static_cast<std::uint32_t>(type);
    QByteArray message(kMagic, sizeof(kMagic));
    message.append(reinterpret_cast<const char*>(&length), sizeof(length));
    message.append(reinterpret_cast<const char*>(&typeNumber), sizeof(typeNumber));
    message.append(payload);
    if (!m_socket.writeAll(message))
        return std::nullopt;

    char header[kHeaderSize];
    if (!m_socket.readExactly(header, sizeof(header)))
        return std::nullopt;
    std::uint32_t replyLength = 0;
    std::uint32_t replyType = 0;
    std::memcpy(&replyLength, header + sizeof(kMagic), sizeof(replyLength));
    std::memcpy(&replyType, header + sizeof(kMagic) + sizeof(replyLength), sizeof(replyType));
    if (std::memcmp(header, kMagic, sizeof(kMagic)) != 0 || replyLength > kLongestReply) {
        m_socket.fail(QStringLiteral("sway's reply does not start with an i3-ipc header"));
        return std::nullopt;
    }
    QByteArray reply(static_cast<qsizetype>(replyLength), Qt::Uninitialized);
    if (!m_socket.readExactly(reply.data(), replyLength))
        return std::nullopt;
    if (replyType != typeNumber) {
        m_socket.fail(QStringLiteral("sway answered message %1 with a reply of type %2")
                          .arg(typeNumber)
                          .arg(replyType));
        return std::nullopt;
    }
    QJsonParseError parseError{};
    QJsonDocument document = QJsonDocument::fromJson(reply, &parseError);
    if (document.isNull()) {
        m_socket.fail(QStringLiteral("sway's reply is not JSON: %1").arg(parseError.errorString()));
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
        m_socket.fail(QStringLiteral("sway's tree is not a JSON object"));
        return std::nullopt;
    }
    return reply->object();
}

ServiceResult SwayIpc::runCommand(const QString& command)
{
    const std::optional<QJsonDocument> reply = request(Message::runCommand, command.toUtf8());
    if (!reply)
        return ServiceResult::refused(kErrorCode, m_socket.error());
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
