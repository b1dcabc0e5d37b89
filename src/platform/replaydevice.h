#pragma once

#include <cstdint>

namespace loopwren::replaydevice {

// The identity of the input device LoopWren replays through, so that its own capture can leave it out
// and a user can tell it apart in the desktop's device list. It sits on the virtual bus, where no USB
// vendor registry applies, with a vendor and product of its own ("LW", 1).
inline constexpr const char* name = "LoopWren virtual input";
inline constexpr std::uint16_t bus = 0x06; // BUS_VIRTUAL
inline constexpr std::uint16_t vendor = 0x4c57;
inline constexpr std::uint16_t product = 0x0001;

} // namespace loopwren::replaydevice
