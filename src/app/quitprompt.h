#pragma once

#include "macrofiledialogs.h"

namespace loopwren {

class Dialogs;
class MacroEngine;

// The question asked before the application quits: the user may save a non-empty timeline first; a
// cancelled or failed save keeps the application running.
class QuitPrompt
{
public:
    enum class Answer
    {
        quit,
        stay
    };

    QuitPrompt(MacroEngine& engine, Dialogs& dialogs, MacroFileDialogs::Clock clock = {});

    Answer ask();

private:
    MacroEngine& m_engine;
    Dialogs& m_dialogs;
    MacroFileDialogs::Clock m_clock;
};

} // namespace loopwren
