// Checks KernelInputMonitor against the real kernel: makes a keyboard with a wheel and LoopWren's own
// replay device through uinput, types and scrolls on both, and expects exactly the hardware's input.
// Needs /dev/uinput and udev, so it runs as root in the test VM (tests/vm/run-vm.sh). Every wait is for
// a condition, bounded only so that a broken guest fails instead of hanging.
#include "inputeventtext.h"
#include "kernelinputmonitor.h"
#include "replaydevice.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace loopwren;

constexpr int kPatienceMs = 120'000; // an emulated CPU on a busy host is slow

struct UinputDevice
{
    libevdev_uinput* device = nullptr;
    ~UinputDevice() { libevdev_uinput_destroy(device); }
};

std::unique_ptr<UinputDevice> makeDevice(const char* name, int vendor, int product)
{
    libevdev* shape = libevdev_new();
    libevdev_set_name(shape, name);
    libevdev_set_id_bustype(shape, BUS_VIRTUAL);
    libevdev_set_id_vendor(shape, vendor);
    libevdev_set_id_product(shape, product);
    for (unsigned key = KEY_ESC; key <= KEY_MICMUTE; ++key)
        libevdev_enable_event_code(shape, EV_KEY, key, nullptr);
    libevdev_enable_event_code(shape, EV_KEY, BTN_LEFT, nullptr);
    for (unsigned axis : {REL_X, REL_Y, REL_WHEEL, REL_HWHEEL})
        libevdev_enable_event_code(shape, EV_REL, axis, nullptr);
    auto device = std::make_unique<UinputDevice>();
    const int result =
        libevdev_uinput_create_from_device(shape, LIBEVDEV_UINPUT_OPEN_MANAGED, &device->device);
    libevdev_free(shape);
    if (result != 0) {
        std::printf("FAIL: cannot make the uinput device '%s' (%d)\n", name, result);
        return nullptr;
    }
    return device;
}

void send(UinputDevice& device, unsigned type, unsigned code, int value)
{
    libevdev_uinput_write_event(device.device, type, code, value);
    libevdev_uinput_write_event(device.device, EV_SYN, SYN_REPORT, 0);
}

bool waitFor(const char* what, const std::function<bool()>& condition)
{
    const QDeadlineTimer deadline(kPatienceMs);
    while (!condition()) {
        if (deadline.hasExpired()) {
            std::printf("FAIL: %s: not within %d s\n", what, kPatienceMs / 1000);
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return true;
}

bool sees(const KernelInputMonitor& monitor, const char* name)
{
    for (const auto& device : monitor.devices()) {
        if (device.name == name)
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    constexpr const char* kKeyboard = "LoopWren VM check keyboard";
    // The monitor opens every device it may: one must exist before watching begins.
    auto keyboard = makeDevice(kKeyboard, 0x0001, 0x0001);
    if (!keyboard)
        return 1;
    KernelInputMonitor monitor(nullptr, ClickSettings{});
    if (!waitFor("the monitor to see the keyboard", [&] { return sees(monitor, kKeyboard); }))
        return 1;

    std::vector<std::string> seen;
    bool sentinel = false;
    const auto token =
        monitor.watch({InputKind::keyDown, InputKind::keyUp, InputKind::modifiersChanged, InputKind::scroll},
                      [&](const InputEvent& event) {
                          seen.push_back(test::describe(event));
                          sentinel = sentinel || (event.kind == InputKind::keyUp && event.keyCode == 6);
                      });
    if (!token) {
        std::printf("FAIL: the monitor cannot watch\n");
        return 1;
    }
    auto replay = makeDevice(replaydevice::name, replaydevice::vendor, replaydevice::product);
    if (!replay ||
        !waitFor("the monitor to see the replay device", [&] { return sees(monitor, replaydevice::name); }))
        return 1;

    send(*keyboard, EV_KEY, KEY_LEFTSHIFT, 1);
    send(*keyboard, EV_KEY, KEY_A, 1);
    send(*replay, EV_KEY, KEY_B, 1);
    send(*keyboard, EV_KEY, KEY_A, 0);
    send(*keyboard, EV_KEY, KEY_LEFTSHIFT, 0);
    send(*replay, EV_KEY, KEY_B, 0);
    send(*replay, EV_REL, REL_WHEEL, 1);
    send(*keyboard, EV_REL, REL_WHEEL, -1);
    send(*keyboard, EV_REL, REL_WHEEL, 2);
    send(*keyboard, EV_REL, REL_HWHEEL, 1);
    send(*keyboard, EV_KEY, KEY_Z, 1);
    send(*keyboard, EV_KEY, KEY_Z, 0);
    if (!waitFor("the last key", [&] { return sentinel; }))
        return 1;
    monitor.finishWatching(*token);

    const std::vector<std::string> expected = {
        "modifiersChanged 56 flags=0x20000", "keyDown 0 flags=0x20000", "keyUp 0 flags=0x20000",
        "modifiersChanged 56",               "scroll dx=0 dy=-1",       "scroll dx=0 dy=2",
        "scroll dx=-1 dy=0",                 "keyDown 6",               "keyUp 6"};
    if (seen != expected) {
        std::printf("FAIL: the monitor saw\n");
        for (const auto& line : seen)
            std::printf("  %s\n", line.c_str());
        return 1;
    }
    std::printf("ok: the monitor saw exactly the keyboard's keys and wheel, nothing of the replay device\n");
    return 0;
}
