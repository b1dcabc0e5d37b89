#include "hyprlandstandin.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

HyprlandStandIn::HyprlandStandIn(const QString& runtimeFolder, const QString& signature)
{
    const QString folder = runtimeFolder + QStringLiteral("/hypr/") + signature;
    QDir().mkpath(folder);
    const QByteArray path = (folder + QStringLiteral("/.socket.sock")).toLocal8Bit();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (static_cast<std::size_t>(path.size()) >= sizeof(address.sun_path) || ::pipe(m_wake) != 0)
        return;
    std::copy(path.begin(), path.end(), address.sun_path);
    m_listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (::bind(m_listener, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(m_listener, 8) != 0) {
        ::close(m_listener);
        m_listener = -1;
        return;
    }
    m_thread = std::thread([this] { serve(); });
}

HyprlandStandIn::~HyprlandStandIn()
{
    if (m_thread.joinable()) {
        const char byte = 0;
        [[maybe_unused]] const ssize_t written = ::write(m_wake[1], &byte, 1);
        m_thread.join();
    }
    for (const int fd : {m_listener, m_wake[0], m_wake[1]}) {
        if (fd >= 0)
            ::close(fd);
    }
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

void HyprlandStandIn::serve()
{
    for (;;) {
        pollfd descriptors[2] = {{m_listener, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (::poll(descriptors, 2, -1) < 0 || descriptors[1].revents != 0)
            return;
        const int client = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        // hyprctl writes its request in one piece and then waits for the reply.
        char request[8192];
        const ssize_t got = ::read(client, request, sizeof(request));
        if (got > 0 && m_answering) {
            const QByteArray reply = answer(QByteArray(request, static_cast<int>(got)));
            [[maybe_unused]] const ssize_t written = ::write(client, reply.constData(), reply.size());
        }
        ::close(client);
    }
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
