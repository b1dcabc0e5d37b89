#include "macrofiledialogs.h"

#include "dialogs.h"
#include "macroengine.h"

#include <QDateTime>

namespace loopwren {

MacroFileDialogs::MacroFileDialogs(MacroEngine& engine, Dialogs& dialogs, Clock clock)
    : m_engine(engine), m_dialogs(dialogs),
      m_clock(clock ? std::move(clock) : Clock(&MacroFileDialogs::currentSeconds))
{
}

QString MacroFileDialogs::defaultExportFileName(qint64 secondsSinceEpoch)
{
    return QStringLiteral("macro_") + QString::number(secondsSinceEpoch) + QStringLiteral(".json");
}

qint64 MacroFileDialogs::currentSeconds()
{
    // Integer division truncates towards zero, as the name requires.
    return QDateTime::currentMSecsSinceEpoch() / 1000;
}

void MacroFileDialogs::showExportDialog()
{
    // These dialog texts stay English whatever the interface language.
    const std::optional<QString> path = m_dialogs.runSaveFileDialog(
        {QStringLiteral("Export Macro"), QStringLiteral("Choose a path to write the macro script file."),
         defaultExportFileName()});
    if (path && m_engine.saveMacro(*path))
        m_engine.addRecentFile(*path);
}

void MacroFileDialogs::showImportDialog()
{
    const std::optional<QString> path = m_dialogs.runOpenFileDialog(
        {QStringLiteral("Import Macro"), QStringLiteral("Choose a macro file to read from.")});
    if (path && m_engine.loadMacro(*path))
        m_engine.addRecentFile(*path);
}

} // namespace loopwren
