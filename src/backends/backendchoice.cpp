#include "backendchoice.h"

#include "gnomedesktop.h"
#include "hyprlanddesktop.h"
#include "kernelbackend.h"
#include "kwindesktop.h"
#include "sessiontype.h"
#include "swaydesktop.h"
#include "x11backend.h"

#include <QStringList>

namespace loopwren {
namespace {

bool canRecordAndPlay(Backend& backend)
{
    const Backend::Abilities can = backend.abilities();
    return can.recordKeys && can.play;
}

} // namespace

BackendChoice chooseBackend(const QString& name)
{
    BackendChoice choice;
    if (name == QLatin1String("kernel")) {
        choice.backend = openKernelBackend();
        return choice;
    }
    if (!name.isEmpty() && name != QLatin1String("x11")) {
        choice.problem = QStringLiteral("there is no backend named %1 (x11 or kernel)").arg(name);
        return choice;
    }
    std::unique_ptr<Backend> x11 = X11Backend::open();
    if (name == QLatin1String("x11") || (x11 && canRecordAndPlay(*x11))) {
        if (!x11)
            choice.problem = QStringLiteral("cannot open the X display (is DISPLAY set?)");
        choice.backend = std::move(x11);
        return choice;
    }
    // An X server without XTEST or RECORD, or Xwayland, which sees only its own clients: the kernel's
    // devices reach every application where the user may use them. Where neither works, an X11
    // session keeps its own backend, whose help page is the one that applies there.
    std::unique_ptr<Backend> kernel = openKernelBackend();
    const Backend::Abilities can = kernel->abilities();
    if (x11 && !sessiontype::isWayland() && !can.recordKeys && !can.play)
        choice.backend = std::move(x11);
    else
        choice.backend = std::move(kernel);
    return choice;
}

std::unique_ptr<Backend> openKernelBackend(const std::string& uinputPath)
{
    // KWin and mutter span the replay device's axes from the desktop's origin; a session that names
    // either keeps that even while its desktop does not answer.
    const QStringList named = sessionDesktop().split(QLatin1Char(':'));
    const bool fromOrigin = named.contains(QLatin1String("KDE")) || named.contains(QLatin1String("GNOME"));
    return KernelBackend::open(chooseWaylandDesktop(), uinputPath, fromOrigin);
}

QString sessionDesktop()
{
    return qEnvironmentVariable("XDG_CURRENT_DESKTOP");
}

std::unique_ptr<WaylandDesktop> chooseWaylandDesktop()
{
    if (auto sway = SwayDesktop::connect())
        return sway;
    if (auto hyprland = HyprlandDesktop::connect())
        return hyprland;
    // KWin and GNOME Shell may answer on the session bus of another desktop's session too: each is
    // asked only in a session that names it.
    const QStringList named = sessionDesktop().split(QLatin1Char(':'));
    if (named.contains(QLatin1String("KDE"), Qt::CaseInsensitive)) {
        if (auto kwin = KWinDesktop::connect())
            return kwin;
    }
    if (named.contains(QLatin1String("GNOME"), Qt::CaseInsensitive)) {
        if (auto gnome = GnomeDesktop::connect())
            return gnome;
    }
    return nullptr;
}

} // namespace loopwren
