#pragma once

#include "macropanels.h"

namespace loopwren {

class Dialogs;

// The application's answers about quitting. Closing the last window quits, and before quitting the user
// may save a non-empty timeline; a cancelled or failed save keeps the application running.
class AppDelegate
{
public:
    enum class TerminateReply
    {
        now,
        cancel
    };

    explicit AppDelegate(Dialogs& dialogs, MacroPanels::Clock clock = {});

    static bool applicationShouldTerminateAfterLastWindowClosed() { return true; }
    // Runs the quit prompt on the engine the application runs on (MacroEngine::shared()).
    TerminateReply applicationShouldTerminate();

private:
    Dialogs& m_dialogs;
    MacroPanels::Clock m_clock;
};

} // namespace loopwren
