#include "gnomeworkspace.h"

#include "desktopentryindex.h"
#include "desktopframe.h"

#include <QDBusMessage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace loopwren {
namespace {

struct ShellWindow
{
    std::uint64_t id = 0;
    QString desktopId; // the desktop entry's file name, foot.desktop
    QString wmClass;
    std::int64_t processId = 0;
};

std::vector<ShellWindow> parseWindows(const QDBusMessage& reply)
{
    std::vector<ShellWindow> windows;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1)
        return windows;
    const QJsonArray list =
        QJsonDocument::fromJson(reply.arguments().constFirst().toString().toUtf8()).array();
    for (const QJsonValue& value : list) {
        const QJsonObject object = value.toObject();
        ShellWindow window;
        window.id = static_cast<std::uint64_t>(object.value(QStringLiteral("id")).toDouble());
        window.desktopId = object.value(QStringLiteral("desktopId")).toString();
        window.wmClass = object.value(QStringLiteral("wmClass")).toString();
        window.processId = static_cast<std::int64_t>(object.value(QStringLiteral("pid")).toDouble());
        if (window.id != 0)
            windows.push_back(std::move(window));
    }
    return windows;
}

} // namespace

GnomeWorkspace::GnomeWorkspace(const QString& busAddress, QPoint primaryOrigin)
    : m_bus(busAddress), m_primaryOrigin(primaryOrigin)
{
}

std::vector<RunningApplication> GnomeWorkspace::runningApplications()
{
    std::vector<ShellWindow> windows;
    {
        const std::lock_guard lock(m_mutex);
        windows = parseWindows(m_bus.call(QStringLiteral("ListWindows")));
    }
    std::vector<RunningApplication> applications;
    const DesktopEntryIndex entries = DesktopEntryIndex::fromEnvironment();
    for (const ShellWindow& window : windows) {
        RunningApplication application;
        // The Shell matched the window to a desktop entry where it could; its name is read here, from
        // the same entries the other desktops' names come from, so that the language is LoopWren's.
        QString desktopId = window.desktopId;
        desktopId.chop(desktopId.endsWith(QLatin1String(".desktop")) ? 8 : 0);
        // The Shell makes up "window:N" ids for windows it cannot match; those have no entry.
        if (!desktopId.isEmpty() && !desktopId.startsWith(QLatin1String("window:")))
            application.name = entries.nameFor(desktopId, window.wmClass);
        if (!application.name)
            application.name = entries.nameFor(window.wmClass, window.wmClass);
        if (!application.name)
            application.name = window.wmClass;
        application.processId = window.processId;
        application.handle = window.id;
        applications.push_back(std::move(application));
    }
    return applications;
}

void GnomeWorkspace::activate(const RunningApplication& application)
{
    const std::lock_guard lock(m_mutex);
    m_bus.call(QStringLiteral("Activate"), {QVariant::fromValue<qulonglong>(application.handle)});
}

void GnomeWorkspace::placeFirstWindow(const RunningApplication& application, const WindowFrame& frame)
{
    const DesktopFrame placed = DesktopFrame::from(frame, m_primaryOrigin);
    if (placed.isEmpty())
        return;

    const std::lock_guard lock(m_mutex);
    std::uint64_t first = application.handle;
    if (application.processId != 0) {
        const std::vector<ShellWindow> windows = parseWindows(m_bus.call(QStringLiteral("ListWindows")));
        const auto found = std::find_if(windows.begin(), windows.end(), [&](const ShellWindow& window) {
            return window.processId == application.processId;
        });
        if (found != windows.end())
            first = found->id;
    }
    const QPoint topLeft = placed.topLeft.value_or(QPoint());
    const QSize size = placed.size.value_or(QSize());
    m_bus.call(QStringLiteral("Place"),
               {QVariant::fromValue<qulonglong>(first), placed.topLeft.has_value(), topLeft.x(), topLeft.y(),
                placed.size.has_value(), size.width(), size.height()});
}

} // namespace loopwren
