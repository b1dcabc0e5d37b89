#pragma once

#include <QString>
#include <functional>

namespace loopwren {

class Dialogs;
class MacroEngine;

// The Export and Import actions: a file dialog, then the engine's save or load. Their results are
// ignored here; the engine has logged any failure.
class MacroFileDialogs
{
public:
    using Clock = std::function<qint64()>; // whole seconds since 1970-01-01 UTC

    MacroFileDialogs(MacroEngine& engine, Dialogs& dialogs, Clock clock = {});

    // "macro_" + the seconds, truncated, + ".json".
    static QString defaultExportFileName(qint64 secondsSinceEpoch);
    static qint64 currentSeconds();
    QString defaultExportFileName() const { return defaultExportFileName(m_clock()); }

    void showExportDialog();
    void showImportDialog();

private:
    MacroEngine& m_engine;
    Dialogs& m_dialogs;
    Clock m_clock;
};

} // namespace loopwren
