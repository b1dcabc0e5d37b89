#pragma once

#include "hotkey.h"
#include "libraryentry.h"
#include "userschedules.h"

#include <QObject>
#include <QString>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>
#include <map>
#include <optional>

namespace loopwren {

class ContentViewState;
class Dialogs;
class HotkeyCapture;
class MacroEngine;

// The Library page: the engine's library as rows the page shows, the filter, the chosen macro and the
// actions on it. Every decision is taken here; the page only lays out.
class LibraryState : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Created with the engine by the application")
    // One map per macro that passes the filter: name, events, duration, hotkey, nextRun, problem,
    // playing (bool).
    Q_PROPERTY(QVariantList rows READ rows NOTIFY rowsChanged)
    Q_PROPERTY(QString filter READ filter WRITE setFilter NOTIFY rowsChanged)
    // The chosen row among those shown; -1: none.
    Q_PROPERTY(int current READ current NOTIFY rowsChanged)
    Q_PROPERTY(bool hasCurrent READ hasCurrent NOTIFY rowsChanged)
    Q_PROPERTY(bool currentPlaying READ currentPlaying NOTIFY rowsChanged)
    // Whether the current macro can be opened, played, or its hotkey set (a broken file cannot).
    Q_PROPERTY(bool currentLoads READ currentLoads NOTIFY rowsChanged)
    Q_PROPERTY(bool capturing READ capturing NOTIFY captureChanged)
    // Why schedules cannot be kept, in the interface language; empty where they can.
    Q_PROPERTY(QString scheduleProblem READ scheduleProblem NOTIFY scheduleProblemChanged)
    // What the last action could not do, as it stands (a name clash, the system's reason); empty: nothing.
    Q_PROPERTY(QString message READ message NOTIFY messageChanged)
    Q_PROPERTY(bool pageInFront READ pageInFront WRITE setPageInFront NOTIFY pageInFrontChanged)
    Q_PROPERTY(QStringList recentFiles READ recentFiles NOTIFY recentFilesChanged)

public:
    LibraryState(MacroEngine& engine, ContentViewState& view, HotkeyCapture& capture, Dialogs& dialogs,
                 QObject* parent = nullptr);

    QVariantList rows() const { return m_rows; }
    QString filter() const { return m_filter; }
    void setFilter(const QString& filter);
    int current() const;
    bool hasCurrent() const { return current() >= 0; }
    bool currentPlaying() const;
    bool currentLoads() const;
    bool capturing() const;
    QString scheduleProblem() const;
    QString message() const { return m_message; }
    bool pageInFront() const { return m_pageInFront; }
    void setPageInFront(bool inFront);
    QStringList recentFiles() const;
    // The loopwren-cli the schedules run: the one beside this program, else the one on the PATH.
    static QString cliPath();

    Q_INVOKABLE void choose(int row);
    Q_INVOKABLE void playAction();
    Q_INVOKABLE void openAction();
    Q_INVOKABLE void renameAction();
    Q_INVOKABLE void duplicateAction();
    Q_INVOKABLE void deleteAction();
    Q_INVOKABLE void hotkeyAction();
    Q_INVOKABLE void scheduleAction();
    // The timeline page's Save to Library.
    Q_INVOKABLE void saveTimelineAction();
    // The Import menu's recent files.
    Q_INVOKABLE void openRecentAction(int index);
    Q_INVOKABLE void dismissMessage() { say({}); }

signals:
    void rowsChanged();
    void captureChanged();
    void scheduleProblemChanged();
    void messageChanged();
    void pageInFrontChanged();
    void recentFilesChanged();

private:
    void rebuild();
    const LibraryEntry* currentEntry() const;
    QString text(const char* key) const;
    void say(const QString& message);
    // Asks whether to save a timeline not saved yet; false when the user cancelled.
    bool offerToSaveTimeline();
    void applyHotkey(const QString& file, const Hotkey& hotkey);
    QString nextRunText(const LibraryEntry& entry) const;
    // Why a macro cannot take the name (empty, or another macro's), in the interface language; the
    // library refuses these too, in the English the command line shows.
    QString nameProblem(const QString& name, const QString& keptFile) const;
    // Asks the user's manager, without waiting, when each scheduled macro runs next; the answers
    // arrive later and redraw the list.
    void askNextRuns();

    MacroEngine& m_engine;
    ContentViewState& m_view;
    HotkeyCapture& m_capture;
    Dialogs& m_dialogs;
    UserSchedules m_schedules;
    mutable std::optional<QString> m_scheduleProblem; // asked of the user's manager once
    // What the manager last said of each unit, and of which schedule: the list is redrawn far more
    // often (a filter key, a playback's start) than schedules change, and asking takes a process.
    struct NextRun
    {
        MacroSchedule schedule;
        std::optional<QDateTime> at;
    };
    std::map<QString, NextRun> m_nextRuns;
    std::map<QString, const QObject*> m_askingNextRun; // the latest question per unit
    QVariantList m_rows;
    QStringList m_rowFiles; // the file of each row shown
    QString m_filter;
    QString m_currentFile;
    QString m_message;
    bool m_pageInFront = false;
    // The timeline as it was last saved or read from a file, so Open asks only when work would be lost.
    bool m_timelineSaved = true;
    bool m_loadPending = false;
    bool m_forgettingRecentFile = false;
};

} // namespace loopwren
