#pragma once

#include "dialogs.h"

namespace loopwren {

// The dialogs as the application shows them: while one is open, the engine's queued work
// that would start a recording or playback or change the timeline waits for it to close (a dialog
// runs a nested event loop, in which that work would otherwise run beneath it).
class ModalDialogs : public Dialogs
{
public:
    explicit ModalDialogs(Dialogs& dialogs) : m_dialogs(dialogs) {}

    int runMessageDialog(const MessageDialog& request) override;
    std::optional<QString> runSaveFileDialog(const SaveFileDialog& request) override;
    std::optional<QString> runOpenFileDialog(const OpenFileDialog& request) override;
    std::optional<QString> runTextInput(const TextInput& input) override;
    std::optional<MacroSchedule> runScheduleDialog(const ScheduleDialog& dialog) override;

private:
    Dialogs& m_dialogs;
};

} // namespace loopwren
