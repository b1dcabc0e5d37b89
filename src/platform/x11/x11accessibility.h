#pragma once

#include "accessibility.h"

#include <QUrl>

#include <functional>
#include <string>

namespace loopwren {

// On X11 there is no permission to grant: watching and replaying the desktop's input works in any X11
// session whose server offers XTEST and RECORD. A Wayland session offers neither to an X client, even
// through Xwayland, whatever its X server says; a request for trust there (or on a server without the
// extensions) opens a page that explains how to get to a session that works.
class X11Accessibility : public Accessibility
{
public:
    // Shows a page to the user; false when it could not be shown.
    using UrlOpener = std::function<bool(const QUrl&)>;

    // An empty display name means $DISPLAY; without an opener, openInBrowser() shows the page.
    explicit X11Accessibility(std::string displayName = {}, UrlOpener openUrl = {});

    bool isTrusted() override;
    void requestTrust() override;

    // XDG_SESSION_TYPE says wayland. (WAYLAND_DISPLAY alone proves nothing: nested compositors set it
    // inside X sessions, and a Wayland session without Xwayland fails the X checks anyway.)
    static bool isWaylandSession();
    // Writes the help page below the user's cache folder, where a browser can read it; its file URL,
    // or an empty URL when it cannot be written.
    static QUrl writeHelpPage();
    // Opens file, http and https URLs with the desktop's handler. Without a GUI application (the
    // command-line tool), or when that fails, prints the address for the user instead.
    static bool openInBrowser(const QUrl& url);

private:
    std::string m_displayName;
    UrlOpener m_openUrl;
};

} // namespace loopwren
