#pragma once

#include "dialogs.h"

#include <QPointer>
#include <QWindow>

namespace loopwren {

// Qt's own file dialogs and message box, modal over the main window.
class QtDialogs : public Dialogs
{
public:
    void setParentWindow(QWindow* window) { m_window = window; }

    int runMessageDialog(const MessageDialog& request) override;
    std::optional<QString> runSaveFileDialog(const SaveFileDialog& request) override;
    std::optional<QString> runOpenFileDialog(const OpenFileDialog& request) override;
    std::optional<QString> runTextInput(const TextInput& input) override;
    std::optional<MacroSchedule> runScheduleDialog(const ScheduleDialog& dialog) override;

private:
    QPointer<QWindow> m_window;
};

} // namespace loopwren
