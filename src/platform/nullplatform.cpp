#include "nullplatform.h"

#include "qsettingspreferencesstore.h"

namespace loopwren {

std::int32_t NullHotkeyService::registerHotkey(std::uint16_t, std::uint32_t, HotkeyIdentifier,
                                               Registration& registration)
{
    registration = m_next++;
    return 0;
}

void fillWithNullServices(PlatformServices& services)
{
    if (!services.preferences)
        services.preferences = std::make_unique<QSettingsPreferencesStore>();
    if (!services.hotkeys)
        services.hotkeys = std::make_unique<NullHotkeyService>();
    if (!services.accessibility)
        services.accessibility = std::make_unique<NullAccessibility>();
    if (!services.workspace)
        services.workspace = std::make_unique<NullWorkspace>();
    if (!services.updates)
        services.updates = std::make_unique<NullUpdateFetcher>();
    if (!services.input)
        services.input = std::make_unique<NullInputMonitor>();
    if (!services.posters)
        services.posters = std::make_unique<NullInputPosterFactory>();
}

} // namespace loopwren
