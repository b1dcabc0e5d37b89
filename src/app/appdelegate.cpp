#include "appdelegate.h"

#include "dialogs.h"
#include "macroengine.h"
#include "texttable.h"

namespace loopwren {

AppDelegate::AppDelegate(Dialogs& dialogs, MacroPanels::Clock clock)
    : m_dialogs(dialogs), m_clock(clock ? std::move(clock) : MacroPanels::Clock(&MacroPanels::currentSeconds))
{
}

AppDelegate::TerminateReply AppDelegate::applicationShouldTerminate()
{
    MacroEngine* engine = MacroEngine::shared();
    if (!engine)
        return TerminateReply::now;
    // Whether a recording or a playback runs makes no difference.
    if (!engine->showCloseSavePrompt() || engine->recordedEvents().empty())
        return TerminateReply::now;

    const QString language = engine->language();
    const auto choose = [&language](const char* english, const char* indonesian) {
        return TextTable::choose(language, QString::fromUtf8(english), QString::fromUtf8(indonesian));
    };
    const int answer = m_dialogs.runAlert(
        {choose("Save Last Recording?", "Simpan Rekaman Terakhir?"),
         choose("You have recorded actions in your timeline. Would you like to save them before exiting?",
                "Anda memiliki rekaman aksi di linimasa. Apakah Anda ingin menyimpannya sebelum keluar?"),
         {choose("Save", "Simpan"), choose("Don't Save", "Jangan Simpan"), choose("Cancel", "Batal")}});
    if (answer == 1)
        return TerminateReply::now;
    if (answer != 0)
        return TerminateReply::cancel;

    const std::optional<QString> path = m_dialogs.runSavePanel(
        {choose("Export Macro", "Ekspor Makro"), QString(), MacroPanels::defaultExportFileName(m_clock())});
    if (!path)
        return TerminateReply::cancel;
    // The panel ran its own event loop; the engine is still the one the application keeps.
    return engine->saveMacro(*path) ? TerminateReply::now : TerminateReply::cancel;
}

} // namespace loopwren
