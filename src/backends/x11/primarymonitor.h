#pragma once

#include <vector>

struct _XDisplay;
using Display = _XDisplay;

namespace loopwren {

// Where the model's coordinate origin lies in X root coordinates.
struct ScreenOrigin
{
    int x = 0;
    int y = 0;
    bool operator==(const ScreenOrigin&) const = default;
};

struct MonitorArea
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool primary = false;
};

// Locates the primary monitor, whose top-left corner is the origin of every recorded and posted
// position. Many X servers (Xvfb among them) mark no monitor primary, hence the fallbacks.
class PrimaryMonitor
{
public:
    // The primary monitor; else the one containing root (0, 0); else the first; else the root window.
    static ScreenOrigin choose(const std::vector<MonitorArea>& monitors);
    // The active monitors as XRandR reports them; the root window's origin without XRandR.
    static ScreenOrigin query(Display* display);
    // The active monitors in root coordinates; without XRandR 1.5 or monitors, the root window as
    // the one monitor.
    static std::vector<MonitorArea> monitors(Display* display);
};

} // namespace loopwren
