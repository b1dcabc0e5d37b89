#include "seatdevices.h"

#include "replaydevice.h"

#include <fcntl.h>
#include <libudev.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace loopwren::inputd {
namespace {

constexpr const char* kPrefix = "/dev/input/event";

std::string attribute(udev_device* device, const char* name)
{
    const char* value = device ? udev_device_get_sysattr_value(device, name) : nullptr;
    return value ? value : "";
}

bool isReplayDevice(udev_device* event)
{
    // The event node's parent is the input device, which carries the name and the ids.
    udev_device* input = udev_device_get_parent_with_subsystem_devtype(event, "input", nullptr);
    const auto hex = [](const std::string& text) { return std::strtoul(text.c_str(), nullptr, 16); };
    return attribute(input, "name") == replaydevice::name ||
           (hex(attribute(input, "id/vendor")) == replaydevice::vendor &&
            hex(attribute(input, "id/product")) == replaydevice::product);
}

} // namespace

SeatDevices::SeatDevices() : m_udev(udev_new()) {}

SeatDevices::~SeatDevices()
{
    if (m_udev)
        udev_unref(m_udev);
}

bool SeatDevices::isEventNodePath(const std::string& path)
{
    const std::size_t prefix = std::strlen(kPrefix);
    if (path.size() <= prefix || path.size() > prefix + 5 || path.compare(0, prefix, kPrefix) != 0)
        return false;
    for (std::size_t i = prefix; i < path.size(); ++i) {
        if (path[i] < '0' || path[i] > '9')
            return false;
    }
    return true;
}

std::variant<int, Reason> SeatDevices::open(const std::string& path, const std::string& seat) const
{
    if (!isEventNodePath(path))
        return Reason::notAllowedDevice;
    struct stat named{};
    if (::lstat(path.c_str(), &named) != 0)
        return Reason::noSuchDevice;
    if (!S_ISCHR(named.st_mode))
        return Reason::notAllowedDevice;
    if (!m_udev)
        return Reason::noSuchDevice;
    udev_device* device = udev_device_new_from_devnum(m_udev, 'c', named.st_rdev);
    if (!device)
        return Reason::noSuchDevice;
    const char* subsystem = udev_device_get_subsystem(device);
    const char* input = udev_device_get_property_value(device, "ID_INPUT");
    const char* deviceSeat = udev_device_get_property_value(device, "ID_SEAT");
    const bool allowed = subsystem && std::strcmp(subsystem, "input") == 0 && input &&
                         std::strcmp(input, "1") == 0 && seat == (deviceSeat ? deviceSeat : "seat0") &&
                         !isReplayDevice(device);
    udev_device_unref(device);
    if (!allowed)
        return Reason::notAllowedDevice;

    // Read-only, and never through a link that appeared since: the handle must be the node checked.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY);
    if (fd < 0)
        return Reason::noSuchDevice;
    struct stat opened{};
    if (::fstat(fd, &opened) != 0 || !S_ISCHR(opened.st_mode) || opened.st_rdev != named.st_rdev) {
        ::close(fd);
        return Reason::notAllowedDevice;
    }
    return fd;
}

} // namespace loopwren::inputd
