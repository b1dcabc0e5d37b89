#pragma once

#include "platformservices.h"

#include <QUrl>

#include <functional>
#include <string>

namespace loopwren {

// What the front end contributes to the X11 services: how its own window hides and shows, and how a
// page is shown to the user. All are called on the main thread; empty ones do nothing, except openUrl,
// which then falls back to X11Accessibility::openInBrowser.
struct X11ServiceOptions
{
    // Minimise the main window; and restore, raise and activate it.
    std::function<void()> hideThisApplication;
    std::function<void()> showThisApplication;
    std::function<bool(const QUrl&)> openUrl;
    // Empty means $DISPLAY.
    std::string displayName;
};

// Fills the services the X11 desktop offers (input capture, synthetic input, global hotkeys, the
// accessibility check, other applications' windows) into services, leaving the ones already set: a
// front end that wants no hotkeys, say, sets the null service first. False when the X display cannot
// be opened (in a Wayland session without Xwayland, for one); then nothing is filled.
//
// Call it on the main thread once the Qt application object exists: the hotkeys and the input capture
// deliver on that thread's event loop.
bool addX11Services(PlatformServices& services, const X11ServiceOptions& options = {});

} // namespace loopwren
