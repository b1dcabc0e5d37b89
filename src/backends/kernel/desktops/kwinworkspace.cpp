#include "kwinworkspace.h"

#include "desktopentryindex.h"
#include "desktopframe.h"
#include "kwinbridge.h"

#include <QJsonArray>

namespace loopwren {
namespace {

QString keyOf(std::uint64_t handle) { return QStringLiteral("%1").arg(handle, 16, 16, QLatin1Char('0')); }

QJsonObject windowCommand(const QString& op, const RunningApplication& application)
{
    return {{QStringLiteral("op"), op},
            {QStringLiteral("key"), keyOf(application.handle)},
            {QStringLiteral("pid"), static_cast<double>(application.processId)}};
}

} // namespace

KWinWorkspace::KWinWorkspace(std::shared_ptr<KWinBridge> bridge, QPoint primaryOrigin)
    : m_bridge(std::move(bridge)), m_primaryOrigin(primaryOrigin)
{
}

std::vector<RunningApplication> KWinWorkspace::runningApplications()
{
    const std::optional<QJsonDocument> answer =
        m_bridge->request({{QStringLiteral("op"), QStringLiteral("windows")}});
    if (!answer || !answer->isArray())
        return {};
    return applicationsIn(*answer, DesktopEntryIndex::fromEnvironment());
}

std::vector<RunningApplication> KWinWorkspace::applicationsIn(const QJsonDocument& answer,
                                                              const DesktopEntryIndex& entries)
{
    std::vector<RunningApplication> applications;
    for (const QJsonValue& value : answer.array()) {
        const QJsonObject window = value.toObject();
        const QString desktopFileName = window.value(QStringLiteral("desktopFileName")).toString();
        const QString resourceName = window.value(QStringLiteral("resourceName")).toString();
        const QString resourceClass = window.value(QStringLiteral("resourceClass")).toString();
        RunningApplication application;
        if (!desktopFileName.isEmpty())
            application.name = entries.nameFor(desktopFileName, desktopFileName);
        if (!application.name)
            application.name = entries.nameFor(resourceName, resourceClass);
        if (!application.name) {
            for (const QString& fallback : {desktopFileName, resourceClass, resourceName}) {
                if (!fallback.isEmpty()) {
                    application.name = fallback;
                    break;
                }
            }
        }
        application.processId = window.value(QStringLiteral("pid")).toInteger();
        bool ok = false;
        application.handle = window.value(QStringLiteral("key")).toString().toULongLong(&ok, 16);
        if (ok)
            applications.push_back(std::move(application));
    }
    return applications;
}

void KWinWorkspace::activate(const RunningApplication& application)
{
    m_bridge->request(windowCommand(QStringLiteral("activate"), application));
}

void KWinWorkspace::placeFirstWindow(const RunningApplication& application, const WindowFrame& frame)
{
    const DesktopFrame placed = DesktopFrame::from(frame, m_primaryOrigin);
    if (placed.isEmpty())
        return;
    QJsonObject command = windowCommand(QStringLiteral("place"), application);
    if (placed.topLeft) {
        command.insert(QStringLiteral("x"), placed.topLeft->x());
        command.insert(QStringLiteral("y"), placed.topLeft->y());
    }
    if (placed.size) {
        command.insert(QStringLiteral("width"), placed.size->width());
        command.insert(QStringLiteral("height"), placed.size->height());
    }
    m_bridge->request(command);
}

} // namespace loopwren
