#include "swayworkspace.h"

#include "desktopentryindex.h"
#include "desktopframe.h"
#include "swayipc.h"
#include "swaytree.h"

#include <QSize>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace loopwren {
namespace {

// The first window in tree order of the process that owns the application's window, or the window
// itself for a client whose process sway does not know.
std::optional<SwayWindow> firstWindowOf(const RunningApplication& application, const SwayTree& tree)
{
    if (application.processId != 0) {
        const auto& windows = tree.windows();
        const auto first = std::find_if(windows.begin(), windows.end(), [&](const SwayWindow& window) {
            return window.processId == application.processId;
        });
        if (first != windows.end())
            return *first;
    }
    return tree.window(static_cast<std::int64_t>(application.handle));
}

QString resizeCommand(QSize size)
{
    return QStringLiteral("resize set width %1 px height %2 px").arg(size.width()).arg(size.height());
}

QString moveCommand(QPoint topLeft)
{
    return QStringLiteral("move absolute position %1 px %2 px").arg(topLeft.x()).arg(topLeft.y());
}

} // namespace

SwayWorkspace::SwayWorkspace(QString socketPath, QPoint primaryOrigin)
    : m_socketPath(std::move(socketPath)), m_primaryOrigin(primaryOrigin)
{
}

std::vector<RunningApplication> SwayWorkspace::runningApplications()
{
    std::vector<RunningApplication> applications;
    SwayIpc ipc(m_socketPath);
    const std::optional<QJsonObject> root = ipc.tree();
    if (!root)
        return applications;
    const DesktopEntryIndex entries = DesktopEntryIndex::fromEnvironment();
    const SwayTree tree(*root);
    for (const SwayWindow& window : tree.windows()) {
        RunningApplication application;
        if (!window.appId.isEmpty())
            application.name = entries.nameFor(window.appId, window.appId);
        else
            application.name = entries.nameFor(window.instance, window.wmClass);
        if (!application.name)
            application.name = window.appId.isEmpty() ? window.wmClass : window.appId;
        application.processId = window.processId;
        application.handle = static_cast<std::uint64_t>(window.id);
        applications.push_back(std::move(application));
    }
    return applications;
}

void SwayWorkspace::activate(const RunningApplication& application)
{
    SwayIpc ipc(m_socketPath);
    ipc.runCommand(QStringLiteral("[con_id=%1] focus").arg(application.handle));
}

void SwayWorkspace::placeFirstWindow(const RunningApplication& application, const WindowFrame& frame)
{
    const DesktopFrame placed = DesktopFrame::from(frame, m_primaryOrigin);
    if (placed.isEmpty())
        return;

    SwayIpc ipc(m_socketPath);
    const std::optional<QJsonObject> root = ipc.tree();
    if (!root)
        return;
    const std::optional<SwayWindow> window = firstWindowOf(application, SwayTree(*root));
    if (!window)
        return;

    // One command list, so that the application is asked for the final size only: each step sent on
    // its own would ask it for a size of its own (the one it gets when made floating, say), and sway
    // gives a floating window the size its application last drew, so an answer to an earlier request
    // arriving after a later one would undo it. A full-screen window ignores moves and sizes, and a
    // tiled one has its place from the layout. sway keeps a floating window's centre when it resizes
    // it, so the size goes before the position.
    const QString criteria = QStringLiteral("[con_id=%1] ").arg(window->id);
    const std::optional<QPoint> wantedTopLeft =
        placed.topLeft ? placed.topLeft
                       : (window->floating ? std::optional<QPoint>(window->frame.topLeft()) : std::nullopt);
    QStringList steps{QStringLiteral("fullscreen disable"), QStringLiteral("floating enable")};
    if (placed.size)
        steps << resizeCommand(*placed.size);
    if (wantedTopLeft)
        steps << moveCommand(*wantedTopLeft);
    ipc.runCommand(criteria + steps.join(QStringLiteral(", ")));

    // The frame sway reports need not be the one its commands address (releases differ on the title
    // bar), so the result measures the difference and a second round makes up for it.
    const std::optional<QJsonObject> placedRoot = ipc.tree();
    const std::optional<SwayWindow> result =
        placedRoot ? SwayTree(*placedRoot).window(window->id) : std::nullopt;
    if (!result)
        return;
    const QSize sizeError = placed.size ? result->frame.size() - *placed.size : QSize(0, 0);
    const QPoint offset = wantedTopLeft ? result->frame.topLeft() - *wantedTopLeft : QPoint();
    if (sizeError.isNull() && offset.isNull())
        return;
    steps.clear();
    if (!sizeError.isNull())
        steps << resizeCommand(*placed.size - sizeError);
    // A resize moves the window again, so the position follows it.
    if (wantedTopLeft)
        steps << moveCommand(*wantedTopLeft - offset);
    ipc.runCommand(criteria + steps.join(QStringLiteral(", ")));
}

} // namespace loopwren
