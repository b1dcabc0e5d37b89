#pragma once

#include "workspace.h"

#include <QObject>
#include <QStringList>
#include <QThreadPool>
#include <chrono>
#include <optional>

namespace loopwren {

// The other applications: their names for the target menu, and bringing the target forward with its
// first window moved and resized. The placement runs on a thread of its own a moment after the
// activation, so the window manager has raised the window first; the unit waits for it when it goes.
class TargetWindow : public QObject
{
public:
    // How long after the activation the placement starts.
    static constexpr std::chrono::milliseconds placementDelay{100};

    explicit TargetWindow(Workspace& workspace);
    ~TargetWindow() override;

    // The names of the running regular applications but LoopWren, each once, in plain code-point order.
    QStringList runningApplicationNames();
    // Activates the running application of that name, then, when a frame is given, places its first
    // window. Nothing happens for a name that is not running.
    void focus(const QString& name, const std::optional<WindowFrame>& frame);

private:
    Workspace& m_workspace;
    QThreadPool m_placements;
};

} // namespace loopwren
