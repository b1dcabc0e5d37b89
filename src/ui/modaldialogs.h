#pragma once

#include "dialogs.h"

namespace loopwren {

// The panels and alerts as the application shows them: while one is open, the engine's queued work
// that would start a recording or playback or change the timeline waits for it to close (a dialog
// runs a nested event loop, in which that work would otherwise run beneath it).
class ModalDialogs : public Dialogs
{
public:
    explicit ModalDialogs(Dialogs& dialogs) : m_dialogs(dialogs) {}

    int runAlert(const Alert& alert) override;
    std::optional<QString> runSavePanel(const SavePanel& panel) override;
    std::optional<QString> runOpenPanel(const OpenPanel& panel) override;
    std::optional<QString> runTextInput(const TextInput& input) override;
    std::optional<MacroSchedule> runScheduleDialog(const ScheduleDialog& dialog) override;

private:
    Dialogs& m_dialogs;
};

} // namespace loopwren
