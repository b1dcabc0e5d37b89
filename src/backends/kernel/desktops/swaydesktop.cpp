#include "swaydesktop.h"

#include "swayipc.h"
#include "swayworkspace.h"

namespace loopwren {

std::unique_ptr<SwayDesktop> SwayDesktop::connect()
{
    const QString socketPath = qEnvironmentVariable("SWAYSOCK");
    if (socketPath.isEmpty() || !SwayIpc(socketPath).isConnected())
        return nullptr;
    return std::unique_ptr<SwayDesktop>(new SwayDesktop(socketPath));
}

QString SwayDesktop::pointerProblem() const
{
    return QStringLiteral("sway does not tell other programs where its pointer is");
}

std::unique_ptr<Workspace> SwayDesktop::workspace(QPoint primaryOrigin)
{
    return std::make_unique<SwayWorkspace>(m_socketPath, primaryOrigin);
}

} // namespace loopwren
