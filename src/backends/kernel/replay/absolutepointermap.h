#pragma once

#include "macroevent.h"
#include "screenlayout.h"
#include "waylanddesktop.h"

#include <optional>

namespace loopwren {

// Turns the model's coordinates into the values of an absolute pointer axis with the range
// 0..maxValue. libinput scales a value by the range's size (maxValue + 1) onto [0, 1), and the
// compositor stretches that over an area of the desktop that the desktop tells
// (WaylandDesktop::absolutePointerArea).
class AbsolutePointerMap
{
public:
    using Area = WaylandDesktop::PointerArea;
    struct Value
    {
        int x = 0;
        int y = 0;
        bool operator==(const Value&) const = default;
    };

    static constexpr int maxValue = 65535;

    AbsolutePointerMap() = default;
    AbsolutePointerMap(ScreenLayout layout, Area area);

    // The axis values that put the pointer at point, clamped to the range; nullopt without a layout or
    // for a coordinate that is not a number.
    std::optional<Value> valueAt(Point point) const;
    bool hasLayout() const { return !m_layout.isEmpty(); }
    // Whether point lies on one of the outputs; a point beside them all ends up at the nearest edge.
    bool isOnAnOutput(Point point) const;

private:
    ScreenLayout m_layout;
    Area m_area = Area::boundingBox;
};

} // namespace loopwren
