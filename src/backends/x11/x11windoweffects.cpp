#include "x11windoweffects.h"

#include "x11connection.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace loopwren {

bool X11WindowEffects::isCompositing(const std::string& displayName)
{
    const auto connection = X11Connection::open(displayName);
    if (!connection)
        return false;
    Display* display = connection->display();
    // A compositing manager owns the selection _NET_WM_CM_S<screen> for as long as it runs.
    const std::string name = "_NET_WM_CM_S" + std::to_string(DefaultScreen(display));
    const Atom selection = XInternAtom(display, name.c_str(), False);
    return XGetSelectionOwner(display, selection) != None;
}

bool X11WindowEffects::lacksDirectRendering(const std::string& displayName)
{
    const auto connection = X11Connection::open(displayName);
    if (!connection)
        return false;
    int opcode = 0;
    int event = 0;
    int error = 0;
    Display* display = connection->display();
    return !XQueryExtension(display, "DRI3", &opcode, &event, &error) &&
           !XQueryExtension(display, "DRI2", &opcode, &event, &error);
}

void X11WindowEffects::requestBlurBehind(std::uint64_t windowId, const std::string& displayName)
{
    const auto connection = X11Connection::open(displayName);
    if (!connection || windowId == 0)
        return;
    Display* display = connection->display();
    // An empty region means the whole window.
    const Atom blur = XInternAtom(display, "_KDE_NET_WM_BLUR_BEHIND_REGION", False);
    XChangeProperty(display, static_cast<Window>(windowId), blur, XA_CARDINAL, 32, PropModeReplace, nullptr,
                    0);
    XSync(display, False);
}

} // namespace loopwren
