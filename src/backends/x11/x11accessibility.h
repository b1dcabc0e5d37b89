#pragma once

#include "accessibility.h"
#include "helppage.h"

#include <QStringList>

#include <string>

namespace loopwren {

// On X11 there is no permission to grant: watching and replaying the desktop's input works in any X11
// session whose server offers XTEST and RECORD. A Wayland session offers neither to an X client, even
// through Xwayland, whatever its X server says; a request for input access there (or on a server without the
// extensions) opens a page that explains how to get to a session that works.
class X11Accessibility : public Accessibility
{
public:
    using UrlOpener = helppage::UrlOpener;

    // An empty display name means $DISPLAY; without an opener, helppage::openInBrowser() shows the page.
    explicit X11Accessibility(std::string displayName = {}, UrlOpener openUrl = {});

    bool isInputAccessGranted() override;
    // Which of XTEST and RECORD the X server lacks (both when it cannot be reached).
    QStringList missingExtensions() const;
    void requestInputAccess() override;

private:
    std::string m_displayName;
    UrlOpener m_openUrl;
};

} // namespace loopwren
