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

    int runAlert(const Alert& alert) override;
    std::optional<QString> runSavePanel(const SavePanel& panel) override;
    std::optional<QString> runOpenPanel(const OpenPanel& panel) override;
    std::optional<QString> runTextInput(const TextInput& input) override;
    std::optional<MacroSchedule> runScheduleDialog(const ScheduleDialog& dialog) override;

private:
    QPointer<QWindow> m_window;
};

} // namespace loopwren
