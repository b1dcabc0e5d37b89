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
    // The area of the desktop an absolute pointer axis (LoopWren's replay device) spans, which each
    // compositor chooses for itself, in logical pixels.
    enum class PointerArea
    {
        boundingBox, // the bounding box of all outputs, offset included (wlroots, Hyprland)
        fromOrigin,  // from the desktop's origin, as wide and high as the bounding box (KWin, mutter)
    };

    virtual ~WaylandDesktop() = default;

    // The desktop's name, for `loopwren-cli doctor`: "sway", "Hyprland", …
    virtual QString name() const = 0;
    // Why this desktop does not say where its pointer is, for the user; empty when it does.
    virtual QString pointerProblem() const = 0;
    // Whether workspace() lists and places windows (a desktop may be reached without the means to).
    virtual bool placesWindows() const { return true; }
    // Why it does not, for the user, where placesWindows() is false.
    virtual QString windowsProblem() const { return QString(); }
    virtual PointerArea absolutePointerArea() const = 0;

    // primaryOrigin is where the primary output's top-left lies in the desktop's coordinates: the
    // model's positions and window frames count from there.
    // The running applications and their windows; nullptr where the desktop offers no way.
    virtual std::unique_ptr<Workspace> workspace(QPoint primaryOrigin) = 0;
    // The pointer's position, callable from any thread; nullptr where pointerProblem() says why not.
    virtual std::shared_ptr<PointerPositionSource> pointerPositions(QPoint primaryOrigin) = 0;
};

} // namespace loopwren
