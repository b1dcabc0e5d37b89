#include "desktopframe.h"

#include <algorithm>
#include <cmath>

namespace loopwren {
namespace {

// Lengths and positions beyond these could not be drawn or reached; compositors take 32-bit numbers.
constexpr double kLongestWindow = 32767.0;
constexpr double kFarthestPosition = 1.0e9;

bool given(std::optional<double> value) { return value && !std::isnan(*value); }

int whole(double value, double lowest, double highest)
{
    return static_cast<int>(std::lround(std::clamp(value, lowest, highest)));
}

} // namespace

DesktopFrame DesktopFrame::from(const WindowFrame& frame, QPoint primaryOrigin)
{
    DesktopFrame placed;
    if (given(frame.x) && given(frame.y))
        placed.topLeft = primaryOrigin + QPoint(whole(*frame.x, -kFarthestPosition, kFarthestPosition),
                                                whole(*frame.y, -kFarthestPosition, kFarthestPosition));
    if (given(frame.width) && given(frame.height))
        placed.size =
            QSize(whole(*frame.width, 1.0, kLongestWindow), whole(*frame.height, 1.0, kLongestWindow));
    return placed;
}

} // namespace loopwren
