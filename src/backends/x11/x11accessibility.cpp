#include "x11accessibility.h"

#include "helppage.h"
#include "sessiontype.h"
#include "x11connection.h"

#include <X11/Xlib.h>

namespace loopwren {
namespace {

bool hasExtension(Display* display, const char* name)
{
    int opcode = 0;
    int eventBase = 0;
    int errorBase = 0;
    return XQueryExtension(display, name, &opcode, &eventBase, &errorBase) != 0;
}

} // namespace

X11Accessibility::X11Accessibility(std::string displayName, UrlOpener openUrl)
    : m_displayName(std::move(displayName)), m_openUrl(std::move(openUrl))
{
}

bool X11Accessibility::isInputAccessGranted()
{
    return !sessiontype::isWayland() && missingExtensions().isEmpty();
}

QStringList X11Accessibility::missingExtensions() const
{
    QStringList missing;
    const auto connection = X11Connection::open(m_displayName);
    for (const char* name : {"XTEST", "RECORD"}) {
        if (!connection || !hasExtension(connection->display(), name))
            missing << QLatin1String(name);
    }
    return missing;
}

void X11Accessibility::requestInputAccess()
{
    helppage::show(QStringLiteral(":/loopwren/x11/x11-access.html"), QStringLiteral("x11-access.html"),
                   m_openUrl, "access needs an X11 session with the XTEST and RECORD extensions");
}

} // namespace loopwren
