#include "kwinworkspace.h"

#include "desktopentryindex.h"
#include "kwinbridge.h"

#include <QJsonArray>

#include <algorithm>
#include <cmath>

namespace loopwren {
namespace {

// Lengths and positions beyond these could not be drawn or reached.
constexpr double kLongestWindow = 32767.0;
constexpr double kFarthestPosition = 1.0e9;

QString keyOf(std::uint64_t handle) { return QStringLiteral("%1").arg(handle, 16, 16, QLatin1Char('0')); }

QJsonObject windowCommand(const QString& op, const RunningApplication& application)
{
    return {{QStringLiteral("op"), op},
            {QStringLiteral("key"), keyOf(application.handle)},
            {QStringLiteral("pid"), static_cast<double>(application.processId)}};
}

void setPosition(QJsonObject& command, const QString& name, std::optional<double> value, int origin)
{
    if (value && !std::isnan(*value))
        command.insert(name, static_cast<double>(origin + std::lround(std::clamp(*value, -kFarthestPosition,
                                                                                 kFarthestPosition))));
}

void setLength(QJsonObject& command, const QString& name, std::optional<double> value)
{
    if (value && !std::isnan(*value))
        command.insert(name, static_cast<double>(std::lround(std::clamp(*value, 1.0, kLongestWindow))));
}

} // namespace

KWinWorkspace::KWinWorkspace(std::shared_ptr<KWinBridge> bridge, QPoint primaryOrigin)
    : m_bridge(std::move(bridge)), m_primaryOrigin(primaryOrigin)
{
}

std::vector<RunningApplication> KWinWorkspace::runningApplications()
{
    std::vector<RunningApplication> applications;
    const std::optional<QJsonDocument> answer =
        m_bridge->request({{QStringLiteral("op"), QStringLiteral("windows")}});
    if (!answer || !answer->isArray())
        return applications;
    const DesktopEntryIndex entries = DesktopEntryIndex::fromEnvironment();
    for (const QJsonValue& value : answer->array()) {
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
        application.policy = RunningApplication::Policy::regular;
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
    QJsonObject command = windowCommand(QStringLiteral("place"), application);
    const bool toMove = frame.x && frame.y && !std::isnan(*frame.x) && !std::isnan(*frame.y);
    const bool toResize =
        frame.width && frame.height && !std::isnan(*frame.width) && !std::isnan(*frame.height);
    if (!toMove && !toResize)
        return;
    if (toMove) {
        setPosition(command, QStringLiteral("x"), frame.x, m_primaryOrigin.x());
        setPosition(command, QStringLiteral("y"), frame.y, m_primaryOrigin.y());
    }
    if (toResize) {
        setLength(command, QStringLiteral("width"), frame.width);
        setLength(command, QStringLiteral("height"), frame.height);
    }
    m_bridge->request(command);
}

} // namespace loopwren
