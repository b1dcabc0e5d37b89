#pragma once

#include "workspace.h"

#include <QPoint>
#include <QString>

namespace loopwren {

// Other applications' windows on sway, through its IPC socket.
//
// A running application is a window sway's layout tree holds (tiled, floating or in the scratchpad), in
// tree order: several windows of one application give several entries of the same name, the first of
// them its first window. The name is that of the application's desktop entry, found by the Wayland app
// id (or an X11 window's WM_CLASS), or else the app id or class itself. The handle is sway's container
// id.
//
// Every call opens a connection of its own, so the placement may run on a worker thread while the main
// thread lists or activates. A sway that cannot be reached lists nothing and moves nothing.
//
// This application's own window is left alone: a Wayland application can minimise its window but not
// bring it back, so hiding and showing do nothing.
class SwayWorkspace : public Workspace
{
public:
    // primaryOrigin: where the top-left of the primary output (the model's origin) lies in sway's layout
    // coordinates; 0,0 for a single output or one placed at the origin.
    explicit SwayWorkspace(QString socketPath, QPoint primaryOrigin = {});

    std::vector<RunningApplication> runningApplications() override;
    // Focuses the window, switching to its workspace (and showing it from the scratchpad) as sway does.
    void activate(const RunningApplication& application) override;
    // Places the outer frame (title bar and borders included) of the application's first window: its
    // top-left at (x, y) from the primary output's top-left, its size width by height. sway moves and
    // sizes only floating windows, so a tiled or full-screen window becomes a floating one first, and
    // stays floating; the tiles around it close the gap. An absent or NaN position keeps a floating
    // window's top-left and leaves a tiled one where sway puts it when it floats (centred); an absent
    // or NaN size keeps the size. sway gives a floating window the size its application last drew, so
    // an application still answering an earlier resize (a window just opened) may take its size back.
    void placeFirstWindow(const RunningApplication& application, const WindowFrame& frame) override;


private:
    QString m_socketPath;
    QPoint m_primaryOrigin;
};

} // namespace loopwren
