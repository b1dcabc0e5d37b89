#include "modaldialogs.h"

#include "mainqueue.h"

namespace loopwren {

int ModalDialogs::runMessageDialog(const MessageDialog& request)
{
    const mainqueue::ModalScope open;
    return m_dialogs.runMessageDialog(request);
}

std::optional<QString> ModalDialogs::runSaveFileDialog(const SaveFileDialog& request)
{
    const mainqueue::ModalScope open;
    return m_dialogs.runSaveFileDialog(request);
}

std::optional<QString> ModalDialogs::runOpenFileDialog(const OpenFileDialog& request)
{
    const mainqueue::ModalScope open;
    return m_dialogs.runOpenFileDialog(request);
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
