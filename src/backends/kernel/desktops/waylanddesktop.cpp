#include "waylanddesktop.h"

#include "gnomedesktop.h"
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
    if (auto gnome = GnomeDesktop::connect())
        return gnome;
    return nullptr;
}

} // namespace loopwren
