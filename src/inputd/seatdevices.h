#pragma once

#include "inputdmessage.h"

#include <string>
#include <variant>

struct udev;

namespace loopwren::inputd {

// The input event devices of a seat that libinput would use, opened on behalf of a caller. A path is
// only a question: it is lent when it names, without a link or a detour, a character device of the
// input subsystem that udev marks as input on that seat and that is not LoopWren's own replay device.
class SeatDevices
{
public:
    SeatDevices();
    ~SeatDevices();
    SeatDevices(const SeatDevices&) = delete;
    SeatDevices& operator=(const SeatDevices&) = delete;

    // A fresh read-only handle of the device, or why not.
    std::variant<int, Reason> open(const std::string& path, const std::string& seat) const;

    // Whether the path is spelled as a device of the input subsystem's event nodes at all.
    static bool isEventNodePath(const std::string& path);

private:
    udev* m_udev;
};

} // namespace loopwren::inputd
