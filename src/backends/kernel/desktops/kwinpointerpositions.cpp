#include "kwinpointerpositions.h"

#include "kwinbridge.h"

namespace loopwren {

KWinPointerPositions::KWinPointerPositions(std::shared_ptr<KWinBridge> bridge, QPoint primaryOrigin)
    : m_bridge(std::move(bridge)), m_primaryOrigin(primaryOrigin)
{
}

std::optional<Point> KWinPointerPositions::pointerPosition()
{
    const std::optional<QPointF> position = m_bridge->pointer();
    if (!position)
        return std::nullopt;
    return Point{position->x() - m_primaryOrigin.x(), position->y() - m_primaryOrigin.y()};
}

} // namespace loopwren
