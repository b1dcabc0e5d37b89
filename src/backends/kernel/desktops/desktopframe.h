#pragma once

#include "workspace.h"

#include <QPoint>
#include <QSize>

#include <optional>

namespace loopwren {

// A stored window frame as a desktop's own commands take it: whole pixels in the desktop's layout.
// The position applies only when both coordinates are given and not NaN, the size likewise; each is
// kept within what a desktop can reach or draw.
struct DesktopFrame
{
    std::optional<QPoint> topLeft;
    std::optional<QSize> size;

    // primaryOrigin: where the primary output's top-left, the stored frame's origin, lies in the layout.
    static DesktopFrame from(const WindowFrame& frame, QPoint primaryOrigin);
    bool isEmpty() const { return !topLeft && !size; }
};

} // namespace loopwren
