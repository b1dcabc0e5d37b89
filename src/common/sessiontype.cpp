#include "sessiontype.h"

namespace loopwren::sessiontype {

bool isWayland() { return name().compare(QLatin1String("wayland"), Qt::CaseInsensitive) == 0; }

QString name()
{
    const QString type = qEnvironmentVariable("XDG_SESSION_TYPE");
    return type.isEmpty() ? QStringLiteral("unknown") : type;
}

} // namespace loopwren::sessiontype
