#include "kernelbackend.h"

#include "kernelhotkeyservice.h"
#include "kernelinputmonitor.h"
#include "kernelinputposterfactory.h"
#include "uinputdevice.h"

#include <cstring>

namespace loopwren {

KernelBackend::Opened KernelBackend::open(const std::string& uinputPath)
{
    UinputDevice::Made made = UinputDevice::create(uinputPath);
    QString deviceProblem;
    if (!made.device) {
        deviceProblem =
            QStringLiteral("cannot make the replay device through %1: %2")
                .arg(QString::fromStdString(uinputPath), QString::fromLocal8Bit(std::strerror(made.error)));
        if (const QString problem = readProblem(); !problem.isEmpty())
            return {nullptr, deviceProblem + QStringLiteral("; ") + problem};
    }
    return {std::unique_ptr<KernelBackend>(new KernelBackend(std::move(made.device), deviceProblem)),
            QString()};
}

KernelBackend::KernelBackend(std::shared_ptr<UinputDevice> device, QString deviceProblem)
    : m_device(std::move(device)), m_deviceProblem(std::move(deviceProblem))
{
}

KernelBackend::~KernelBackend() = default;

QString KernelBackend::readProblem()
{
    int error = 0;
    std::size_t seen = 0;
    for (const InputDeviceAccess& device : KernelInputMonitor().devices()) {
        if (device.replayDevice)
            continue;
        if (device.error == 0)
            return QString();
        error = device.error;
        ++seen;
    }
    if (seen == 0)
        return QStringLiteral("no input device to read on this seat");
    return QStringLiteral(
               "cannot read the input devices: %1 (reading them needs membership of the input group)")
        .arg(QString::fromLocal8Bit(std::strerror(error)));
}

Backend::Abilities KernelBackend::abilities()
{
    Abilities abilities;
    abilities.recordProblem = readProblem();
    abilities.recordKeys = abilities.recordProblem.isEmpty();
    abilities.play = m_device != nullptr;
    abilities.playProblem = m_deviceProblem;
    return abilities;
}

void KernelBackend::provide(PlatformServices& services, const FrontEndHooks& hooks)
{
    if (!services.input)
        services.input = std::make_unique<KernelInputMonitor>();
    // A reader of its own: the hotkeys watch the keys for the whole run, recordings come and go.
    if (!services.hotkeys)
        services.hotkeys = std::make_unique<KernelHotkeyService>(std::make_unique<KernelInputMonitor>());
    if (!services.posters && m_device) {
        services.posters = std::make_unique<KernelInputPosterFactory>(
            m_device, hooks.screenLayout,
            AbsolutePointerMap::areaFor(qgetenv("XDG_CURRENT_DESKTOP").toStdString()));
    }
}

} // namespace loopwren
