#include "backendchoice.h"

#include "x11backend.h"

namespace loopwren {

BackendChoice chooseBackend(const QString& name)
{
    BackendChoice choice;
    if (!name.isEmpty() && name != QLatin1String("x11")) {
        choice.problem = QStringLiteral("there is no backend named %1").arg(name);
        return choice;
    }
    choice.backend = X11Backend::open();
    if (!choice.backend)
        choice.problem = QStringLiteral("cannot open the X display (is DISPLAY set?)");
    return choice;
}

} // namespace loopwren
