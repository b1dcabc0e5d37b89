#pragma once

namespace loopwren::cli {

// Whether the Wayland compositor named by WAYLAND_DISPLAY accepts a connection. Checked before Qt's
// Wayland platform is started, which would end the process if it could not connect.
bool reachesWaylandCompositor();

} // namespace loopwren::cli
