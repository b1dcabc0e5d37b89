#pragma once

#include "sessioncheck.h"

#include <QString>
#include <vector>

namespace loopwren {

struct SessionReport
{
    std::vector<SessionCheck> checks;
    QString backend;    // the backend recording and playback would use, empty when none
    bool works = false; // recording and playback both work through it
};

// Looks at the session from every side that decides whether LoopWren can record and play in it: the
// session's type, the X server, the kernel's input devices and /dev/uinput with the permissions for
// them, and, for the backend this run would choose (or the one named), what it can do and what not.
SessionReport examineSession(const QString& backendName = {});

} // namespace loopwren
