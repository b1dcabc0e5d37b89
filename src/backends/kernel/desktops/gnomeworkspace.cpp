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

std::vector<ShellWindow> parseWindows(const QString& reply)
{
    std::vector<ShellWindow> windows;
    const QJsonArray list = QJsonDocument::fromJson(reply.toUtf8()).array();
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

QString GnomeWorkspace::listWindows()
{
    const QDBusMessage reply = m_bus.call(QStringLiteral("ListWindows"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1)
        return QString();
    return reply.arguments().constFirst().toString();
}

std::vector<RunningApplication> GnomeWorkspace::runningApplications()
{
    QString windows;
    {
        const std::lock_guard lock(m_mutex);
        windows = listWindows();
    }
    return applicationsIn(windows, DesktopEntryIndex::fromEnvironment());
}

std::vector<RunningApplication> GnomeWorkspace::applicationsIn(const QString& windows,
                                                               const DesktopEntryIndex& entries)
{
    std::vector<RunningApplication> applications;
    for (const ShellWindow& window : parseWindows(windows)) {
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

std::uint64_t GnomeWorkspace::firstWindowIn(const QString& windows, const RunningApplication& application)
{
    if (application.processId == 0)
        return application.handle;
    const std::vector<ShellWindow> listed = parseWindows(windows);
    const auto found = std::find_if(listed.begin(), listed.end(), [&](const ShellWindow& window) {
        return window.processId == application.processId;
    });
    return found != listed.end() ? found->id : application.handle;
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
    const std::uint64_t first =
        application.processId != 0 ? firstWindowIn(listWindows(), application) : application.handle;
    const QPoint topLeft = placed.topLeft.value_or(QPoint());
    const QSize size = placed.size.value_or(QSize());
    m_bus.call(QStringLiteral("Place"),
               {QVariant::fromValue<qulonglong>(first), placed.topLeft.has_value(), topLeft.x(), topLeft.y(),
                placed.size.has_value(), size.width(), size.height()});
}

} // namespace loopwren
