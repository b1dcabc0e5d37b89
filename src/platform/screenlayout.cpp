#include "screenlayout.h"

#include <algorithm>

namespace loopwren {

LogicalRect ScreenLayout::bounds() const
{
    if (outputs.empty())
        return {};
    double left = outputs.front().x, top = outputs.front().y;
    double right = left + outputs.front().width, bottom = top + outputs.front().height;
    for (const LogicalRect& output : outputs) {
        left = std::min(left, output.x);
        top = std::min(top, output.y);
        right = std::max(right, output.x + output.width);
        bottom = std::max(bottom, output.y + output.height);
    }
    return {left, top, right - left, bottom - top};
}

} // namespace loopwren
