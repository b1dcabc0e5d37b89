#pragma once

#include <cstdint>
#include <span>

namespace loopwren {

// One event of a kernel input device: EV_KEY, EV_REL or EV_ABS with its code and value.
struct DeviceEvent
{
    std::uint16_t type = 0;
    std::uint16_t code = 0;
    std::int32_t value = 0;
    bool operator==(const DeviceEvent&) const = default;
};

// Where synthesised device events go: the replay device, or a recording stand-in in tests.
class InputEventSink
{
public:
    virtual ~InputEventSink() = default;
    // Writes events as one frame, ended by a synchronisation report, so a reader sees them as one
    // moment of the device. Frames of several writers never interleave. False when the device
    // refused them.
    virtual bool sendFrame(std::span<const DeviceEvent> events) = 0;
};

} // namespace loopwren
