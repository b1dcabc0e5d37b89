#pragma once

#include "backend.h"

#include <QPoint>
#include <QPointer>

#include <memory>
#include <optional>
#include <string>

namespace loopwren {

class UinputDevice;
class WaylandDesktop;

// Any session, Wayland's included: input is read from the kernel's input devices with libinput and
// played through a uinput device of LoopWren's own, which the kernel hands to the desktop like any
// other mouse and keyboard. Either works without the other: playing needs only /dev/uinput, recording
// only the input devices (membership of the input group). The kernel knows no pointer positions, so
// clicks and moves are recorded only where the desktop tells where the pointer is. Other applications'
// windows are listed and placed where the desktop offers a way (see WaylandDesktop). The hotkeys go
// through the desktop's shortcuts portal where the session bus offers one, else the key stream is
// watched.
class KernelBackend : public Backend
{
    Q_OBJECT

public:
    // The backend for this session, whatever it can do here: abilities() says what and why not.
    // desktop is the session's, as chosen for it, or nullptr where LoopWren knows no way to reach it.
    // fromOriginWithoutDesktop: with no desktop to ask, whether the replay device's absolute axes span
    // from the desktop's origin rather than the outputs' bounding box (the compositor's kind may still
    // be known by the session's name). uinputPath is for tests.
    static std::unique_ptr<KernelBackend> open(std::unique_ptr<WaylandDesktop> desktop,
                                               const std::string& uinputPath = "/dev/uinput",
                                               bool fromOriginWithoutDesktop = false);
    ~KernelBackend() override;

    QString name() const override { return QStringLiteral("kernel"); }
    Abilities abilities() override;
    std::vector<SessionCheck> checks() override;
    PlatformServices provide(const FrontEndHooks& hooks) override;
    WindowEffects windowEffects() override;

private:
    KernelBackend(std::shared_ptr<UinputDevice> device, std::string uinputPath, QString deviceProblem,
                  std::unique_ptr<WaylandDesktop> desktop);
    // Why none of the input devices can be read, or empty when one can.
    static QString readProblem();
    // The primary output's top-left in the desktop's coordinates, from the front end's layout.
    static QPoint primaryOrigin(const FrontEndHooks& hooks);
    // The version of the desktop's shortcuts portal, asked once; nullopt where there is none.
    std::optional<uint> shortcutsPortal();
    // Which of the desktop's own services LoopWren reaches, for the doctor.
    SessionCheck desktopServicesCheck() const;
    QString windowsProblem() const;

    std::shared_ptr<UinputDevice> m_device; // none when it could not be made
    std::string m_uinputPath;
    QString m_deviceProblem;
    std::unique_ptr<WaylandDesktop> m_desktop; // none where LoopWren knows no way to reach the desktop
    bool m_fromOriginWithoutDesktop = false;
    std::optional<std::optional<uint>> m_shortcutsPortal;
    QPointer<QObject> m_portalHotkeys; // the hotkey service provided, while it is the portal's
};

} // namespace loopwren
