#pragma once

#include <QString>

namespace loopwren::sessiontype {

// XDG_SESSION_TYPE says wayland. (WAYLAND_DISPLAY alone proves nothing: nested compositors set it
// inside X sessions, and a Wayland session without Xwayland fails the X checks anyway.)
bool isWayland();
// The session's type as logind names it ("x11", "wayland", "tty"), or "unknown".
QString name();

} // namespace loopwren::sessiontype
