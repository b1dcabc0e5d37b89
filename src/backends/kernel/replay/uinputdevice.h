#pragma once

#include "inputeventsink.h"

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct libevdev;
struct libevdev_uinput;

namespace loopwren {

// The one uinput device LoopWren replays through: keys, mouse buttons, both wheels and an absolute
// pointer. With BTN_LEFT and without BTN_TOUCH, tool buttons or INPUT_PROP_DIRECT, udev tags it a mouse
// (and a keyboard) and every compositor's libinput moves the pointer to the absolute position given.
// Buttons and wheels live on the same device as the axes: split devices made clicks land unreliably.
//
// The device is made once, when the backend starts, and kept: a device made at the moment of a
// playback loses its first events while udev and the compositor are still taking it in.
class UinputDevice : public InputEventSink
{
public:
    struct Made
    {
        std::unique_ptr<UinputDevice> device;
        int error = 0; // errno when there is no device
    };
    static Made create(const std::string& uinputPath = "/dev/uinput");
    // The kernel releases whatever the device still holds when it goes.
    ~UinputDevice() override;
    UinputDevice(const UinputDevice&) = delete;
    UinputDevice& operator=(const UinputDevice&) = delete;

    // The kernel drops an absolute value equal to the axis's previous one; since the user's own mouse
    // may have moved the pointer meanwhile, a repeated value is sent after a 1-unit nudge instead.
    // A mouse button change waits until the last one is a little more than libinput's debounce time
    // old, so libinput neither holds it back nor drops it.
    bool sendFrame(std::span<const DeviceEvent> events) override;

    // Waits, at most limit, until udev has set the device up and the desktop has had a moment to add
    // it. Returns at once once that has happened.
    void waitUntilReady(std::chrono::milliseconds limit);
    // The /dev/input/event node, empty when the kernel has not named one.
    std::string devnode() const;

    // The key codes the device offers: every key the key code table names and the plain keyboard
    // ranges, never the joystick, gamepad or tablet buttons that would make udev call it something else.
    static std::vector<unsigned> keyCodes();

private:
    UinputDevice(libevdev* description, libevdev_uinput* device,
                 std::chrono::steady_clock::time_point created);

    libevdev* m_description;
    libevdev_uinput* m_device;
    std::chrono::steady_clock::time_point m_created;
    bool m_ready = false;
    std::mutex m_mutex;
    std::map<unsigned, int> m_lastAbsolute; // per axis, what the kernel holds
    std::chrono::steady_clock::time_point m_lastButtonChange;
};

// The frames that put events through a kernel that drops a repeated absolute value: a frame that
// repeats an axis's last value is preceded by one that moves it a unit aside. last is updated.
std::vector<std::vector<DeviceEvent>> withNudges(std::span<const DeviceEvent> events,
                                                 std::map<unsigned, int>& last);

} // namespace loopwren
