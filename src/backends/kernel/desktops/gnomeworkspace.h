#pragma once

#include "gnomeshellbus.h"
#include "workspace.h"

#include <QPoint>
#include <QString>

#include <mutex>

namespace loopwren {

class DesktopEntryIndex;

// Other applications' windows on GNOME Shell, through LoopWren's Shell extension.
//
// A running application is a window the Shell shows (dialogs included, menus and tooltips not), in the
// order the windows were opened: several windows of one application give several entries of the same
// name, the first of them its first window. The name is that of the application's desktop entry as the
// Shell's window tracker matched it (by the Wayland app id, the X11 class or the process), or else the
// window's class. The handle is mutter's window id.
//
// Calls block until the Shell answers; the placement may run on a worker thread while the main thread
// lists or activates (the calls are serialised). A Shell that cannot be reached lists nothing and
// moves nothing.
//
// This application's own window is left alone: a Wayland application can minimise its window but not
// bring it back, so hiding and showing do nothing.
class GnomeWorkspace : public Workspace
{
public:
    // primaryOrigin: where the top-left of the primary output (the model's origin) lies in the Shell's
    // stage.
    GnomeWorkspace(const QString& busAddress, QPoint primaryOrigin);

    std::vector<RunningApplication> runningApplications() override;
    // Raises and focuses the window, switching to its workspace, as a click on it in the overview does.
    void activate(const RunningApplication& application) override;
    // Places the outer frame (the application's own title bar and shadowless borders, as mutter counts
    // its frame) of the application's first window: its top-left at (x, y) from the primary output's
    // top-left, its size width by height. A maximised or full-screen window is restored first. An absent
    // or NaN position keeps the top-left, an absent or NaN size keeps the size. The size is the
    // application's to draw: it takes effect once the application answers, shortly after.
    void placeFirstWindow(const RunningApplication& application, const WindowFrame& frame) override;

    // The running applications in the extension's window list (its ListWindows JSON), named from the
    // entries.
    static std::vector<RunningApplication> applicationsIn(const QString& windows,
                                                          const DesktopEntryIndex& entries);
    // The id of the listed window the application's process opened first, or else its own handle.
    static std::uint64_t firstWindowIn(const QString& windows, const RunningApplication& application);

private:
    // The extension's window list, empty when the Shell did not answer.
    QString listWindows();

    std::mutex m_mutex;
    GnomeShellBus m_bus;
    QPoint m_primaryOrigin;
};

} // namespace loopwren
