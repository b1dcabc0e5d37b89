#pragma once

#include <vector>

namespace loopwren {

// An output's place in the desktop, in logical (scaled) pixels of the window system.
struct LogicalRect
{
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
};

// The outputs of the desktop as the window system reports them. The model's coordinates have their
// origin at the top-left of the primary output.
struct ScreenLayout
{
    std::vector<LogicalRect> outputs;
    std::size_t primary = 0;

    bool isEmpty() const { return outputs.empty(); }
    // The smallest rectangle around every output.
    LogicalRect bounds() const;
};

} // namespace loopwren
