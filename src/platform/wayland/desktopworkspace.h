#pragma once

#include "workspace.h"

#include <QPoint>

#include <memory>

namespace loopwren {

// The workspace of the desktop this session runs, reached through the desktop's own IPC, or nullptr
// where LoopWren knows no way to reach it (no window list, no placement). For now: sway, found by the
// socket it names in $SWAYSOCK, once a connection to it succeeds. primaryOrigin is where the primary
// output's top-left lies in the desktop's coordinates.
std::unique_ptr<Workspace> desktopWorkspace(QPoint primaryOrigin = {});

} // namespace loopwren
