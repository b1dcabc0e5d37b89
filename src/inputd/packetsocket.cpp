#include "packetsocket.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace loopwren::inputd {

void ReceivedPacket::closeHandles()
{
    for (const int fd : handles)
        ::close(fd);
    handles.clear();
}

ReceivedPacket receivePacket(int fd, bool dontWait)
{
    ReceivedPacket packet;
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int) * 8)];
    iovec vector{packet.buffer.data(), packet.buffer.size()};
    msghdr header{};
    header.msg_iov = &vector;
    header.msg_iovlen = 1;
    header.msg_control = control;
    header.msg_controllen = sizeof control;
    do
        packet.size = ::recvmsg(fd, &header, MSG_CMSG_CLOEXEC | (dontWait ? MSG_DONTWAIT : 0));
    while (packet.size < 0 && errno == EINTR);
    packet.error = packet.size < 0 ? errno : 0;
    packet.truncated = (header.msg_flags & (MSG_TRUNC | MSG_CTRUNC)) != 0;
    for (cmsghdr* part = CMSG_FIRSTHDR(&header); part; part = CMSG_NXTHDR(&header, part)) {
        if (part->cmsg_level != SOL_SOCKET || part->cmsg_type != SCM_RIGHTS)
            continue;
        const std::size_t count = (part->cmsg_len - CMSG_LEN(0)) / sizeof(int);
        for (std::size_t i = 0; i < count; ++i) {
            int handle = -1;
            std::memcpy(&handle, CMSG_DATA(part) + i * sizeof(int), sizeof handle);
            packet.handles.push_back(handle);
        }
    }
    return packet;
}

} // namespace loopwren::inputd
