#include "librarystate.h"

#include "contentviewstate.h"
#include "dialogs.h"
#include "eventrowtext.h"
#include "eventtext.h"
#include "hotkeycapture.h"
#include "macroengine.h"
#include "macrofiledialogs.h"
#include "scheduleunits.h"
#include "texttable.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <algorithm>

namespace loopwren {

LibraryState::LibraryState(MacroEngine& engine, ContentViewState& view, HotkeyCapture& capture, Dialogs& dialogs,
                           QObject* parent)
    : QObject(parent), m_engine(engine), m_view(view), m_capture(capture), m_dialogs(dialogs)
{
    for (auto signal : {&MacroEngine::libraryChanged, &MacroEngine::languageChanged,
                        &MacroEngine::playingLibraryMacroChanged, &MacroEngine::isPlayingChanged})
        connect(&m_engine, signal, this, &LibraryState::rebuild);
    connect(&m_engine, &MacroEngine::languageChanged, this, &LibraryState::scheduleProblemChanged);
    connect(&m_engine, &MacroEngine::recentFilesChanged, this, [this] {
        // A file was just written from the timeline, or is about to replace it (unless one that is gone
        // was taken off the list).
        if (!m_forgettingRecentFile) {
            m_timelineSaved = true;
            m_loadPending = true;
        }
        emit recentFilesChanged();
    });
    connect(&m_engine, &MacroEngine::timelineChanged, this, [this](const TimelineChange& change) {
        m_timelineSaved = m_loadPending && change.kind == TimelineChange::Kind::replaced;
        m_loadPending = false;
    });
    connect(&m_capture, &HotkeyCapture::recordingHotkeyForChanged, this, &LibraryState::captureChanged);
    connect(&m_engine, &MacroEngine::libraryChanged, this, &LibraryState::askNextRuns);
    rebuild();
    askNextRuns();
}

QString LibraryState::text(const char* key) const
{
    return TextTable::localized(QString::fromUtf8(key), m_engine.language());
}

void LibraryState::say(const QString& message)
{
    m_message = message;
    emit messageChanged();
}

void LibraryState::setFilter(const QString& filter)
{
    m_filter = filter;
    rebuild();
}

int LibraryState::current() const { return static_cast<int>(m_rowFiles.indexOf(m_currentFile)); }

const LibraryEntry* LibraryState::currentEntry() const
{
    if (m_currentFile.isEmpty() || current() < 0)
        return nullptr;
    for (const LibraryEntry& entry : m_engine.library().entries()) {
        if (entry.file == m_currentFile)
            return &entry;
    }
    return nullptr;
}

bool LibraryState::currentPlaying() const
{
    const LibraryEntry* entry = currentEntry();
    return entry && m_engine.isPlaying() && m_engine.playingLibraryMacro() == entry->name;
}

bool LibraryState::currentLoads() const
{
    const LibraryEntry* entry = currentEntry();
    return entry && entry->loadError.isEmpty();
}

bool LibraryState::capturing() const { return m_capture.isCapturingOther(); }

QString LibraryState::scheduleProblem() const
{
    if (!m_scheduleProblem) {
        const UserSchedules::ManagerState state = m_schedules.managerState();
        m_scheduleProblem = state.keepsTimers ? QString() : state.said.isEmpty() ? QStringLiteral("?") : state.said;
    }
    if (m_scheduleProblem->isEmpty())
        return {};
    return text("Schedules unavailable: %1")
        .arg(text("no systemd user manager runs for this session (%1)").arg(*m_scheduleProblem));
}

QStringList LibraryState::recentFiles() const { return m_engine.recentFiles(); }

QString LibraryState::nextRunText(const LibraryEntry& entry) const
{
    if (entry.schedule.kind == MacroSchedule::Kind::none)
        return text("Not scheduled");
    // Only a manager that runs knows when; without one the schedule is not kept.
    if (!scheduleProblem().isEmpty())
        return text("No next run");
    const auto known = m_nextRuns.find(scheduleunits::unitName(entry));
    if (known == m_nextRuns.end() || known->second.schedule != entry.schedule)
        return QStringLiteral("—"); // asked, not answered yet
    return known->second.at ? known->second.at->toString(QStringLiteral("yyyy-MM-dd HH:mm")) : text("No next run");
}

void LibraryState::askNextRuns()
{
    if (!scheduleProblem().isEmpty())
        return;
    for (const LibraryEntry& entry : m_engine.library().entries()) {
        if (entry.schedule.kind == MacroSchedule::Kind::none)
            continue;
        const QString unit = scheduleunits::unitName(entry);
        auto* process = new QProcess(this);
        m_askingNextRun[unit] = process;
        const auto answered = [this, process, unit, schedule = entry.schedule] {
            process->deleteLater();
            if (m_askingNextRun[unit] != process)
                return; // a later question is under way
            m_askingNextRun.erase(unit);
            const bool ok = process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
            m_nextRuns[unit] = {schedule, ok ? UserSchedules::readNextRun(QString::fromUtf8(process->readAllStandardOutput()))
                                             : std::nullopt};
            rebuild();
        };
        connect(process, &QProcess::finished, this, answered);
        connect(process, &QProcess::errorOccurred, this, [process, answered](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                answered();
        });
        process->start(QStringLiteral("busctl"), UserSchedules::nextRunQuery(unit));
    }
}

void LibraryState::rebuild()
{
    const QString language = m_engine.language();
    const QString playing = m_engine.isPlaying() ? m_engine.playingLibraryMacro() : QString();
    m_rows.clear();
    m_rowFiles.clear();
    std::vector<const LibraryEntry*> shown;
    for (const LibraryEntry& entry : m_engine.library().entries()) {
        if (entry.name.contains(m_filter.trimmed(), Qt::CaseInsensitive))
            shown.push_back(&entry);
    }
    std::sort(shown.begin(), shown.end(), [](const LibraryEntry* a, const LibraryEntry* b) {
        return QString::compare(a->name, b->name, Qt::CaseInsensitive) < 0;
    });
    for (const LibraryEntry* listed : shown) {
        const LibraryEntry& entry = *listed;
        const double speed = entry.playbackSpeed > 0 ? entry.playbackSpeed : 100.0;
        const bool loads = entry.loadError.isEmpty();
        m_rows.append(QVariantMap{
            {QStringLiteral("name"), entry.name},
            {QStringLiteral("events"), loads ? rowtext::eventCount(static_cast<qsizetype>(entry.eventCount), language)
                                             : QStringLiteral("—")},
            {QStringLiteral("duration"),
             loads ? QString::asprintf("%.1f s", entry.duration * 100.0 / speed) : QStringLiteral("—")},
            {QStringLiteral("hotkey"), entry.hotkey == Hotkey::unset() ? QStringLiteral("—")
                                                                       : QString::fromStdString(displayText(entry.hotkey))},
            {QStringLiteral("nextRun"), nextRunText(entry)},
            {QStringLiteral("problem"),
             entry.loadError.isEmpty() ? QString() : text("Cannot be loaded: %1").arg(entry.loadError)},
            {QStringLiteral("playing"), !playing.isEmpty() && playing == entry.name},
        });
        m_rowFiles << entry.file;
    }
    emit rowsChanged();
}

void LibraryState::choose(int row)
{
    m_currentFile = m_rowFiles.value(row);
    emit rowsChanged();
}

void LibraryState::setPageInFront(bool inFront)
{
    if (inFront == m_pageInFront)
        return;
    m_pageInFront = inFront;
    // Files dropped into the folder by hand appear when the page is shown again.
    if (inFront)
        m_engine.changeLibrary([](MacroLibrary& library) { library.reload(); return QString(); });
    else if (capturing())
        m_capture.cancel();
    emit pageInFrontChanged();
}

void LibraryState::playAction()
{
    if (const LibraryEntry* entry = currentEntry())
        m_engine.playLibraryMacro(entry->name);
}

bool LibraryState::offerToSaveTimeline()
{
    if (m_timelineSaved || m_engine.recordedEvents().empty())
        return true;
    const int answer = m_dialogs.runMessageDialog({text("Save Timeline?"),
                                                   text("Save Timeline Question"),
                                                   {text("Save"), text("Don't Save"), text("Cancel")}});
    if (answer == 1)
        return true;
    if (answer != 0)
        return false;
    const std::optional<QString> path = m_dialogs.runSaveFileDialog(
        {QStringLiteral("Export Macro"), QStringLiteral("Choose a path to write the macro script file."),
         m_view.fileDialogs().defaultExportFileName()});
    if (!path || !m_engine.saveMacro(*path))
        return false;
    m_engine.addRecentFile(*path);
    return true;
}

void LibraryState::openAction()
{
    const LibraryEntry* entry = currentEntry();
    if (!entry || m_engine.isRecording() || m_engine.isPlaying())
        return;
    const QString path = m_engine.library().pathOf(*entry);
    m_view.commitTypedEdits();
    if (!offerToSaveTimeline())
        return;
    m_view.editor()->clearSelection();
    if (m_engine.loadMacro(path)) {
        m_loadPending = true;
        m_view.navigate(ContentViewState::Timeline);
    }
}

void LibraryState::renameAction()
{
    const LibraryEntry* entry = currentEntry();
    if (!entry)
        return;
    const QString name = entry->name;
    const QString file = entry->file;
    const std::optional<QString> newName =
        m_dialogs.runTextInput({text("Rename Macro"), text("Name:"), name});
    if (!newName)
        return;
    if (QString problem = nameProblem(*newName, file); !problem.isEmpty())
        return say(problem);
    say(m_engine.changeLibrary([&](MacroLibrary& library) { return library.rename(name, *newName); }));
}

QString LibraryState::nameProblem(const QString& name, const QString& keptFile) const
{
    if (name.trimmed().isEmpty())
        return text("A macro needs a name");
    const LibraryEntry* other = m_engine.library().find(name);
    if (other && other->file != keptFile)
        return text("A macro named \"%1\" is already in the library").arg(other->name);
    return {};
}

void LibraryState::duplicateAction()
{
    const LibraryEntry* entry = currentEntry();
    if (!entry)
        return;
    QString copy;
    const QString name = entry->name;
    say(m_engine.changeLibrary([&](MacroLibrary& library) { return library.duplicate(name, &copy); }));
    if (const LibraryEntry* made = m_engine.library().find(copy))
        choose(static_cast<int>(m_rowFiles.indexOf(made->file)));
}

void LibraryState::deleteAction()
{
    const LibraryEntry* entry = currentEntry();
    if (!entry)
        return;
    const QString name = entry->name;
    const QString unit = scheduleunits::unitName(*entry);
    if (m_engine.showDeleteConfirmation()) {
        const int answer = m_dialogs.runMessageDialog({text("Confirm Delete"),
                                                       text("Are you sure you want to delete this macro?"),
                                                       {text("Delete"), text("Cancel")}});
        if (answer != 0)
            return;
    }
    // Its schedule goes with it, so that no timer runs a file that is gone.
    if (QString failed = m_schedules.remove(unit); !failed.isEmpty())
        say(failed);
    say(m_engine.changeLibrary([&](MacroLibrary& library) { return library.remove(name); }));
}

void LibraryState::hotkeyAction()
{
    const LibraryEntry* entry = currentEntry();
    if (!entry || !m_pageInFront)
        return;
    m_capture.startCapture([this, file = entry->file](const Hotkey& hotkey) { applyHotkey(file, hotkey); });
    emit captureChanged();
}

void LibraryState::applyHotkey(const QString& file, const Hotkey& hotkey)
{
    // Escape cancels; Backspace alone takes the hotkey away.
    constexpr std::uint16_t kBackspace = 51;
    const Hotkey chosen = hotkey.keyCode == kBackspace && hotkey.modifiers == 0 ? Hotkey::unset() : hotkey;
    LibraryEntry changed;
    for (const LibraryEntry& entry : m_engine.library().entries()) {
        if (entry.file == file)
            changed = entry;
        else if (chosen != Hotkey::unset() && entry.hotkey == chosen)
            return say(text("Hotkey already used by %1").arg(entry.name));
    }
    if (chosen != Hotkey::unset() && (chosen == m_engine.recordHotkey() || chosen == m_engine.playbackHotkey()))
        return say(text("Hotkey already used by %1").arg(chosen == m_engine.recordHotkey() ? text("Toggle Recording")
                                                                                        : text("Toggle Playback")));
    if (changed.file.isEmpty())
        return;
    changed.hotkey = chosen;
    say(m_engine.changeLibrary([&](MacroLibrary& library) { return library.update(changed); }));
}

void LibraryState::scheduleAction()
{
    const LibraryEntry* entry = currentEntry();
    if (!entry || !scheduleProblem().isEmpty())
        return;
    const QString file = entry->file;
    const std::optional<MacroSchedule> schedule = m_dialogs.runScheduleDialog(
        {text("Schedule"),
         {text("No schedule"), text("Once"), text("Daily"), text("Every N minutes")},
         text("Weekdays").split(QLatin1Char(',')),
         text("Minutes:"),
         text("Save"),
         text("Cancel"),
         entry->schedule});
    if (!schedule)
        return;
    if (schedule->kind == MacroSchedule::Kind::daily && schedule->weekdays == 0)
        return say(text("Choose at least one weekday"));
    // A timer for a moment gone by would be kept but never run.
    if (schedule->kind == MacroSchedule::Kind::once && schedule->at <= QDateTime::currentDateTime())
        return say(text("That time has already passed"));
    // The dialog ran its own event loop: the macro may have gone meanwhile.
    LibraryEntry changed;
    for (const LibraryEntry& known : m_engine.library().entries()) {
        if (known.file == file)
            changed = known;
    }
    if (changed.file.isEmpty())
        return;
    changed.schedule = *schedule;
    if (schedule->kind != MacroSchedule::Kind::none)
        return say(m_engine.changeLibrary(
            [&](MacroLibrary& library) { return m_schedules.replace(library, changed, cliPath()); }));
    // Units taken away, or not, the schedule is over: their files are gone either way.
    const QString leftOver = m_schedules.remove(scheduleunits::unitName(changed));
    const QString failed = m_engine.changeLibrary([&](MacroLibrary& library) { return library.update(changed); });
    say(failed.isEmpty() ? leftOver : failed);
}

void LibraryState::saveTimelineAction()
{
    m_view.commitTypedEdits();
    if (m_engine.recordedEvents().empty())
        return;
    const std::optional<QString> name = m_dialogs.runTextInput(
        {text("Save to Library"), text("Name:"), m_engine.library().uniqueName(text("Macro"))});
    if (!name)
        return;
    QString failed = nameProblem(*name, {});
    if (failed.isEmpty())
        failed = m_engine.changeLibrary(
            [&](MacroLibrary& library) { return library.add(*name, m_engine.recordedEvents()); });
    if (failed.isEmpty())
        m_timelineSaved = true;
    else
        m_engine.showNotice(QStringLiteral("Library Problem Notice"), failed);
    say(failed);
}

void LibraryState::openRecentAction(int index)
{
    const QStringList files = recentFiles();
    if (index < 0 || index >= files.size() || m_engine.isRecording() || m_engine.isPlaying())
        return;
    m_view.editor()->clearSelection();
    if (m_engine.loadMacro(files[index])) {
        m_engine.addRecentFile(files[index]);
    } else if (!QFileInfo::exists(files[index])) {
        // The notice says it cannot be read; a file that is gone leaves the list too.
        m_forgettingRecentFile = true;
        m_engine.forgetRecentFile(files[index]);
        m_forgettingRecentFile = false;
    }
}

QString LibraryState::cliPath()
{
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/loopwren-cli");
    if (QFileInfo(beside).isExecutable())
        return beside;
    const QString found = QStandardPaths::findExecutable(QStringLiteral("loopwren-cli"));
    return found.isEmpty() ? beside : found;
}

} // namespace loopwren
