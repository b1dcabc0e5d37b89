#include "waylanddesktop.h"

#include "hyprlanddesktop.h"
#include "kwindesktop.h"
#include "swaydesktop.h"

namespace loopwren {

std::unique_ptr<WaylandDesktop> connectWaylandDesktop()
{
    if (auto sway = SwayDesktop::connect())
        return sway;
    if (auto hyprland = HyprlandDesktop::connect())
        return hyprland;
    if (auto kwin = KWinDesktop::connect())
        return kwin;
    return nullptr;
}

} // namespace loopwren
