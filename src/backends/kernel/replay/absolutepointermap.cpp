#include "absolutepointermap.h"

#include <algorithm>
#include <cmath>

namespace loopwren {

AbsolutePointerMap::AbsolutePointerMap(ScreenLayout layout, Area area)
    : m_layout(std::move(layout)), m_area(area)
{
}

std::optional<AbsolutePointerMap::Value> AbsolutePointerMap::valueAt(Point point) const
{
    if (m_layout.isEmpty() || !std::isfinite(point.x) || !std::isfinite(point.y))
        return std::nullopt;
    const LogicalRect bounds = m_layout.bounds();
    if (bounds.width <= 0 || bounds.height <= 0)
        return std::nullopt;
    const LogicalRect& primary = m_layout.outputs.at(std::min(m_layout.primary, m_layout.outputs.size() - 1));
    const bool offset = m_area == Area::boundingBox;
    const auto axis = [](double position, double extent) {
        // Rounded up, the value lands at position or less than a unit past it (a fiftieth of a pixel
        // on a desktop 3,200 pixels wide), so on the pixel the position names. Rounded to the nearest
        // it lands a hair before position half the time: on the pixel before it, which at the left or
        // top edge of an output is on the output next to it.
        const double value = std::ceil(position * (maxValue + 1.0) / extent);
        return static_cast<int>(std::clamp(value, 0.0, double(maxValue)));
    };
    return Value{axis(primary.x + point.x - (offset ? bounds.x : 0), bounds.width),
                 axis(primary.y + point.y - (offset ? bounds.y : 0), bounds.height)};
}

bool AbsolutePointerMap::isOnAnOutput(Point point) const
{
    if (m_layout.isEmpty())
        return false;
    const LogicalRect& primary = m_layout.outputs.at(std::min(m_layout.primary, m_layout.outputs.size() - 1));
    const double x = primary.x + point.x;
    const double y = primary.y + point.y;
    return std::any_of(m_layout.outputs.begin(), m_layout.outputs.end(), [&](const LogicalRect& output) {
        return x >= output.x && x < output.x + output.width && y >= output.y && y < output.y + output.height;
    });
}

} // namespace loopwren
