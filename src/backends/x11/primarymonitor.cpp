#include "primarymonitor.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <memory>

namespace loopwren {

ScreenOrigin PrimaryMonitor::choose(const std::vector<MonitorArea>& monitors)
{
    const MonitorArea* chosen = nullptr;
    for (const auto& monitor : monitors) {
        if (monitor.primary) {
            chosen = &monitor;
            break;
        }
    }
    if (!chosen) {
        for (const auto& monitor : monitors) {
            if (monitor.x <= 0 && monitor.y <= 0 && monitor.x + monitor.width > 0 &&
                monitor.y + monitor.height > 0) {
                chosen = &monitor;
                break;
            }
        }
    }
    if (!chosen && !monitors.empty())
        chosen = &monitors.front();
    return chosen ? ScreenOrigin{chosen->x, chosen->y} : ScreenOrigin{};
}

ScreenOrigin PrimaryMonitor::query(Display* display) { return choose(monitors(display)); }

std::vector<MonitorArea> PrimaryMonitor::monitors(Display* display)
{
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    const int screen = DefaultScreen(display);
    const std::vector<MonitorArea> root = {
        {0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen), true}};
    // Monitors arrived with RandR 1.5; an older server is treated as one screen at the root origin.
    if (!XRRQueryExtension(display, &eventBase, &errorBase) || !XRRQueryVersion(display, &major, &minor) ||
        major < 1 || (major == 1 && minor < 5)) {
        return root;
    }
    int count = 0;
    const std::unique_ptr<XRRMonitorInfo, decltype(&XRRFreeMonitors)> infos(
        XRRGetMonitors(display, DefaultRootWindow(display), True, &count), &XRRFreeMonitors);
    std::vector<MonitorArea> monitors;
    for (int i = 0; infos && i < count; ++i) {
        const auto& info = infos.get()[i];
        monitors.push_back({info.x, info.y, info.width, info.height, info.primary != 0});
    }
    return monitors.empty() ? root : monitors;
}

} // namespace loopwren
