#pragma once

#include "inputdmessage.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace loopwren::inputd {

// One packet read from a connection of the input service, with the handles that rode along with it.
// Both ends read the same way: a packet larger than any message, or with more handles than fit, comes
// back marked truncated, never cut silently.
struct ReceivedPacket
{
    long size = -1; // as recvmsg answered: 0 when the other end hung up, -1 on an error
    int error = 0;  // errno of that error
    bool truncated = false;
    std::array<std::uint8_t, maxMessageSize + 1> buffer{};
    std::vector<int> handles; // close-on-exec; the caller owns them

    std::span<const std::uint8_t> bytes() const { return {buffer.data(), size > 0 ? static_cast<std::size_t>(size) : 0}; }
    void closeHandles();
};

// Reads one packet from fd; waits for it unless dontWait. An interrupted read is retried.
ReceivedPacket receivePacket(int fd, bool dontWait);

} // namespace loopwren::inputd
