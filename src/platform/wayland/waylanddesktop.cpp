#include "waylanddesktop.h"

#include "swaydesktop.h"

namespace loopwren {

std::unique_ptr<WaylandDesktop> connectWaylandDesktop()
{
    if (auto sway = SwayDesktop::connect())
        return sway;
    return nullptr;
}

} // namespace loopwren
