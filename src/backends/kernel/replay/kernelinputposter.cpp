#include "kernelinputposter.h"

#include "hotkey.h"
#include "keycodetable.h"

#include <linux/input-event-codes.h>

#include <algorithm>
#include <array>

namespace loopwren {
namespace {

struct ModifierKey
{
    std::uint64_t flag;
    unsigned code;
};
constexpr std::array<ModifierKey, 4> kModifierKeys{{{modifier::shift, KEY_LEFTSHIFT},
                                                    {modifier::control, KEY_LEFTCTRL},
                                                    {modifier::alt, KEY_LEFTALT},
                                                    {modifier::super, KEY_LEFTMETA}}};

} // namespace

KernelInputPoster::KernelInputPoster(std::shared_ptr<InputEventSink> device, AbsolutePointerMap map)
    : m_device(std::move(device)), m_map(std::move(map))
{
}

KernelInputPoster::~KernelInputPoster() { releaseAll(); }

void KernelInputPoster::press(unsigned code, bool down, std::vector<unsigned>& held)
{
    const auto at = std::find(held.begin(), held.end(), code);
    if (down && at == held.end())
        held.push_back(code);
    else if (!down && at != held.end())
        held.erase(at);
    const DeviceEvent event{EV_KEY, static_cast<std::uint16_t>(code), down ? 1 : 0};
    m_device->sendFrame({&event, 1});
}

void KernelInputPoster::applyFlags(std::optional<std::uint64_t> flags)
{
    if (!flags)
        return;
    for (const ModifierKey& key : kModifierKeys) {
        const bool wanted = (*flags & key.flag) != 0;
        if (wanted != ((m_heldFlags & key.flag) != 0)) {
            press(key.code, wanted, m_heldModifiers);
            m_heldFlags ^= key.flag;
        }
    }
}

bool KernelInputPoster::moveTo(Point location)
{
    const std::optional<AbsolutePointerMap::Value> value = m_map.valueAt(location);
    if (!value || value == m_position)
        return false;
    const DeviceEvent events[] = {{EV_ABS, ABS_X, value->x}, {EV_ABS, ABS_Y, value->y}};
    m_device->sendFrame(events);
    m_position = value;
    return true;
}

PointerReach KernelInputPoster::reach(Point location) const
{
    if (!m_map.valueAt(location))
        return PointerReach::skipped;
    return m_map.isOnAnOutput(location) ? PointerReach::onScreen : PointerReach::offScreen;
}

bool KernelInputPoster::warpPointer(Point location) { return moveTo(location); }

void KernelInputPoster::postMouseMoved(Point location, std::optional<std::uint64_t> flags)
{
    if (!m_map.valueAt(location))
        return;
    applyFlags(flags);
    moveTo(location);
}

void KernelInputPoster::postMouseButton(MouseButtonType button, bool down, Point location,
                                        std::optional<std::uint64_t> flags)
{
    if (!m_map.valueAt(location))
        return;
    applyFlags(flags);
    moveTo(location);
    static constexpr unsigned codes[] = {BTN_LEFT, BTN_RIGHT, BTN_MIDDLE};
    press(codes[static_cast<int>(button)], down, m_heldButtons);
}

void KernelInputPoster::postKey(std::uint16_t keyCode, bool down, std::optional<std::uint64_t> flags)
{
    const std::optional<std::uint16_t> evdev = KeyCodeTable::evdevCode(keyCode);
    if (!evdev)
        return;
    applyFlags(flags);
    press(*evdev, down, m_heldKeys);
}

void KernelInputPoster::postScrollNotch(ScrollDirection direction, std::optional<std::uint64_t> flags)
{
    applyFlags(flags);
    // Away from the user and to the right are the positive directions of the wheels.
    const bool vertical = direction == ScrollDirection::up || direction == ScrollDirection::down;
    const bool positive = direction == ScrollDirection::up || direction == ScrollDirection::right;
    const DeviceEvent notch{EV_REL, static_cast<std::uint16_t>(vertical ? REL_WHEEL : REL_HWHEEL),
                            positive ? 1 : -1};
    m_device->sendFrame({&notch, 1});
}

void KernelInputPoster::releaseAll()
{
    for (std::vector<unsigned>* held : {&m_heldButtons, &m_heldKeys, &m_heldModifiers}) {
        while (!held->empty())
            press(held->back(), false, *held);
    }
    m_heldFlags = 0;
}

} // namespace loopwren
