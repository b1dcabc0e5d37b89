#include "desktopworkspace.h"

#include "swayipc.h"
#include "swayworkspace.h"

namespace loopwren {

std::unique_ptr<Workspace> desktopWorkspace(QPoint primaryOrigin)
{
    const QString swaySocket = qEnvironmentVariable("SWAYSOCK");
    if (!swaySocket.isEmpty() && SwayIpc(swaySocket).isConnected())
        return std::make_unique<SwayWorkspace>(swaySocket, primaryOrigin);
    return nullptr;
}

} // namespace loopwren
