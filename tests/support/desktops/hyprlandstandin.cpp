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

HyprlandStandIn::Window HyprlandStandIn::window(const QString& address) const
{
    std::lock_guard lock(m_mutex);
    for (const Window& window : m_windows) {
        if (window.address == address)
            return window;
    }
    return {};
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
                                       {"hidden", false},
                                       {"at", QJsonArray{window.area.x(), window.area.y()}},
                                       {"size", QJsonArray{window.area.width(), window.area.height()}},
                                       {"floating", window.floating},
                                       {"fullscreen", window.fullscreen},
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
    static const QRegularExpression pattern(
        QStringLiteral(R"(^dispatch (\w+) (?:(exact) (-?\d+) (-?\d+),)?(?:address:(0x[0-9a-f]+)|(\d))$)"));
    const QRegularExpressionMatch match = pattern.match(command);
    if (!match.hasMatch())
        return "Invalid dispatcher";
    const QString name = match.captured(1);
    const QString address = match.captured(5).isEmpty() ? m_focused : match.captured(5);
    const auto window = std::find_if(m_windows.begin(), m_windows.end(),
                                     [&](const Window& one) { return one.address == address; });
    if (window == m_windows.end())
        return "No such window found";
    const int first = match.captured(3).toInt();
    const int second = match.captured(4).toInt();
    if (name == QLatin1String("focuswindow"))
        m_focused = address;
    else if (name == QLatin1String("fullscreen")) {
        const int mode = match.captured(6) == QLatin1String("1") ? 1 : 2;
        window->fullscreen = window->fullscreen == mode ? 0 : mode;
    } else if (name == QLatin1String("setfloating"))
        window->floating = true;
    else if (name == QLatin1String("movewindowpixel") && window->floating && window->fullscreen == 0)
        window->area.moveTo(first, second);
    else if (name == QLatin1String("resizewindowpixel") && window->floating && window->fullscreen == 0)
        window->area.setSize(QSize(first, second));
    else
        return "Invalid dispatcher";
    return "ok";
}
