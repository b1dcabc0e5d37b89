#include "nullplatform.h"

#include "memorypreferencesstore.h"

namespace loopwren {

ServiceResult NullHotkeyService::bind(const HotkeyRole&, const Hotkey&, Pressed, Binding& binding)
{
    binding = m_next++;
    return ServiceResult::done();
}

ServiceResult NullHotkeyService::holdKeyboard()
{
    return ServiceResult::refused(-1, QStringLiteral("this desktop offers no way to hold the keyboard"));
}

void fillWithNullServices(PlatformServices& services)
{
    if (!services.preferences)
        services.preferences = std::make_unique<MemoryPreferencesStore>();
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
    if (!services.userInput)
        services.userInput = std::make_unique<NullUserInputWatch>();
    if (!services.ownWindow)
        services.ownWindow = std::make_unique<NullOwnWindow>();
}

} // namespace loopwren
