#pragma once

#include "accessibility.h"
#include "hotkeyservice.h"
#include "inputmonitor.h"
#include "inputposter.h"
#include "ownwindow.h"
#include "preferencesstore.h"
#include "updatefetcher.h"
#include "userinputwatch.h"
#include "workspace.h"

#include <memory>

namespace loopwren {

// Everything the engine needs from the desktop. A missing service is replaced by its null form.
struct PlatformServices
{
    std::unique_ptr<PreferencesStore> preferences;
    std::unique_ptr<HotkeyService> hotkeys;
    std::unique_ptr<Accessibility> accessibility;
    std::unique_ptr<Workspace> workspace;
    std::unique_ptr<UpdateFetcher> updates;
    std::unique_ptr<InputMonitor> input;
    std::unique_ptr<InputPosterFactory> posters;
    std::unique_ptr<UserInputWatch> userInput;
    // Set by the front end that has a window, never by a backend.
    std::unique_ptr<OwnWindow> ownWindow;
};

} // namespace loopwren
