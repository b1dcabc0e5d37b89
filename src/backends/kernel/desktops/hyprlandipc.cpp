#include "hyprlandipc.h"

#include "ipcsocket.h"

#include <QDir>
#include <QFileInfo>

namespace loopwren {
namespace {

// The client list of a busy desktop is some hundred kilobytes; a reply beyond this is not Hyprland's.
constexpr std::size_t kLongestReply = 16u * 1024 * 1024;
constexpr int kErrorCode = -1;

} // namespace

QString HyprlandIpc::sessionSocket()
{
    const QString instance = qEnvironmentVariable("HYPRLAND_INSTANCE_SIGNATURE");
    if (instance.isEmpty() || instance.contains(QLatin1Char('/')))
        return {};
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    for (const QString& folder :
         {runtime.isEmpty() ? QString() : runtime + QStringLiteral("/hypr"), QStringLiteral("/tmp/hypr")}) {
        const QString path = folder + QLatin1Char('/') + instance + QStringLiteral("/.socket.sock");
        if (!folder.isEmpty() && QFileInfo(path).exists())
            return path;
    }
    return {};
}

HyprlandIpc::HyprlandIpc(QString socketPath, std::chrono::milliseconds timeout)
    : m_socketPath(std::move(socketPath)), m_timeout(timeout)
{
}

std::optional<QByteArray> HyprlandIpc::exchange(const QByteArray& request)
{
    IpcSocket socket(m_socketPath, QStringLiteral("Hyprland"), m_timeout);
    QByteArray reply;
    if (!socket.writeAll(request) || !socket.readToEnd(reply, kLongestReply)) {
        m_error = socket.error();
        return std::nullopt;
    }
    return reply;
}

std::optional<QJsonDocument> HyprlandIpc::query(const QString& request)
{
    const std::optional<QByteArray> reply = exchange("j/" + request.toUtf8());
    if (!reply)
        return std::nullopt;
    QJsonParseError parseError{};
    QJsonDocument document = QJsonDocument::fromJson(*reply, &parseError);
    if (document.isNull()) {
        m_error =
            QStringLiteral("Hyprland's reply to %1 is not JSON: %2").arg(request, parseError.errorString());
        return std::nullopt;
    }
    return document;
}

ServiceResult HyprlandIpc::dispatch(const QStringList& dispatches)
{
    QStringList commands;
    for (const QString& one : dispatches)
        commands << QStringLiteral("dispatch ") + one;
    const std::optional<QByteArray> reply = exchange("[[BATCH]]" + commands.join(QLatin1Char(';')).toUtf8());
    if (!reply)
        return ServiceResult::refused(kErrorCode, m_error);
    // A batch's answers follow one another, each "ok" or the reason the dispatch failed.
    const QStringList answers = QString::fromUtf8(*reply).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& answer : answers) {
        if (answer.trimmed() != QLatin1String("ok"))
            return ServiceResult::refused(
                kErrorCode,
                QStringLiteral("Hyprland refused \"%1\": %2").arg(dispatches.join(QLatin1Char(';')), answer));
    }
    if (answers.size() != dispatches.size())
        return ServiceResult::refused(kErrorCode, QStringLiteral("Hyprland answered %1 of %2 dispatches")
                                                      .arg(answers.size())
                                                      .arg(dispatches.size()));
    return ServiceResult::done();
}

} // namespace loopwren
