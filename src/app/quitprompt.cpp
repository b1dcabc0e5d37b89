#include "quitprompt.h"

#include "dialogs.h"
#include "macroengine.h"
#include "texttable.h"

namespace loopwren {

QuitPrompt::QuitPrompt(MacroEngine& engine, Dialogs& dialogs, MacroFileDialogs::Clock clock)
    : m_engine(engine), m_dialogs(dialogs),
      m_clock(clock ? std::move(clock) : MacroFileDialogs::Clock(&MacroFileDialogs::currentSeconds))
{
}

QuitPrompt::Answer QuitPrompt::ask()
{
    // Whether a recording or a playback runs makes no difference.
    if (!m_engine.showCloseSavePrompt() || m_engine.recordedEvents().empty())
        return Answer::quit;

    const QString language = m_engine.language();
    const auto text = [&language](const char* key) {
        return TextTable::localized(QString::fromUtf8(key), language);
    };
    const int answer = m_dialogs.runMessageDialog(
        {text("Save Last Recording?"),
         text("You have recorded actions in your timeline. Would you like to save them before exiting?"),
         {text("Save"), text("Don't Save"), text("Cancel")}});
    if (answer == 1)
        return Answer::quit;
    if (answer != 0)
        return Answer::stay;

    const std::optional<QString> path = m_dialogs.runSaveFileDialog(
        {text("Export Macro"), QString(), MacroFileDialogs::defaultExportFileName(m_clock())});
    if (!path)
        return Answer::stay;
    return m_engine.saveMacro(*path) ? Answer::quit : Answer::stay;
}

} // namespace loopwren
