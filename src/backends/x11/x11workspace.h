#pragma once

#include "workspace.h"

#include <optional>
#include <string>

namespace loopwren {

// Other applications' windows through the window manager (EWMH).
//
// A running application is a top-level window a task bar would show, in the order the window manager
// lists them (the order they were mapped): several windows of one application give several entries of
// the same name, the first of them its first window. The name is that of the application's desktop
// entry, found by WM_CLASS, or else the WM_CLASS class. Without an EWMH window manager the root
// window's mapped children stand in for the list.
//
// Every call opens a connection of its own, so the placement may run on a worker thread while the main
// thread lists or activates.
class X11Workspace : public Workspace
{
public:
    // An empty display name means $DISPLAY.
    explicit X11Workspace(std::string displayName = {});

    std::vector<RunningApplication> runningApplications() override;
    // Switches to the window's desktop if need be and asks the window manager to activate (and thereby
    // unminimise) it; without a window manager, raises it and gives it the keyboard focus.
    void activate(const RunningApplication& application) override;
    // Places the frame of the application's first window: its outer top-left corner at (x, y), measured
    // from the primary monitor's top-left, and its outer size at width by height, after taking the
    // window out of the maximised state. A NaN leaves that part alone; values beyond what X can
    // express are clamped.
    void placeFirstWindow(const RunningApplication& application, const WindowFrame& frame) override;

    // A window size along one axis: rounded and kept within what X can draw; nullopt for NaN.
    static std::optional<int> windowLength(double value);

private:
    std::string m_displayName;
};

} // namespace loopwren
