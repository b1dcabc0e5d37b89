#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct _XDisplay;
using Display = _XDisplay;

namespace loopwren {

using WindowId = unsigned long; // an X Window

struct WmClass
{
    std::string instance;
    std::string className;
    bool operator==(const WmClass&) const = default;
};

struct FrameExtents
{
    long left = 0;
    long right = 0;
    long top = 0;
    long bottom = 0;

    bool operator==(const FrameExtents&) const = default;
};

// What the window manager and the clients publish about top-level windows (EWMH and ICCCM properties),
// and the requests EWMH lets another client make of the window manager, on one Xlib connection that
// the caller owns and keeps open while this lives.
class EwmhClient
{
public:
    // _NET_MOVERESIZE_WINDOW's flags: which of x, y, width and height the request carries.
    static constexpr long moveResizeX = 1L << 8;
    static constexpr long moveResizeY = 1L << 9;
    static constexpr long moveResizeWidth = 1L << 10;
    static constexpr long moveResizeHeight = 1L << 11;
    static constexpr std::uint32_t allDesktops = 0xFFFFFFFF;

    explicit EwmhClient(Display* display);

    // An EWMH window manager proves it runs by a check window that names itself.
    bool hasWindowManager() const { return m_windowManager; }
    // The managed windows, oldest mapping first; nullopt when no window manager publishes the list.
    std::optional<std::vector<WindowId>> clientList() const;
    // For a session without an EWMH window manager: the root's mapped, not override-redirect children
    // that carry WM_CLASS, or else their first child that does (under a window manager that reparents
    // without EWMH), bottom of the stack first.
    std::vector<WindowId> topLevelWindows() const;

    bool exists(WindowId window) const;
    // A window a task bar would show: of type normal (or of no type, unless it is transient for another
    // window, which makes it a dialog) and not marked to be skipped by task bars.
    bool isListedInTaskbar(WindowId window) const;
    std::optional<WmClass> wmClass(WindowId window) const;
    // _NET_WM_PID, or 0 when the window does not say.
    std::int64_t processId(WindowId window) const;
    std::optional<std::uint32_t> desktopOf(WindowId window) const;
    std::optional<std::uint32_t> currentDesktop() const;
    WindowId activeWindow() const;
    FrameExtents frameExtents(WindowId window) const;
    bool isMaximized(WindowId window) const;
    // ICCCM's WM_STATE says iconic: minimised.
    bool isIconic(WindowId window) const;

    // Requests to the window manager, as a pager makes them (source indication 2), so that focus
    // stealing prevention does not hold them back.
    void requestCurrentDesktop(std::uint32_t desktop);
    void requestActivation(WindowId window);
    void requestUnmaximize(WindowId window);
    // x and y place the frame's top-left corner; width and height are the client window's.
    void requestMoveResize(WindowId window, long flags, long x, long y, long width, long height);

private:
    enum AtomName : std::size_t
    {
        netSupportingWmCheck,
        netClientList,
        netActiveWindow,
        netCurrentDesktop,
        netWmDesktop,
        netWmPid,
        netWmWindowType,
        netWmWindowTypeNormal,
        netWmState,
        netWmStateSkipTaskbar,
        netWmStateMaximizedVert,
        netWmStateMaximizedHorz,
        netFrameExtents,
        netMoveResizeWindow,
        wmState,
        atomCount
    };

    // Format-32 values of a property of the given type; empty when it is missing or of another type.
    std::vector<unsigned long> property32(WindowId window, unsigned long property, unsigned long type) const;
    std::optional<unsigned long> cardinal(WindowId window, unsigned long property) const;
    bool hasState(WindowId window, AtomName state) const;
    bool hasWmClass(WindowId window) const;
    void sendToRoot(WindowId window, AtomName messageType, long l0, long l1 = 0, long l2 = 0, long l3 = 0,
                    long l4 = 0);

    Display* m_display;
    WindowId m_root;
    std::vector<unsigned long> m_atoms;
    bool m_windowManager = false;
};

} // namespace loopwren
