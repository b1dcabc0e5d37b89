#include "x11workspace.h"

#include "desktopentryindex.h"
#include "ewmhclient.h"
#include "primarymonitor.h"
#include "x11connection.h"
#include "x11inputposter.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace loopwren {
namespace {

// Window managers answer within milliseconds, and within a second or two on a machine busy with other
// work (openbox was seen to publish a restored window's borders more than a second late while both
// cores were taken); one that takes longer still gets the move.
constexpr auto kUnmaximizeTimeout = std::chrono::seconds(3);
constexpr auto kExtentsTimeout = std::chrono::seconds(3);
constexpr auto kPollInterval = std::chrono::milliseconds(10);
// Lengths beyond the largest coordinate could not be drawn or reached.
constexpr double kLongestWindow = 32767.0;

std::vector<WindowId> candidateWindows(const EwmhClient& ewmh)
{
    if (auto clients = ewmh.clientList())
        return std::move(*clients);
    return ewmh.topLevelWindows();
}

// The first window in list order of the process that owns the application's window, or, for a client
// that publishes no process id, of the same WM_CLASS.
std::optional<WindowId> firstWindowOf(const RunningApplication& application, const EwmhClient& ewmh)
{
    const std::vector<WindowId> windows = candidateWindows(ewmh);
    if (application.processId != 0) {
        const auto first = std::find_if(windows.begin(), windows.end(), [&](WindowId window) {
            return ewmh.processId(window) == application.processId;
        });
        return first == windows.end() ? std::nullopt : std::optional<WindowId>(*first);
    }
    const std::optional<WmClass> wmClass = ewmh.wmClass(application.handle);
    if (!wmClass)
        return std::nullopt;
    const auto first = std::find_if(windows.begin(), windows.end(),
                                    [&](WindowId window) { return ewmh.wmClass(window) == wmClass; });
    return first == windows.end() ? std::nullopt : std::optional<WindowId>(*first);
}

void waitUntilNotMaximized(Display* display, const EwmhClient& ewmh, WindowId window)
{
    const auto deadline = std::chrono::steady_clock::now() + kUnmaximizeTimeout;
    while (ewmh.isMaximized(window) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(kPollInterval);
        XSync(display, False);
    }
}

// The manager publishes the restored frame's borders a moment after the restored state; sizing against
// the borderless extents of the maximised frame would leave the frame too large by its borders. A
// manager that keeps the same borders costs the timeout, once, and only for a maximised window.
void waitUntilExtentsChange(Display* display, const EwmhClient& ewmh, WindowId window,
                            const FrameExtents& maximized)
{
    const auto deadline = std::chrono::steady_clock::now() + kExtentsTimeout;
    while (ewmh.frameExtents(window) == maximized && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(kPollInterval);
        XSync(display, False);
    }
}

} // namespace

X11Workspace::X11Workspace(std::string displayName) : m_displayName(std::move(displayName)) {}

std::vector<RunningApplication> X11Workspace::runningApplications()
{
    std::vector<RunningApplication> applications;
    const auto connection = X11Connection::open(m_displayName);
    if (!connection)
        return applications;
    const EwmhClient ewmh(connection->display());
    const DesktopEntryIndex entries = DesktopEntryIndex::fromEnvironment();
    for (const WindowId window : candidateWindows(ewmh)) {
        if (!ewmh.isListedInTaskbar(window))
            continue;
        RunningApplication application;
        if (const std::optional<WmClass> wmClass = ewmh.wmClass(window)) {
            const QString instance = QString::fromLocal8Bit(wmClass->instance);
            const QString className = QString::fromLocal8Bit(wmClass->className);
            application.name = entries.nameFor(instance, className);
            if (!application.name && !className.isEmpty())
                application.name = className;
        }
        application.processId = ewmh.processId(window);
        application.handle = window;
        applications.push_back(std::move(application));
    }
    return applications;
}

void X11Workspace::activate(const RunningApplication& application)
{
    const auto connection = X11Connection::open(m_displayName);
    if (!connection)
        return;
    Display* const display = connection->display();
    EwmhClient ewmh(display);
    const WindowId window = application.handle;
    if (!ewmh.exists(window))
        return;
    if (ewmh.hasWindowManager()) {
        // Activating a window on another desktop would leave the user looking at the wrong one, or, with
        // some managers, move the window over; switching first is what a pager does.
        const std::optional<std::uint32_t> desktop = ewmh.desktopOf(window);
        const std::optional<std::uint32_t> current = ewmh.currentDesktop();
        if (desktop && current && *desktop != EwmhClient::allDesktops && *desktop != *current)
            ewmh.requestCurrentDesktop(*desktop);
        // ICCCM's request to leave the iconic state; managers that deiconify on activation anyway
        // ignore it.
        if (ewmh.isIconic(window))
            XMapWindow(display, window);
        ewmh.requestActivation(window);
    } else {
        XMapRaised(display, window);
        XSync(display, False);
        // Focus on a window that is not viewable is a protocol error, so it is asked for only once the
        // window shows.
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable)
            XSetInputFocus(display, window, RevertToParent, CurrentTime);
    }
    XSync(display, False);
}

std::optional<int> X11Workspace::windowLength(double value)
{
    if (std::isnan(value))
        return std::nullopt;
    return static_cast<int>(std::lround(std::clamp(value, 1.0, kLongestWindow)));
}

void X11Workspace::placeFirstWindow(const RunningApplication& application, const WindowFrame& frame)
{
    const auto connection = X11Connection::open(m_displayName);
    if (!connection)
        return;
    Display* const display = connection->display();
    EwmhClient ewmh(display);
    const std::optional<WindowId> window = firstWindowOf(application, ewmh);
    if (!window)
        return;

    const ScreenOrigin origin = PrimaryMonitor::query(display);
    std::optional<int> x;
    std::optional<int> y;
    if (frame.x && frame.y) {
        x = X11InputPoster::rootCoordinate(origin.x, *frame.x);
        y = X11InputPoster::rootCoordinate(origin.y, *frame.y);
    }
    std::optional<int> width;
    std::optional<int> height;
    if (frame.width && frame.height) {
        width = windowLength(*frame.width);
        height = windowLength(*frame.height);
    }
    const bool move = x && y;
    const bool resize = width && height;
    if (!move && !resize)
        return;

    if (!ewmh.hasWindowManager()) {
        // No frames without a window manager: the client is the whole window.
        if (move)
            XMoveWindow(display, *window, *x, *y);
        if (resize)
            XResizeWindow(display, *window, static_cast<unsigned>(*width), static_cast<unsigned>(*height));
        XSync(display, False);
        return;
    }

    // A maximised window ignores moves and sizes, and its frame is drawn without borders, so the
    // extents are read only once the manager has restored it.
    if (ewmh.isMaximized(*window)) {
        const FrameExtents maximized = ewmh.frameExtents(*window);
        ewmh.requestUnmaximize(*window);
        XSync(display, False);
        waitUntilNotMaximized(display, ewmh, *window);
        // Managers drop only some borders when maximising (openbox keeps the title bar), so any
        // change counts, not only a change from none.
        waitUntilExtentsChange(display, ewmh, *window, maximized);
    }
    // Position first, as the user would drag before resizing: a manager that keeps windows within the
    // monitor they are on then measures the size against the right monitor.
    if (move)
        ewmh.requestMoveResize(*window, EwmhClient::moveResizeX | EwmhClient::moveResizeY, *x, *y, 0, 0);
    if (resize) {
        const FrameExtents extents = ewmh.frameExtents(*window);
        const long clientWidth = std::max(1L, *width - extents.left - extents.right);
        const long clientHeight = std::max(1L, *height - extents.top - extents.bottom);
        ewmh.requestMoveResize(*window, EwmhClient::moveResizeWidth | EwmhClient::moveResizeHeight, 0, 0,
                               clientWidth, clientHeight);
        XSync(display, False);
        // Borders published after the request was sized (a manager still redecorating a restored
        // window) would leave the frame off by their width: size once more against the new ones.
        const FrameExtents settled = ewmh.frameExtents(*window);
        if (settled != extents) {
            ewmh.requestMoveResize(*window, EwmhClient::moveResizeWidth | EwmhClient::moveResizeHeight, 0, 0,
                                   std::max(1L, *width - settled.left - settled.right),
                                   std::max(1L, *height - settled.top - settled.bottom));
        }
    }
    XSync(display, False);
}

} // namespace loopwren
