#include "kernelbackend.h"

#include "inputdclient.h"
#include "kernelaccessibility.h"
#include "kernelhotkeyservice.h"
#include "kernelinputmonitor.h"
#include "kernelinputposterfactory.h"
#include "kernelsessionchecks.h"
#include "monitoreduserinputwatch.h"
#include "nullplatform.h"
#include "portalhotkeyservice.h"
#include "uinputdevice.h"
#include "waylanddesktop.h"

#include <QDBusConnection>
#include <QFileInfo>
#include <cmath>
#include <cstring>

namespace loopwren {

std::unique_ptr<KernelBackend> KernelBackend::open(std::unique_ptr<WaylandDesktop> desktop,
                                                   const std::string& uinputPath,
                                                   bool fromOriginWithoutDesktop)
{
    UinputDevice::Made made = UinputDevice::create(uinputPath);
    QString deviceProblem;
    if (!made.device)
        deviceProblem =
            QStringLiteral("cannot make the replay device through %1: %2")
                .arg(QString::fromStdString(uinputPath), QString::fromLocal8Bit(std::strerror(made.error)));
    std::unique_ptr<KernelBackend> backend(
        new KernelBackend(std::move(made.device), uinputPath, deviceProblem, std::move(desktop)));
    backend->m_fromOriginWithoutDesktop = fromOriginWithoutDesktop;
    return backend;
}

KernelBackend::KernelBackend(std::shared_ptr<UinputDevice> device, std::string uinputPath,
                             QString deviceProblem, std::unique_ptr<WaylandDesktop> desktop)
    : m_device(std::move(device)), m_uinputPath(std::move(uinputPath)),
      m_deviceProblem(std::move(deviceProblem)), m_desktop(std::move(desktop))
{
}

KernelBackend::~KernelBackend() = default;

QString KernelBackend::readProblem()
{
    const kernelchecks::InputDeviceCount devices = kernelchecks::countInputDevices();
    if (devices.readable > 0)
        return QString();
    if (devices.seen == 0)
        return QStringLiteral("no input device to read on this seat");
    // The input service first; the group only as the fallback, with its price.
    std::optional<inputd::Reason> reason;
    const InputdClient::Standing standing = InputdClient::standing(devices.firstNode, &reason);
    return QStringLiteral("cannot read the input devices: %1. Input service: %2. The fallback is membership "
                          "of the input group, which lets every program of yours, in every session, read "
                          "every key typed on this computer")
        .arg(QString::fromLocal8Bit(std::strerror(devices.error)),
             QString::fromLatin1(InputdClient::describe(standing)));
}

QPoint KernelBackend::primaryOrigin(const FrontEndHooks& hooks)
{
    // The front end's window system reports outputs in the desktop's logical coordinates, the same the
    // compositor places windows in.
    const ScreenLayout layout = hooks.screenLayout ? hooks.screenLayout() : ScreenLayout();
    if (layout.isEmpty() || layout.primary >= layout.outputs.size())
        return {};
    const LogicalRect& primary = layout.outputs[layout.primary];
    return QPoint(static_cast<int>(std::lround(primary.x)), static_cast<int>(std::lround(primary.y)));
}

Backend::Abilities KernelBackend::abilities()
{
    Abilities abilities;
    abilities.recordProblem = readProblem();
    abilities.recordKeys = abilities.recordProblem.isEmpty();
    abilities.play = m_device != nullptr;
    abilities.playProblem = m_deviceProblem;
    abilities.placeWindows = m_desktop && m_desktop->placesWindows();
    if (!abilities.placeWindows)
        abilities.placeProblem = windowsProblem();
    abilities.pointerProblem =
        m_desktop ? m_desktop->pointerProblem() : QStringLiteral("no source on this desktop");
    abilities.recordPointer = abilities.recordKeys && abilities.pointerProblem.isEmpty();
    const auto* portal = qobject_cast<PortalHotkeyService*>(m_portalHotkeys.data());
    abilities.exclusiveHotkeys = shortcutsPortal() && !(portal && portal->fellBack());
    return abilities;
}

// In the words of the doctor's line on the desktop's services.
QString KernelBackend::windowsProblem() const
{
    if (!m_desktop)
        return QStringLiteral("none known for this desktop: no window list, no placing of windows");
    const QString why = m_desktop->windowsProblem();
    return QStringLiteral("%1: no window list, no placing of windows%2")
        .arg(m_desktop->name(), why.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(why));
}

SessionCheck KernelBackend::desktopServicesCheck() const
{
    const QString subject = QStringLiteral("desktop services");
    if (!m_desktop) {
        return {SessionCheck::Verdict::note, subject,
                QStringLiteral("none known for this desktop: no window list, no placing of windows, no "
                               "pointer positions"),
                QString()};
    }
    const QString pointer = m_desktop->pointerProblem();
    const bool windows = m_desktop->placesWindows();
    QString finding = QStringLiteral("%1: %2, %3")
                          .arg(m_desktop->name(),
                               windows ? QStringLiteral("windows listed and placed")
                                       : QStringLiteral("no window list, no placing of windows"),
                               pointer.isEmpty() ? QStringLiteral("pointer positions")
                                                 : QStringLiteral("no pointer positions"));
    if (!pointer.isEmpty())
        finding += QStringLiteral(" (%1)").arg(pointer);
    return {windows && pointer.isEmpty() ? SessionCheck::Verdict::fine : SessionCheck::Verdict::note, subject,
            finding, QString()};
}

std::vector<SessionCheck> KernelBackend::checks()
{
    const SessionCheck service = kernelchecks::inputService(kernelchecks::countInputDevices().firstNode);
    const bool lends = service.verdict == SessionCheck::Verdict::fine;
    std::vector<SessionCheck> checks = {kernelchecks::inputDevices(), service, kernelchecks::inputGroup(lends),
                                        kernelchecks::uinput(m_uinputPath, m_deviceProblem),
                                        kernelchecks::udevRule(), desktopServicesCheck()};
    if (const std::optional<uint> version = shortcutsPortal()) {
        checks.push_back(
            {SessionCheck::Verdict::fine, QStringLiteral("hotkeys"),
             QStringLiteral("through the desktop's shortcuts portal (GlobalShortcuts version %1): "
                            "they reach no other application, and the desktop may put other "
                            "keys on them")
                 .arg(*version),
             QString()});
    }
    return checks;
}

PlatformServices KernelBackend::provide(const FrontEndHooks& hooks)
{
    PlatformServices services;
    auto monitor = std::make_unique<KernelInputMonitor>(
        m_desktop ? m_desktop->pointerPositions(primaryOrigin(hooks)) : nullptr);
    monitor->setTakenBackHandler([this](const QString& notice) { emit inputTakenBack(notice); });
    services.input = std::move(monitor);
    // A reader of its own: the hotkeys watch the keys for the whole run, recordings come and go.
    // The desktop's shortcuts where it offers them; the key stream where not, or where they are refused.
    if (!hooks.hotkeys) {
        services.hotkeys = std::make_unique<NullHotkeyService>();
    } else {
        auto keys = std::make_unique<KernelHotkeyService>(std::make_unique<KernelInputMonitor>());
        if (shortcutsPortal()) {
            auto portal =
                std::make_unique<PortalHotkeyService>(QDBusConnection::sessionBus(), std::move(keys));
            m_portalHotkeys = portal.get();
            services.hotkeys = std::move(portal);
        } else {
            services.hotkeys = std::move(keys);
        }
    }
    services.accessibility = std::make_unique<KernelAccessibility>(
        [this] {
            const Abilities can = abilities();
            return can.recordKeys && can.play;
        },
        hooks.openUrl);
    if (m_device) {
        services.posters = std::make_unique<KernelInputPosterFactory>(
            m_device, hooks.screenLayout,
            m_desktop                  ? m_desktop->absolutePointerArea()
            : m_fromOriginWithoutDesktop ? AbsolutePointerMap::Area::fromOrigin
                                         : AbsolutePointerMap::Area::boundingBox);
    }
    // A reader of its own, over every device but LoopWren's replay device; it needs what recording
    // needs.
    services.userInput = std::make_unique<MonitoredUserInputWatch>(
        std::make_unique<KernelInputMonitor>(
            m_desktop ? m_desktop->pointerPositions(primaryOrigin(hooks)) : nullptr),
        [] {
            // What is missing and how to get it, `doctor` says.
            return readProblem().isEmpty() ? QString()
                                           : QStringLiteral("LoopWren cannot read the input devices");
        });
    // Where the desktop offers no way to list and place windows, one that does nothing.
    if (m_desktop)
        services.workspace = m_desktop->workspace(primaryOrigin(hooks));
    if (!services.workspace)
        services.workspace = std::make_unique<NullWorkspace>();
    return services;
}

WindowEffects KernelBackend::windowEffects()
{
    // A Wayland client can minimise its window but never bring it back, and the kernel's path is the
    // one Wayland sessions take: the window stays where it is.
    WindowEffects effects;
    effects.restoresMinimizedWindow = false;
    return effects;
}

std::optional<uint> KernelBackend::shortcutsPortal()
{
    if (!m_shortcutsPortal) {
        // Only a session bus the session names: asked for one it does not name, libdbus would start a
        // bus of its own (X11 autolaunch).
        const QString runtimeBus = qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/bus");
        const bool named = !qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") ||
                           (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && QFileInfo::exists(runtimeBus));
        m_shortcutsPortal =
            named ? PortalHotkeyService::offeredVersion(QDBusConnection::sessionBus()) : std::nullopt;
    }
    return *m_shortcutsPortal;
}

} // namespace loopwren
