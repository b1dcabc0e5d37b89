#include "modaldialogs.h"

#include "mainqueue.h"

namespace loopwren {

int ModalDialogs::runAlert(const Alert& alert)
{
    const mainqueue::ModalScope open;
    return m_dialogs.runAlert(alert);
}

std::optional<QString> ModalDialogs::runSavePanel(const SavePanel& panel)
{
    const mainqueue::ModalScope open;
    return m_dialogs.runSavePanel(panel);
}

std::optional<QString> ModalDialogs::runOpenPanel(const OpenPanel& panel)
{
    const mainqueue::ModalScope open;
    return m_dialogs.runOpenPanel(panel);
}

std::optional<QString> ModalDialogs::runTextInput(const TextInput& input)
{
    const mainqueue::ModalScope open;
    return m_dialogs.runTextInput(input);
}

std::optional<MacroSchedule> ModalDialogs::runScheduleDialog(const ScheduleDialog& dialog)
{
    const mainqueue::ModalScope open;
    return m_dialogs.runScheduleDialog(dialog);
}

} // namespace loopwren
