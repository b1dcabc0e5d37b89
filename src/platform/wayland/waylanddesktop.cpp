#include "waylanddesktop.h"

#include "gnomedesktop.h"
#include "swaydesktop.h"

namespace loopwren {

std::unique_ptr<WaylandDesktop> connectWaylandDesktop()
{
    if (auto sway = SwayDesktop::connect())
        return sway;
    if (auto gnome = GnomeDesktop::connect())
        return gnome;
    return nullptr;
}

} // namespace loopwren
