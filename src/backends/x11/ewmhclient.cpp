#include "ewmhclient.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <array>
#include <memory>

namespace loopwren {
namespace {

// In the order of EwmhClient::AtomName.
constexpr std::array kAtomNames{
    "_NET_SUPPORTING_WM_CHECK",
    "_NET_CLIENT_LIST",
    "_NET_ACTIVE_WINDOW",
    "_NET_CURRENT_DESKTOP",
    "_NET_WM_DESKTOP",
    "_NET_WM_PID",
    "_NET_WM_WINDOW_TYPE",
    "_NET_WM_WINDOW_TYPE_NORMAL",
    "_NET_WM_STATE",
    "_NET_WM_STATE_SKIP_TASKBAR",
    "_NET_WM_STATE_MAXIMIZED_VERT",
    "_NET_WM_STATE_MAXIMIZED_HORZ",
    "_NET_FRAME_EXTENTS",
    "_NET_MOVERESIZE_WINDOW",
    "WM_STATE",
};

constexpr long kSourcePager = 2;
constexpr long kStateRemove = 0;
constexpr long kIconicState = 3; // ICCCM WM_STATE

struct XFreeDeleter
{
    void operator()(void* data) const
    {
        if (data)
            XFree(data);
    }
};

} // namespace

EwmhClient::EwmhClient(Display* display) : m_display(display), m_root(DefaultRootWindow(display))
{
    static_assert(kAtomNames.size() == atomCount);
    std::array<char*, atomCount> names{};
    for (std::size_t i = 0; i < atomCount; ++i)
        names[i] = const_cast<char*>(kAtomNames[i]);
    std::array<::Atom, atomCount> atoms{};
    // One round trip for all of them.
    if (!XInternAtoms(m_display, names.data(), static_cast<int>(atomCount), False, atoms.data()))
        atoms.fill(0);
    m_atoms.assign(atoms.begin(), atoms.end());

    const std::vector<unsigned long> check = property32(m_root, m_atoms[netSupportingWmCheck], XA_WINDOW);
    if (!check.empty()) {
        // A check window left behind by a window manager that died no longer names itself, or is gone.
        const std::vector<unsigned long> self =
            property32(check.front(), m_atoms[netSupportingWmCheck], XA_WINDOW);
        m_windowManager = !self.empty() && self.front() == check.front();
    }
}

std::vector<unsigned long> EwmhClient::property32(WindowId window, unsigned long property,
                                                  unsigned long type) const
{
    ::Atom actualType = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    // 16384 longs are far more than any of the properties read here can hold.
    if (XGetWindowProperty(m_display, window, property, 0, 16384, False, type, &actualType, &format, &count,
                           &remaining, &data) != Success)
        return {};
    const std::unique_ptr<unsigned char, XFreeDeleter> owned(data);
    if (!data || actualType != type || format != 32)
        return {};
    // Xlib hands format-32 data out as an array of longs, whatever the size of long.
    const auto* values = reinterpret_cast<const unsigned long*>(data);
    return std::vector<unsigned long>(values, values + count);
}

std::optional<unsigned long> EwmhClient::cardinal(WindowId window, unsigned long property) const
{
    const std::vector<unsigned long> values = property32(window, property, XA_CARDINAL);
    if (values.empty())
        return std::nullopt;
    return values.front();
}

std::optional<std::vector<WindowId>> EwmhClient::clientList() const
{
    if (!m_windowManager)
        return std::nullopt;
    ::Atom actualType = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(m_display, m_root, m_atoms[netClientList], 0, 16384, False, XA_WINDOW, &actualType,
                           &format, &count, &remaining, &data) != Success)
        return std::nullopt;
    const std::unique_ptr<unsigned char, XFreeDeleter> owned(data);
    if (actualType == 0) // no such property: a window manager that does not keep the list
        return std::nullopt;
    if (actualType != XA_WINDOW || format != 32 || !data)
        return std::vector<WindowId>{};
    const auto* values = reinterpret_cast<const unsigned long*>(data);
    return std::vector<WindowId>(values, values + count);
}

bool EwmhClient::hasWmClass(WindowId window) const { return wmClass(window).has_value(); }

std::vector<WindowId> EwmhClient::topLevelWindows() const
{
    std::vector<WindowId> windows;
    ::Window rootReturn = 0;
    ::Window parent = 0;
    ::Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(m_display, m_root, &rootReturn, &parent, &children, &count))
        return windows;
    const std::unique_ptr<::Window, XFreeDeleter> ownedChildren(children);
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes attributes{};
        if (!XGetWindowAttributes(m_display, children[i], &attributes) ||
            attributes.map_state != IsViewable || attributes.override_redirect)
            continue;
        if (hasWmClass(children[i])) {
            windows.push_back(children[i]);
            continue;
        }
        ::Window* grandchildren = nullptr;
        unsigned int grandchildCount = 0;
        if (!XQueryTree(m_display, children[i], &rootReturn, &parent, &grandchildren, &grandchildCount))
            continue;
        const std::unique_ptr<::Window, XFreeDeleter> ownedGrandchildren(grandchildren);
        for (unsigned int j = 0; j < grandchildCount; ++j) {
            if (hasWmClass(grandchildren[j])) {
                windows.push_back(grandchildren[j]);
                break;
            }
        }
    }
    return windows;
}

bool EwmhClient::exists(WindowId window) const
{
    XWindowAttributes attributes{};
    return window != 0 && XGetWindowAttributes(m_display, window, &attributes) != 0;
}

bool EwmhClient::isListedInTaskbar(WindowId window) const
{
    if (hasState(window, netWmStateSkipTaskbar))
        return false;
    // The first type is the one the client prefers; the others are fallbacks for older managers.
    const std::vector<unsigned long> types = property32(window, m_atoms[netWmWindowType], XA_ATOM);
    if (!types.empty())
        return types.front() == m_atoms[netWmWindowTypeNormal];
    ::Window transientFor = 0;
    return !XGetTransientForHint(m_display, window, &transientFor) || transientFor == 0;
}

std::optional<WmClass> EwmhClient::wmClass(WindowId window) const
{
    XClassHint hint{};
    if (!XGetClassHint(m_display, window, &hint))
        return std::nullopt;
    const std::unique_ptr<char, XFreeDeleter> name(hint.res_name);
    const std::unique_ptr<char, XFreeDeleter> className(hint.res_class);
    return WmClass{name ? name.get() : "", className ? className.get() : ""};
}

std::int64_t EwmhClient::processId(WindowId window) const
{
    return static_cast<std::int64_t>(cardinal(window, m_atoms[netWmPid]).value_or(0));
}

std::optional<std::uint32_t> EwmhClient::desktopOf(WindowId window) const
{
    const auto desktop = cardinal(window, m_atoms[netWmDesktop]);
    return desktop ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(*desktop)) : std::nullopt;
}

std::optional<std::uint32_t> EwmhClient::currentDesktop() const
{
    const auto desktop = cardinal(m_root, m_atoms[netCurrentDesktop]);
    return desktop ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(*desktop)) : std::nullopt;
}

WindowId EwmhClient::activeWindow() const
{
    const std::vector<unsigned long> active = property32(m_root, m_atoms[netActiveWindow], XA_WINDOW);
    return active.empty() ? 0 : active.front();
}

FrameExtents EwmhClient::frameExtents(WindowId window) const
{
    const std::vector<unsigned long> values = property32(window, m_atoms[netFrameExtents], XA_CARDINAL);
    if (values.size() < 4)
        return {};
    return {static_cast<long>(values[0]), static_cast<long>(values[1]), static_cast<long>(values[2]),
            static_cast<long>(values[3])};
}

bool EwmhClient::hasState(WindowId window, AtomName state) const
{
    const std::vector<unsigned long> states = property32(window, m_atoms[netWmState], XA_ATOM);
    return std::find(states.begin(), states.end(), m_atoms[state]) != states.end();
}

bool EwmhClient::isMaximized(WindowId window) const
{
    return hasState(window, netWmStateMaximizedVert) || hasState(window, netWmStateMaximizedHorz);
}

bool EwmhClient::isIconic(WindowId window) const
{
    const std::vector<unsigned long> state = property32(window, m_atoms[wmState], m_atoms[wmState]);
    return !state.empty() && static_cast<long>(state.front()) == kIconicState;
}

void EwmhClient::sendToRoot(WindowId window, AtomName messageType, long l0, long l1, long l2, long l3,
                            long l4)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.send_event = True;
    event.xclient.display = m_display;
    event.xclient.window = window;
    event.xclient.message_type = m_atoms[messageType];
    event.xclient.format = 32;
    event.xclient.data.l[0] = l0;
    event.xclient.data.l[1] = l1;
    event.xclient.data.l[2] = l2;
    event.xclient.data.l[3] = l3;
    event.xclient.data.l[4] = l4;
    XSendEvent(m_display, m_root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

void EwmhClient::requestCurrentDesktop(std::uint32_t desktop)
{
    sendToRoot(m_root, netCurrentDesktop, static_cast<long>(desktop), CurrentTime);
}

void EwmhClient::requestActivation(WindowId window)
{
    sendToRoot(window, netActiveWindow, kSourcePager, CurrentTime, 0);
}

void EwmhClient::requestUnmaximize(WindowId window)
{
    sendToRoot(window, netWmState, kStateRemove, static_cast<long>(m_atoms[netWmStateMaximizedVert]),
               static_cast<long>(m_atoms[netWmStateMaximizedHorz]), kSourcePager);
}

void EwmhClient::requestMoveResize(WindowId window, long flags, long x, long y, long width, long height)
{
    // North-west gravity: x and y are where the frame's outer top-left corner goes.
    sendToRoot(window, netMoveResizeWindow, NorthWestGravity | flags | (kSourcePager << 12), x, y, width,
               height);
}

} // namespace loopwren
