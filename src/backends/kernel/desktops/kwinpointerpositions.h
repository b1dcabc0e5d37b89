#pragma once

#include "pointerpositionsource.h"

#include <QPoint>

#include <memory>

namespace loopwren {

class KWinBridge;

// The pointer's position as LoopWren's KWin script last pushed it: read from memory, so the capture
// thread never waits on D-Bus. The script pushes each change as KWin makes it, so a click reads the
// position of its press unless the pointer moved on within the push's trip over the bus.
class KWinPointerPositions : public PointerPositionSource
{
public:
    // primaryOrigin: where the primary output's top-left lies in KWin's logical coordinates.
    KWinPointerPositions(std::shared_ptr<KWinBridge> bridge, QPoint primaryOrigin);

    std::optional<Point> pointerPosition() override;

private:
    std::shared_ptr<KWinBridge> m_bridge;
    QPoint m_primaryOrigin;
};

} // namespace loopwren
