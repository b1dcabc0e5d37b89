#include "x11inputposter.h"

#include "hotkey.h"
#include "keycodetable.h"
#include "serverstate.h"
#include "x11connection.h"

#include <X11/Xlib.h>

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <linux/input-event-codes.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace loopwren {

namespace {

constexpr unsigned kEvdevOffset = 8;
// XTEST can hold events back by a delay of its own; timing is the player's business, so never.
constexpr unsigned long kNoDelay = 0;

unsigned xButton(MouseButtonType button)
{
    switch (button) {
    case MouseButtonType::left:
        return 1;
    case MouseButtonType::right:
        return 3;
    case MouseButtonType::other:
        break;
    }
    return 2;
}

unsigned wheelButton(ScrollDirection direction)
{
    switch (direction) {
    case ScrollDirection::up:
        return 4;
    case ScrollDirection::down:
        return 5;
    case ScrollDirection::left:
        return 6;
    case ScrollDirection::right:
        break;
    }
    return 7;
}

// By key symbol first, so the keys pressed are the ones the current keymap treats as these modifiers;
// by their usual position when the keymap has no such symbol.
unsigned modifierKeycode(Display* display, KeySym symbol, unsigned evdev)
{
    const KeyCode code = XKeysymToKeycode(display, symbol);
    return code != 0 ? code : evdev + kEvdevOffset;
}

void remove(std::vector<unsigned>& held, unsigned value)
{
    held.erase(std::remove(held.begin(), held.end(), value), held.end());
}

} // namespace

Display* X11InputPoster::liveDisplay() const
{
    return m_connection->isBroken() ? nullptr : m_connection->display();
}

std::unique_ptr<X11InputPoster> X11InputPoster::create(const std::string& displayName)
{
    auto connection = X11Connection::open(displayName);
    if (!connection)
        return nullptr;
    Display* display = connection->display();
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    if (!XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor)) {
        std::printf("LoopWren X11: the X server offers no XTEST extension; input cannot be played\n");
        std::fflush(stdout);
        return nullptr;
    }
    std::vector<MonitorArea> monitors = PrimaryMonitor::monitors(display);
    return std::unique_ptr<X11InputPoster>(new X11InputPoster(std::move(connection), std::move(monitors)));
}

X11InputPoster::X11InputPoster(std::unique_ptr<X11Connection> connection, std::vector<MonitorArea> monitors)
    : m_connection(std::move(connection)), m_monitors(std::move(monitors)),
      m_origin(PrimaryMonitor::choose(m_monitors))
{
    Display* display = m_connection->display();
    // Playback must not stall while another client holds a server grab.
    XTestGrabControl(display, True);
    XDisplayKeycodes(display, &m_minKeycode, &m_maxKeycode);
    m_modifierKeys = {{
        {modifier::shift, modifierKeycode(display, XK_Shift_L, KEY_LEFTSHIFT)},
        {modifier::control, modifierKeycode(display, XK_Control_L, KEY_LEFTCTRL)},
        {modifier::alt, modifierKeycode(display, XK_Alt_L, KEY_LEFTALT)},
        {modifier::super, modifierKeycode(display, XK_Super_L, KEY_LEFTMETA)},
    }};
}

X11InputPoster::~X11InputPoster() { releaseAll(); }

std::optional<int> X11InputPoster::rootCoordinate(int origin, double value)
{
    if (std::isnan(value))
        return std::nullopt;
    const double root = static_cast<double>(origin) + value;
    if (root <= -32768.0)
        return -32768;
    if (root >= 32767.0)
        return 32767;
    return static_cast<int>(std::lround(root));
}

PointerReach X11InputPoster::reach(Point location) const
{
    const auto x = rootCoordinate(m_origin.x, location.x);
    const auto y = rootCoordinate(m_origin.y, location.y);
    if (!x || !y)
        return PointerReach::skipped;
    const bool shown = std::any_of(m_monitors.begin(), m_monitors.end(), [&](const MonitorArea& monitor) {
        return *x >= monitor.x && *x < monitor.x + monitor.width && *y >= monitor.y &&
               *y < monitor.y + monitor.height;
    });
    return shown ? PointerReach::onScreen : PointerReach::offScreen;
}

bool X11InputPoster::warpPointer(Point location)
{
    // The server reports even a move to the current position; a pointer already there stays quiet.
    return !pointerIsAt(location) && moveTo(location);
}

void X11InputPoster::postMouseMoved(Point location, std::optional<std::uint64_t> flags)
{
    applyFlags(flags);
    moveTo(location);
}

void X11InputPoster::postMouseButton(MouseButtonType button, bool down, Point location,
                                     std::optional<std::uint64_t> flags)
{
    applyFlags(flags);
    // X puts a button event where the pointer is. The player has normally moved it there already, and
    // the server reports even a move to the current position, so move only when it is elsewhere.
    // An unusable position still gets its button, so a press is never left without its release.
    if (!pointerIsAt(location))
        moveTo(location);
    sendButton(xButton(button), down);
}

void X11InputPoster::postKey(std::uint16_t keyCode, bool down, std::optional<std::uint64_t> flags)
{
    applyFlags(flags);
    const auto evdev = KeyCodeTable::evdevCode(keyCode);
    if (!evdev)
        return;
    const unsigned keycode = *evdev + kEvdevOffset;
    if (keycode < static_cast<unsigned>(m_minKeycode) || keycode > static_cast<unsigned>(m_maxKeycode))
        return;
    sendKey(keycode, down);
    remove(m_heldKeys, keycode);
    if (down)
        m_heldKeys.push_back(keycode);
}

void X11InputPoster::postScrollNotch(ScrollDirection direction, std::optional<std::uint64_t> flags)
{
    applyFlags(flags);
    const unsigned button = wheelButton(direction);
    Display* display = liveDisplay();
    if (!display)
        return;
    XTestFakeButtonEvent(display, button, True, kNoDelay);
    XTestFakeButtonEvent(display, button, False, kNoDelay);
    XFlush(display);
}

void X11InputPoster::releaseAll()
{
    for (auto it = m_heldKeys.rbegin(); it != m_heldKeys.rend(); ++it)
        sendKey(*it, false);
    m_heldKeys.clear();
    for (auto it = m_heldButtons.rbegin(); it != m_heldButtons.rend(); ++it)
        sendButton(*it, false);
    m_heldButtons.clear();
    applyFlags(0);
    // The end of a playback: make sure the server has acted on everything before anyone looks.
    if (Display* display = liveDisplay())
        XSync(display, False);
}

void X11InputPoster::applyFlags(std::optional<std::uint64_t> flags)
{
    if (!flags)
        return;
    for (const auto& key : m_modifierKeys) {
        const bool wanted = (*flags & key.flag) != 0;
        const bool held = (m_heldFlags & key.flag) != 0;
        if (wanted == held)
            continue;
        sendKey(key.keycode, wanted);
        m_heldFlags ^= key.flag;
    }
}

bool X11InputPoster::pointerIsAt(Point location) const
{
    const auto x = rootCoordinate(m_origin.x, location.x);
    const auto y = rootCoordinate(m_origin.y, location.y);
    if (!x || !y || !liveDisplay())
        return false;
    const std::optional<PointerState> pointer = queryPointer(*m_connection);
    return pointer && pointer->rootX == *x && pointer->rootY == *y;
}

bool X11InputPoster::moveTo(Point location)
{
    const auto x = rootCoordinate(m_origin.x, location.x);
    const auto y = rootCoordinate(m_origin.y, location.y);
    Display* display = liveDisplay();
    if (!x || !y || !display)
        return false;
    // Screen -1 is the screen the pointer is on.
    XTestFakeMotionEvent(display, -1, *x, *y, kNoDelay);
    XFlush(display);
    return true;
}

void X11InputPoster::sendKey(unsigned keycode, bool down)
{
    Display* display = liveDisplay();
    if (!display)
        return;
    XTestFakeKeyEvent(display, keycode, down ? True : False, kNoDelay);
    XFlush(display);
}

void X11InputPoster::sendButton(unsigned button, bool down)
{
    if (Display* display = liveDisplay()) {
        XTestFakeButtonEvent(display, button, down ? True : False, kNoDelay);
        XFlush(display);
    }
    remove(m_heldButtons, button);
    if (down)
        m_heldButtons.push_back(button);
}

} // namespace loopwren
