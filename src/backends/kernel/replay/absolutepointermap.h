#pragma once

#include "macroevent.h"
#include "screenlayout.h"

#include <optional>
#include <string_view>

namespace loopwren {

// Turns the model's coordinates into the values of an absolute pointer axis with the range
// 0..maxValue. libinput scales a value by the range's size (maxValue + 1) onto [0, 1), and the
// compositor stretches that over an area of the desktop that depends on the compositor: wlroots
// (sway) and Hyprland use the bounding box of all outputs, offset included; KWin uses the workspace's
// size and GNOME's mutter the stage's, both from the origin. All in logical pixels.
class AbsolutePointerMap
{
public:
    enum class Area
    {
        boundingBox, // from the top-left of the outputs' bounding box
        fromOrigin,  // from the desktop's origin, as wide and high as the bounding box
    };
    struct Value
    {
        int x = 0;
        int y = 0;
        bool operator==(const Value&) const = default;
    };

    static constexpr int maxValue = 65535;

    AbsolutePointerMap() = default;
    AbsolutePointerMap(ScreenLayout layout, Area area);

    // The area the desktop named by $XDG_CURRENT_DESKTOP (a colon-separated list) maps onto.
    static Area areaFor(std::string_view currentDesktop);

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
