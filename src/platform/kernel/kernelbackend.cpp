#include "kernelbackend.h"

#include "kernelinputposterfactory.h"
#include "uinputdevice.h"

#include <cstring>

namespace loopwren {

KernelBackend::Opened KernelBackend::open(const std::string& uinputPath)
{
    UinputDevice::Made made = UinputDevice::create(uinputPath);
    if (!made.device)
        return {nullptr, QStringLiteral("cannot make the replay device through %1: %2")
                             .arg(QString::fromStdString(uinputPath),
                                  QString::fromLocal8Bit(std::strerror(made.error)))};
    return {std::unique_ptr<KernelBackend>(new KernelBackend(std::move(made.device))), QString()};
}

KernelBackend::KernelBackend(std::shared_ptr<UinputDevice> device) : m_device(std::move(device)) {}

KernelBackend::~KernelBackend() = default;

Backend::Abilities KernelBackend::abilities()
{
    Abilities abilities;
    abilities.play = true;
    return abilities;
}

void KernelBackend::provide(PlatformServices& services, const FrontEndHooks& hooks)
{
    if (!services.posters) {
        services.posters = std::make_unique<KernelInputPosterFactory>(
            m_device, hooks.screenLayout,
            AbsolutePointerMap::areaFor(qgetenv("XDG_CURRENT_DESKTOP").toStdString()));
    }
}

} // namespace loopwren
