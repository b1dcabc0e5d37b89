#include "x11services.h"

#include "x11accessibility.h"
#include "x11connection.h"
#include "x11hotkeyservice.h"
#include "x11inputmonitor.h"
#include "x11inputposterfactory.h"
#include "x11workspace.h"

namespace loopwren {

bool addX11Services(PlatformServices& services, const X11ServiceOptions& options)
{
    if (!X11Connection::open(options.displayName))
        return false;
    if (!services.input)
        services.input = std::make_unique<X11InputMonitor>(options.displayName);
    if (!services.posters)
        services.posters = std::make_unique<X11InputPosterFactory>(options.displayName);
    if (!services.hotkeys)
        services.hotkeys = std::make_unique<X11HotkeyService>(options.displayName);
    if (!services.accessibility)
        services.accessibility = std::make_unique<X11Accessibility>(options.displayName, options.openUrl);
    if (!services.workspace) {
        auto workspace = std::make_unique<X11Workspace>(options.displayName);
        workspace->setVisibilityHooks(options.hideThisApplication, options.showThisApplication);
        services.workspace = std::move(workspace);
    }
    return true;
}

} // namespace loopwren
