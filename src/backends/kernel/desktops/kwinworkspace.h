#pragma once

#include "workspace.h"

#include <QPoint>

#include <memory>

class QJsonDocument;

namespace loopwren {

class DesktopEntryIndex;
class KWinBridge;

// Other applications' windows on KDE Plasma, through LoopWren's KWin script.
//
// A running application is a window a taskbar shows (normal windows and dialogs that do not skip the
// taskbar), in KWin's stacking-independent list order. The name is that of the application's desktop
// entry, found by the window's desktop file name (a Wayland app id) or its resource name and class,
// or else one of those themselves. The handle is the first 64 bits of KWin's id for the window.
//
// Each call blocks the calling thread until KWin answered, so the placement may run on a worker thread
// while the main thread lists or activates. A KWin that cannot be reached lists nothing and moves
// nothing. This application's own window is left alone, as on every Wayland desktop.
class KWinWorkspace : public Workspace
{
public:
    // primaryOrigin: where the top-left of the primary output lies in KWin's logical coordinates.
    KWinWorkspace(std::shared_ptr<KWinBridge> bridge, QPoint primaryOrigin);

    std::vector<RunningApplication> runningApplications() override;
    // Focuses the window, restoring it if minimised; KWin switches to its virtual desktop.
    void activate(const RunningApplication& application) override;
    // Places the outer frame (title bar and borders included) of the application's first window, in
    // one step: KWin applies position and size together. A full-screen or maximised window is restored
    // first. An absent or NaN part keeps what KWin reports for the window at that moment.
    void placeFirstWindow(const RunningApplication& application, const WindowFrame& frame) override;

    // The running applications in the script's answer to a "windows" request, named from the entries.
    static std::vector<RunningApplication> applicationsIn(const QJsonDocument& answer,
                                                          const DesktopEntryIndex& entries);

private:
    std::shared_ptr<KWinBridge> m_bridge;
    QPoint m_primaryOrigin;
};

} // namespace loopwren
