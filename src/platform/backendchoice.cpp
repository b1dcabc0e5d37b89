#include "backendchoice.h"

#include "kernelbackend.h"
#include "x11backend.h"

namespace loopwren {

BackendChoice chooseBackend(const QString& name)
{
    BackendChoice choice;
    if (!name.isEmpty() && name != QLatin1String("x11") && name != QLatin1String("kernel")) {
        choice.problem = QStringLiteral("there is no backend named %1 (x11 or kernel)").arg(name);
        return choice;
    }
    const QString x11Problem = QStringLiteral("cannot open the X display (is DISPLAY set?)");
    if (name != QLatin1String("kernel")) {
        choice.backend = X11Backend::open();
        if (choice.backend || name == QLatin1String("x11")) {
            choice.problem = choice.backend ? QString() : x11Problem;
            return choice;
        }
    }
    KernelBackend::Opened kernel = KernelBackend::open();
    choice.backend = std::move(kernel.backend);
    if (!choice.backend)
        choice.problem = name.isEmpty() ? x11Problem + QStringLiteral("; ") + kernel.problem : kernel.problem;
    return choice;
}

} // namespace loopwren
