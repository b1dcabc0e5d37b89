#pragma once

#include "backend.h"

#include <QString>
#include <memory>

namespace loopwren {

struct BackendChoice
{
    std::unique_ptr<Backend> backend; // none when no backend can serve this session
    QString problem;                  // why not, when there is none
};

// The backend for this run, chosen once at start: X11 where an X display with XTEST and RECORD opens
// outside a Wayland session, otherwise the kernel's input devices. A name ("x11" or "kernel") forces
// that backend. There is none only for an unknown name or a forced X11 without a display.
BackendChoice chooseBackend(const QString& name = {});

} // namespace loopwren
