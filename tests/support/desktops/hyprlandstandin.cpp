#include "hyprlandstandin.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {

QString socketIn(const QString& runtimeFolder, const QString& signature)
{
    const QString folder = runtimeFolder + QStringLiteral("/hypr/") + signature;
    QDir().mkpath(folder);
    return folder + QStringLiteral("/.socket.sock");
}

} // namespace

HyprlandStandIn::HyprlandStandIn(const QString& runtimeFolder, const QString& signature)
    : m_socket([this](const QByteArray& request) { return m_answering ? answer(request) : QByteArray(); },
               socketIn(runtimeFolder, signature))
{
}

void HyprlandStandIn::addWindow(const Window& window)
{
    std::lock_guard lock(m_mutex);
    m_windows.push_back(window);
}

void HyprlandStandIn::setCursor(QPoint position)
{
    std::lock_guard lock(m_mutex);
    m_cursor = position;
}

QStringList HyprlandStandIn::dispatched() const
{
    std::lock_guard lock(m_mutex);
    return m_dispatched;
}

QString HyprlandStandIn::focused() const
{
    std::lock_guard lock(m_mutex);
    return m_focused;
}

QByteArray HyprlandStandIn::answer(const QByteArray& request)
{
    std::lock_guard lock(m_mutex);
    if (request == "j/version")
        return R"({"branch":"","commit":"","tag":"v0.41.2"})";
    if (request == "j/cursorpos") {
        ++m_cursorQueries;
        return QJsonDocument(QJsonObject{{"x", m_cursor.x()}, {"y", m_cursor.y()}}).toJson();
    }
    if (request == "j/clients") {
        QJsonArray clients;
        for (const Window& window : m_windows) {
            clients.append(QJsonObject{{"address", window.address},
                                       {"mapped", true},
                                       {"floating", true},
                                       {"fullscreen", 0},
                                       {"class", window.className},
                                       {"pid", window.processId}});
        }
        return QJsonDocument(clients).toJson();
    }
    if (request.startsWith("[[BATCH]]")) {
        QStringList replies;
        for (const QString& command : QString::fromUtf8(request.mid(9)).split(QLatin1Char(';')))
            replies << QString::fromUtf8(dispatch(command.trimmed()));
        return replies.join(QStringLiteral("\n\n")).toUtf8();
    }
    if (request.startsWith("dispatch "))
        return dispatch(QString::fromUtf8(request));
    return "unknown request";
}

QByteArray HyprlandStandIn::dispatch(const QString& command)
{
    static const QRegularExpression focus(QStringLiteral(R"(^dispatch focuswindow address:(0x[0-9a-f]+)$)"));
    if (!command.startsWith(QLatin1String("dispatch ")))
        return "Invalid dispatcher";
    m_dispatched << command;
    if (const QRegularExpressionMatch match = focus.match(command); match.hasMatch())
        m_focused = match.captured(1);
    return "ok";
}
