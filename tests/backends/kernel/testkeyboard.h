#pragma once

#include <QTest>
#include <gtest/gtest.h>
#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>
#include <libudev.h>
#include <linux/input.h>

#include <chrono>
#include <initializer_list>
#include <optional>
#include <string>
#include <sys/stat.h>

namespace loopwren {

// A property udev gave the device at node, empty when it has none (yet). With the time the device was
// made, a record udev made before then is taken for none: it belongs to a device that had the same
// number and is gone.
inline std::string udevProperty(const char* node, const char* name,
                                std::optional<std::chrono::steady_clock::time_point> created = std::nullopt)
{
    struct stat status
    {
    };
    if (!node || ::stat(node, &status) != 0)
        return {};
    udev* context = udev_new();
    udev_device* entry = udev_device_new_from_devnum(context, 'c', status.st_rdev);
    const bool current =
        !created || (entry && std::chrono::microseconds(udev_device_get_usec_since_initialized(entry)) <=
                                  std::chrono::steady_clock::now() - *created);
    const char* value = entry && current ? udev_device_get_property_value(entry, name) : nullptr;
    std::string found = value ? value : "";
    if (entry)
        udev_device_unref(entry);
    udev_unref(context);
    return found;
}

// A keyboard of the test's own, made through uinput, with a mouse's buttons, motion and wheels when
// asked: the "hardware" the command line records. Ready once udev has tagged it.
class TestKeyboard
{
public:
    explicit TestKeyboard(bool withMouse = false, const char* name = "test keyboard", int vendor = 0,
                          int product = 0)
    {
        libevdev* shape = libevdev_new();
        libevdev_set_name(shape, name);
        if (vendor != 0) {
            libevdev_set_id_bustype(shape, BUS_VIRTUAL);
            libevdev_set_id_vendor(shape, vendor);
            libevdev_set_id_product(shape, product);
        }
        for (unsigned key = KEY_ESC; key <= KEY_MICMUTE; ++key)
            libevdev_enable_event_code(shape, EV_KEY, key, nullptr);
        if (withMouse) {
            // With a middle button of its own, libinput emulates none and passes presses on at once.
            for (unsigned button : {BTN_LEFT, BTN_RIGHT, BTN_MIDDLE})
                libevdev_enable_event_code(shape, EV_KEY, button, nullptr);
            for (unsigned axis : {REL_X, REL_Y, REL_WHEEL, REL_HWHEEL})
                libevdev_enable_event_code(shape, EV_REL, axis, nullptr);
        }
        const auto created = std::chrono::steady_clock::now();
        libevdev_uinput_create_from_device(shape, LIBEVDEV_UINPUT_OPEN_MANAGED, &m_device);
        libevdev_free(shape);
        // Until udev has tagged it, libinput leaves a device alone and what it types is lost.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                const char* node = libevdev_uinput_get_devnode(m_device);
                return !udevProperty(node, "ID_INPUT_KEYBOARD", created).empty() &&
                       (!withMouse || !udevProperty(node, "ID_INPUT_MOUSE", created).empty());
            },
            120000));
    }
    ~TestKeyboard() { libevdev_uinput_destroy(m_device); }
    // Presses the keys in order and lets them go in reverse.
    void tap(std::initializer_list<unsigned> keys)
    {
        for (unsigned key : keys)
            send(key, 1);
        for (auto key = std::rbegin(keys); key != std::rend(keys); ++key)
            send(*key, 0);
    }

    void click(unsigned button)
    {
        send(button, 1);
        send(button, 0);
    }
    void move(int dx, int dy)
    {
        libevdev_uinput_write_event(m_device, EV_REL, REL_X, dx);
        libevdev_uinput_write_event(m_device, EV_REL, REL_Y, dy);
        libevdev_uinput_write_event(m_device, EV_SYN, SYN_REPORT, 0);
    }

    // One event, reported at once.
    void send(unsigned key, int value, unsigned type = EV_KEY)
    {
        libevdev_uinput_write_event(m_device, type, key, value);
        libevdev_uinput_write_event(m_device, EV_SYN, SYN_REPORT, 0);
    }

private:
    libevdev_uinput* m_device = nullptr;
};

} // namespace loopwren
