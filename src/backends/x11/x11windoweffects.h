#pragma once

#include <cstdint>
#include <string>

namespace loopwren {

// What the window manager offers a translucent window: whether a compositing manager runs on the
// screen, and a request that it blur what lies behind a window (honoured by KWin and by compositors
// that follow its hint; ignored elsewhere, where the window stays merely translucent).
class X11WindowEffects
{
public:
    static bool isCompositing(const std::string& displayName = {});
    // The server offers clients no direct rendering (no DRI2 or DRI3: Xvfb, Xvnc, xrdp and most
    // virtual machines), so OpenGL would be emulated on the processor.
    static bool lacksDirectRendering(const std::string& displayName = {});
    static void requestBlurBehind(std::uint64_t windowId, const std::string& displayName = {});
};

} // namespace loopwren
