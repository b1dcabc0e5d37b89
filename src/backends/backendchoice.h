#pragma once

#include "backend.h"

#include <QString>
#include <memory>
#include <string>

namespace loopwren {

class WaylandDesktop;

struct BackendChoice
{
    std::unique_ptr<Backend> backend; // none when no backend can serve this session
    QString problem;                  // why not, when there is none
};

// The backend for this run, chosen once at start: X11 where an X display with XTEST and RECORD opens
// outside a Wayland session, otherwise the kernel's input devices. A name ("x11" or "kernel") forces
// that backend. There is none only for an unknown name or a forced X11 without a display.
BackendChoice chooseBackend(const QString& name = {});

// The kernel backend with this session's desktop (chooseWaylandDesktop), whatever it can do here.
// uinputPath is for tests.
std::unique_ptr<Backend> openKernelBackend(const std::string& uinputPath = "/dev/uinput");

// The desktops the session names ($XDG_CURRENT_DESKTOP, a colon-separated list, as it stands); empty
// when it names none.
QString sessionDesktop();

// The desktop this session runs, once LoopWren reached it through its own means, or nullptr where it
// knows no way to reach it: sway where $SWAYSOCK answers, Hyprland where the instance
// $HYPRLAND_INSTANCE_SIGNATURE names answers, KWin in a KDE session whose KWin answers on the session
// bus, GNOME Shell in a GNOME session whose Shell answers there.
std::unique_ptr<WaylandDesktop> chooseWaylandDesktop();

} // namespace loopwren
