#pragma once

#include "replaydevice.h"

#include <cstdint>
#include <string_view>

namespace loopwren {

// Tells LoopWren's own replay device among the devices libinput adds, so that a macro played during a
// recording is not recorded a second time. Either mark is enough: the name, or the vendor and product
// together (libinput does not tell the bus).
struct ReplayDeviceFilter
{
    static constexpr bool matches(std::string_view name, std::uint32_t vendor, std::uint32_t product)
    {
        return name == replaydevice::name ||
               (vendor == replaydevice::vendor && product == replaydevice::product);
    }
};

} // namespace loopwren
