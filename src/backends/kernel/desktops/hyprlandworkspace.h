#pragma once

#include "workspace.h"

#include <QPoint>
#include <QString>

namespace loopwren {

// Other applications' windows on Hyprland, through its request socket.
//
// A running application is a mapped window of Hyprland's client list, in its order; several windows of
// one application give several entries, the first its first window. The name is that of the
// application's desktop entry, found by the window's class (a Wayland client's app id), or else the
// class itself. The handle is the window's address.
//
// Hyprland reports and places a window by the area its client draws, borders outside it; that area is
// the frame here. Each call makes connections of its own, so the placement may run on a worker thread.
// This application's own window is left alone, as on every Wayland desktop.
class HyprlandWorkspace : public Workspace
{
public:
    // primaryOrigin: where the primary monitor's top-left lies in Hyprland's layout.
    explicit HyprlandWorkspace(QString socketPath, QPoint primaryOrigin = {});

    std::vector<RunningApplication> runningApplications() override;
    void activate(const RunningApplication& application) override;
    // Hyprland moves and sizes floating windows only: a tiled window is made floating first and stays
    // so, a full-screen or maximised one leaves that state first. An absent or NaN position leaves the
    // window where it is (where Hyprland puts a window it floats), an absent or NaN size keeps the size.
    void placeFirstWindow(const RunningApplication& application, const WindowFrame& frame) override;


private:
    QString m_socketPath;
    QPoint m_primaryOrigin;
};

} // namespace loopwren
