#pragma once

#include "pointerpositionsource.h"
#include "workspace.h"

#include <QPoint>
#include <QString>

#include <memory>

namespace loopwren {

// The services one Wayland desktop offers through its own means (an IPC socket, a script or an
// extension): the other applications' windows and where the pointer is. The kernel knows neither.
class WaylandDesktop
{
public:
    virtual ~WaylandDesktop() = default;

    // The desktop's name, for `loopwren-cli doctor`: "sway", "Hyprland", …
    virtual QString name() const = 0;
    // Why this desktop does not say where its pointer is, for the user; empty when it does.
    virtual QString pointerProblem() const = 0;
    // Whether workspace() lists and places windows (a desktop may be reached without the means to).
    virtual bool placesWindows() const { return true; }
    // Why it does not, for the user, where placesWindows() is false.
    virtual QString windowsProblem() const { return QString(); }

    // primaryOrigin is where the primary output's top-left lies in the desktop's coordinates: the
    // model's positions and window frames count from there.
    // The running applications and their windows; nullptr where the desktop offers no way.
    virtual std::unique_ptr<Workspace> workspace(QPoint primaryOrigin) = 0;
    // The pointer's position, callable from any thread; nullptr where pointerProblem() says why not.
    virtual std::shared_ptr<PointerPositionSource> pointerPositions(QPoint primaryOrigin) = 0;
};

// The desktop this session runs, once LoopWren reached it, or nullptr where it knows no way to reach
// it. Found from the session's environment: $SWAYSOCK for sway, $HYPRLAND_INSTANCE_SIGNATURE for
// Hyprland, a KDE session ($XDG_CURRENT_DESKTOP) whose KWin answers on the session bus for KWin, a GNOME
// session whose Shell answers there for GNOME Shell.
std::unique_ptr<WaylandDesktop> connectWaylandDesktop();

} // namespace loopwren
