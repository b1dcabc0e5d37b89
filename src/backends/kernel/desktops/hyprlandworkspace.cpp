#include "hyprlandworkspace.h"

#include "desktopentryindex.h"
#include "desktopframe.h"
#include "hyprlandipc.h"

#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>

namespace loopwren {
namespace {

struct HyprlandWindow
{
    QString address; // "0x55d3c1a0b2c0"
    QString className;
    std::int64_t processId = 0;
    bool floating = false;
    // The argument of the "fullscreen" dispatch that takes the window out of its full-screen or
    // maximised state, or empty when it is in neither.
    QString leaveFullscreen;
};

HyprlandWindow windowFrom(const QJsonObject& client)
{
    HyprlandWindow window;
    window.address = client.value(QStringLiteral("address")).toString();
    window.className = client.value(QStringLiteral("class")).toString();
    window.processId = client.value(QStringLiteral("pid")).toInteger();
    window.floating = client.value(QStringLiteral("floating")).toBool();
    // Since 0.42 "fullscreen" is the mode (1 maximised, 2 full screen); before, a flag with the mode in
    // "fullscreenMode" (0 full screen, 1 maximised). The dispatch toggles the mode it names.
    const QJsonValue fullscreen = client.value(QStringLiteral("fullscreen"));
    const int mode =
        fullscreen.isBool()
            ? (fullscreen.toBool() ? (client.value(QStringLiteral("fullscreenMode")).toInt() == 1 ? 1 : 2)
                                   : 0)
            : fullscreen.toInt();
    if (mode != 0)
        window.leaveFullscreen = mode == 1 ? QStringLiteral("1") : QStringLiteral("0");
    return window;
}

std::vector<HyprlandWindow> mappedWindows(HyprlandIpc& ipc)
{
    std::vector<HyprlandWindow> windows;
    const std::optional<QJsonDocument> clients = ipc.query(QStringLiteral("clients"));
    if (!clients)
        return windows;
    for (const QJsonValue& value : clients->array()) {
        const QJsonObject client = value.toObject();
        const HyprlandWindow window = windowFrom(client);
        if (client.value(QStringLiteral("mapped")).toBool(true) && !window.address.isEmpty())
            windows.push_back(window);
    }
    return windows;
}

QString addressOf(std::uint64_t handle) { return QStringLiteral("0x%1").arg(handle, 0, 16); }

} // namespace

HyprlandWorkspace::HyprlandWorkspace(QString socketPath, QPoint primaryOrigin)
    : m_socketPath(std::move(socketPath)), m_primaryOrigin(primaryOrigin)
{
}

std::vector<RunningApplication> HyprlandWorkspace::runningApplications()
{
    std::vector<RunningApplication> applications;
    HyprlandIpc ipc(m_socketPath);
    const std::vector<HyprlandWindow> windows = mappedWindows(ipc);
    if (windows.empty())
        return applications;
    const DesktopEntryIndex entries = DesktopEntryIndex::fromEnvironment();
    for (const HyprlandWindow& window : windows) {
        RunningApplication application;
        application.name = entries.nameFor(window.className, window.className).value_or(window.className);
        application.processId = window.processId;
        application.handle = window.address.toULongLong(nullptr, 16);
        applications.push_back(std::move(application));
    }
    return applications;
}

void HyprlandWorkspace::activate(const RunningApplication& application)
{
    HyprlandIpc(m_socketPath)
        .dispatch({QStringLiteral("focuswindow address:%1").arg(addressOf(application.handle))});
}

void HyprlandWorkspace::placeFirstWindow(const RunningApplication& application, const WindowFrame& frame)
{
    const DesktopFrame placed = DesktopFrame::from(frame, m_primaryOrigin);
    if (placed.isEmpty())
        return;

    HyprlandIpc ipc(m_socketPath);
    const std::vector<HyprlandWindow> windows = mappedWindows(ipc);
    auto first = std::find_if(windows.begin(), windows.end(), [&](const HyprlandWindow& window) {
        return application.processId != 0 && window.processId == application.processId;
    });
    if (first == windows.end()) {
        first = std::find_if(windows.begin(), windows.end(), [&](const HyprlandWindow& window) {
            return window.address.toULongLong(nullptr, 16) == application.handle;
        });
    }
    if (first == windows.end())
        return;

    const QString window = QStringLiteral("address:") + first->address;
    QStringList steps;
    // "fullscreen" acts on the focused window, so the window is focused first.
    if (!first->leaveFullscreen.isEmpty())
        steps << QStringLiteral("focuswindow ") + window
              << QStringLiteral("fullscreen ") + first->leaveFullscreen;
    if (!first->floating)
        steps << QStringLiteral("setfloating ") + window;
    if (placed.topLeft)
        steps << QStringLiteral("movewindowpixel exact %1 %2,%3")
                     .arg(placed.topLeft->x())
                     .arg(placed.topLeft->y())
                     .arg(window);
    if (placed.size)
        steps << QStringLiteral("resizewindowpixel exact %1 %2,%3")
                     .arg(placed.size->width())
                     .arg(placed.size->height())
                     .arg(window);
    ipc.dispatch(steps);
}

} // namespace loopwren
