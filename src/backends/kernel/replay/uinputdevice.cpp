#include "uinputdevice.h"

#include "absolutepointermap.h"
#include "keycodetable.h"
#include "replaydevice.h"

#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>
#include <libudev.h>

#include <algorithm>
#include <cerrno>
#include <linux/input.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace loopwren {
namespace {

// How long after its creation the desktop is given to add the device before the first input.
constexpr auto kSettleTime = std::chrono::milliseconds(1000);
// libinput debounces the buttons of every mouse: a button that changes again within 25 ms of its last
// change is taken for a worn switch, and the change is held back 25 ms (a release then lands wherever
// the pointer has gone meanwhile) or dropped together with the next one (a quick double click arrives
// as one click). Button changes therefore go a little more than that apart.
constexpr auto kButtonGap = std::chrono::milliseconds(30);

bool changesAMouseButton(std::span<const DeviceEvent> events)
{
    return std::any_of(events.begin(), events.end(), [](const DeviceEvent& event) {
        return event.type == EV_KEY && event.code >= BTN_MOUSE && event.code < BTN_JOYSTICK;
    });
}

// udev keeps its record of a device under the device's number, which the kernel hands out again as
// soon as a device goes: until udev has handled that removal, the number still shows the record of the
// device before. A record counts only if it was made since this device was.
bool isUdevInitialised(const std::string& devnode, std::chrono::steady_clock::time_point created)
{
    struct stat node
    {
    };
    if (devnode.empty() || ::stat(devnode.c_str(), &node) != 0)
        return false;
    udev* context = udev_new();
    if (!context)
        return false;
    udev_device* device = udev_device_new_from_devnum(context, 'c', node.st_rdev);
    const auto age = std::chrono::steady_clock::now() - created;
    const bool initialised = device && udev_device_get_is_initialized(device) > 0 &&
                             std::chrono::microseconds(udev_device_get_usec_since_initialized(device)) <= age;
    if (device)
        udev_device_unref(device);
    udev_unref(context);
    return initialised;
}

} // namespace

std::vector<unsigned> UinputDevice::keyCodes()
{
    std::vector<unsigned> codes;
    // KEY_ESC up to the last of the first block; 0x100-0x15f are buttons of mice, joysticks, gamepads
    // and tablets; the keys go on from KEY_OK up to the gamepad's direction pad and after it until the
    // joystick's extra trigger buttons.
    const std::pair<unsigned, unsigned> ranges[] = {
        {KEY_ESC, 0xff}, {KEY_OK, BTN_DPAD_UP - 1}, {BTN_DPAD_RIGHT + 1, BTN_TRIGGER_HAPPY - 1}};
    for (const auto& [first, last] : ranges) {
        for (unsigned code = first; code <= last; ++code)
            codes.push_back(code);
    }
    for (const KeyCodeTable::Entry& entry : KeyCodeTable::entries()) {
        if (std::find(codes.begin(), codes.end(), entry.evdev) == codes.end())
            codes.push_back(entry.evdev);
    }
    return codes;
}

UinputDevice::Made UinputDevice::create(const std::string& uinputPath)
{
    const int fd = ::open(uinputPath.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return {nullptr, errno};
    libevdev* description = libevdev_new();
    libevdev_set_name(description, replaydevice::name);
    libevdev_set_id_bustype(description, replaydevice::bus);
    libevdev_set_id_vendor(description, replaydevice::vendor);
    libevdev_set_id_product(description, replaydevice::product);
    libevdev_enable_event_type(description, EV_KEY);
    for (unsigned code : keyCodes())
        libevdev_enable_event_code(description, EV_KEY, code, nullptr);
    for (unsigned button : {BTN_LEFT, BTN_RIGHT, BTN_MIDDLE, BTN_SIDE, BTN_EXTRA})
        libevdev_enable_event_code(description, EV_KEY, button, nullptr);
    libevdev_enable_event_type(description, EV_REL);
    libevdev_enable_event_code(description, EV_REL, REL_WHEEL, nullptr);
    libevdev_enable_event_code(description, EV_REL, REL_HWHEEL, nullptr);
    libevdev_enable_event_type(description, EV_ABS);
    const input_absinfo axis{0, 0, AbsolutePointerMap::maxValue, 0, 0, 0};
    libevdev_enable_event_code(description, EV_ABS, ABS_X, &axis);
    libevdev_enable_event_code(description, EV_ABS, ABS_Y, &axis);

    libevdev_uinput* device = nullptr;
    // Taken before the kernel has the device, so that udev's record of it is never older.
    const auto created = std::chrono::steady_clock::now();
    const int result = libevdev_uinput_create_from_device(description, fd, &device);
    if (result < 0) {
        ::close(fd);
        libevdev_free(description);
        return {nullptr, -result};
    }
    return {std::unique_ptr<UinputDevice>(new UinputDevice(description, device, created)), 0};
}

UinputDevice::UinputDevice(libevdev* description, libevdev_uinput* device,
                           std::chrono::steady_clock::time_point created)
    : m_description(description), m_device(device), m_created(created), m_lastAbsolute{{ABS_X, 0}, {ABS_Y, 0}}
// the axes start at their minimum
{
}

UinputDevice::~UinputDevice()
{
    const int fd = libevdev_uinput_get_fd(m_device);
    libevdev_uinput_destroy(m_device);
    ::close(fd);
    libevdev_free(m_description);
}

std::string UinputDevice::devnode() const
{
    const char* node = libevdev_uinput_get_devnode(m_device);
    return node ? node : "";
}

void UinputDevice::waitUntilReady(std::chrono::milliseconds limit)
{
    if (m_ready)
        return;
    const auto giveUp = std::chrono::steady_clock::now() + limit;
    while (!isUdevInitialised(devnode(), m_created) && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_until(std::min(giveUp, m_created + kSettleTime));
    m_ready = true;
}

bool UinputDevice::sendFrame(std::span<const DeviceEvent> events)
{
    const std::lock_guard lock(m_mutex);
    const bool button = changesAMouseButton(events);
    if (button)
        std::this_thread::sleep_until(m_lastButtonChange + kButtonGap);
    // Every frame of an input, synchronisation reports included, goes to the kernel in one write:
    // one system call per input, and the input's frames stamped at one moment. Keys, buttons and
    // wheels, which need no nudge, take no allocation either.
    const bool absolute = std::any_of(events.begin(), events.end(),
                                      [](const DeviceEvent& event) { return event.type == EV_ABS; });
    std::vector<std::vector<DeviceEvent>> nudged;
    std::span<const std::vector<DeviceEvent>> frames;
    if (absolute) {
        nudged = withNudges(events, m_lastAbsolute);
        frames = nudged;
    }
    constexpr std::size_t kInPlace = 16;
    input_event inPlace[kInPlace];
    std::vector<input_event> spilled;
    std::size_t count = 0;
    const auto add = [&](std::uint16_t type, std::uint16_t code, std::int32_t value) {
        input_event event{};
        event.type = type;
        event.code = code;
        event.value = value;
        if (count < kInPlace && spilled.empty()) {
            inPlace[count++] = event;
            return;
        }
        if (spilled.empty())
            spilled.assign(inPlace, inPlace + count);
        spilled.push_back(event);
        ++count;
    };
    const auto addFrame = [&](std::span<const DeviceEvent> frame) {
        for (const DeviceEvent& event : frame)
            add(event.type, event.code, event.value);
        add(EV_SYN, SYN_REPORT, 0);
    };
    if (absolute) {
        for (const std::vector<DeviceEvent>& frame : frames)
            addFrame(frame);
    } else {
        addFrame(events);
    }
    const input_event* buffer = spilled.empty() ? inPlace : spilled.data();
    const std::size_t bytes = count * sizeof(input_event);
    ssize_t written;
    do
        written = ::write(libevdev_uinput_get_fd(m_device), buffer, bytes);
    while (written < 0 && errno == EINTR);
    // Taken once the kernel has stamped the events, so the gap holds between their time stamps too.
    if (button)
        m_lastButtonChange = std::chrono::steady_clock::now();
    return written == static_cast<ssize_t>(bytes);
}

std::vector<std::vector<DeviceEvent>> withNudges(std::span<const DeviceEvent> events,
                                                 std::map<unsigned, int>& last)
{
    std::vector<DeviceEvent> nudge;
    for (const DeviceEvent& event : events) {
        if (event.type != EV_ABS)
            continue;
        const auto previous = last.find(event.code);
        if (previous != last.end() && previous->second == event.value)
            nudge.push_back({EV_ABS, event.code, event.value > 0 ? event.value - 1 : event.value + 1});
        last[event.code] = event.value;
    }
    std::vector<std::vector<DeviceEvent>> frames;
    if (!nudge.empty())
        frames.push_back(std::move(nudge));
    frames.emplace_back(events.begin(), events.end());
    return frames;
}

} // namespace loopwren
