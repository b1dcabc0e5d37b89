#include "scripteddevice.h"

#include "keycodetable.h"

#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>

#include <algorithm>

namespace loopwren::bench {

std::unique_ptr<ScriptedDevice> ScriptedDevice::create(const std::string& name)
{
    libevdev* shape = libevdev_new();
    libevdev_set_name(shape, name.c_str());
    libevdev_set_id_bustype(shape, BUS_VIRTUAL);
    for (unsigned key = KEY_ESC; key <= KEY_MICMUTE; ++key)
        libevdev_enable_event_code(shape, EV_KEY, key, nullptr);
    // With a middle button, as nearly every mouse reports: without one, libinput emulates it and holds
    // each left press back until it knows the right one is not coming too.
    for (unsigned button : {BTN_LEFT, BTN_RIGHT, BTN_MIDDLE})
        libevdev_enable_event_code(shape, EV_KEY, button, nullptr);
    // Relative axes make it a mouse for udev and libinput; a plain wheel without high-resolution
    // events, the kind libinput passes on notch by notch.
    for (unsigned axis : {REL_X, REL_Y, REL_WHEEL})
        libevdev_enable_event_code(shape, EV_REL, axis, nullptr);
    libevdev_uinput* device = nullptr;
    const int result = libevdev_uinput_create_from_device(shape, LIBEVDEV_UINPUT_OPEN_MANAGED, &device);
    libevdev_free(shape);
    if (result != 0)
        return nullptr;
    return std::unique_ptr<ScriptedDevice>(new ScriptedDevice(name, device));
}

ScriptedDevice::ScriptedDevice(std::string name, libevdev_uinput* device)
    : m_name(std::move(name)), m_device(device)
{
}

ScriptedDevice::~ScriptedDevice() { libevdev_uinput_destroy(m_device); }

std::string ScriptedDevice::devnode() const
{
    const char* node = libevdev_uinput_get_devnode(m_device);
    return node ? node : "";
}

void ScriptedDevice::send(unsigned type, unsigned code, int value)
{
    libevdev_uinput_write_event(m_device, type, code, value);
    libevdev_uinput_write_event(m_device, EV_SYN, SYN_REPORT, 0);
}

void ScriptedDevice::nudge(int dx, int dy, int reports)
{
    for (int i = 0; i < reports; ++i) {
        libevdev_uinput_write_event(m_device, EV_REL, REL_X, dx);
        libevdev_uinput_write_event(m_device, EV_REL, REL_Y, dy);
        libevdev_uinput_write_event(m_device, EV_SYN, SYN_REPORT, 0);
    }
}

void ScriptedDevice::press(unsigned code, bool down)
{
    const auto held = std::find(m_held.begin(), m_held.end(), code);
    if (down && held == m_held.end())
        m_held.push_back(code);
    else if (!down && held != m_held.end())
        m_held.erase(held);
    send(EV_KEY, code, down ? 1 : 0);
}

void ScriptedDevice::postMouseButton(MouseButtonType button, bool down, Point, std::optional<std::uint64_t>)
{
    if (button == MouseButtonType::left || button == MouseButtonType::right)
        press(button == MouseButtonType::left ? BTN_LEFT : BTN_RIGHT, down);
}

void ScriptedDevice::postKey(std::uint16_t keyCode, bool down, std::optional<std::uint64_t>)
{
    if (const std::optional<std::uint16_t> evdev = KeyCodeTable::evdevCode(keyCode))
        press(*evdev, down);
}

void ScriptedDevice::postScrollNotch(ScrollDirection direction, std::optional<std::uint64_t>)
{
    // The kernel's wheel turns positive away from the user.
    if (direction == ScrollDirection::up || direction == ScrollDirection::down)
        send(EV_REL, REL_WHEEL, direction == ScrollDirection::up ? 1 : -1);
}

void ScriptedDevice::releaseAll()
{
    while (!m_held.empty())
        press(m_held.back(), false);
}

} // namespace loopwren::bench
