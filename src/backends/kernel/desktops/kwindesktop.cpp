#include "kwindesktop.h"

#include "kwinbridge.h"
#include "kwinpointerpositions.h"
#include "kwinworkspace.h"

#include <QDBusConnectionInterface>

namespace loopwren {

std::unique_ptr<KWinDesktop> KWinDesktop::connect()
{
    QDBusConnectionInterface* const bus = QDBusConnection::sessionBus().interface();
    if (!bus || !bus->isServiceRegistered(QStringLiteral("org.kde.KWin")))
        return nullptr;
    QString problem;
    std::shared_ptr<KWinBridge> bridge = KWinBridge::connect(&problem);
    if (!bridge)
        return nullptr;
    problem = bridge->watchPointer();
    return std::unique_ptr<KWinDesktop>(new KWinDesktop(std::move(bridge), std::move(problem)));
}

KWinDesktop::KWinDesktop(std::shared_ptr<KWinBridge> bridge, QString pointerProblem)
    : m_bridge(std::move(bridge)), m_pointerProblem(std::move(pointerProblem))
{
}

std::unique_ptr<Workspace> KWinDesktop::workspace(QPoint primaryOrigin)
{
    return std::make_unique<KWinWorkspace>(m_bridge, primaryOrigin);
}

std::shared_ptr<PointerPositionSource> KWinDesktop::pointerPositions(QPoint primaryOrigin)
{
    if (!m_pointerProblem.isEmpty())
        return nullptr;
    return std::make_shared<KWinPointerPositions>(m_bridge, primaryOrigin);
}

} // namespace loopwren
