#include "waylanddesktop.h"

#include "hyprlanddesktop.h"
#include "swaydesktop.h"

namespace loopwren {

std::unique_ptr<WaylandDesktop> connectWaylandDesktop()
{
    if (auto sway = SwayDesktop::connect())
        return sway;
    if (auto hyprland = HyprlandDesktop::connect())
        return hyprland;
    return nullptr;
}

} // namespace loopwren
