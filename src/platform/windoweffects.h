#pragma once

#include <QWindow>
#include <functional>

namespace loopwren {

// What the desktop offers the window: its backdrop, and whether it comes back once hidden. Without a
// compositing manager a window cannot be translucent, and the window draws its opaque dark-glass look
// instead. Filled by the desktop-specific layer; the defaults describe a desktop that offers nothing
// beyond what every window system but Wayland's does.
struct WindowEffects
{
    std::function<bool()> isCompositing = [] { return false; };
    // Asks the window manager to blur what lies behind the window, where it can.
    std::function<void(QWindow&)> requestBlurBehind = [](QWindow&) {};
    // OpenGL would only be emulated on the processor: Qt Quick's own software renderer then draws far
    // less, repainting only what changed, which leaves the processor to a running playback.
    std::function<bool()> rendersInSoftware = [] { return false; };
    // Whether the application can bring its window back once it minimised it: a Wayland client cannot.
    bool restoresMinimizedWindow = true;
};

} // namespace loopwren
