#include "macroengine.h"

#include "hotkeybinding.h"
#include "libraryhotkeys.h"
#include "logline.h"
#include "macrofiles.h"
#include "mainqueue.h"
#include "nullplatform.h"
#include "player.h"
#include "targetwindow.h"
#include "timelineedits.h"
#include "updatecheck.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>

namespace loopwren {
namespace {

constexpr auto kFocusPause = std::chrono::milliseconds(500);
constexpr auto kAccessibilityRecheck = std::chrono::seconds(1);
constexpr int kRecentFiles = 10;

} // namespace

namespace {

PlatformServices completed(PlatformServices services)
{
    fillWithNullServices(services);
    return services;
}

} // namespace

MacroEngine::MacroEngine(PlatformServices services, EngineOptions options, QObject* parent)
    : QObject(parent), m_services(completed(std::move(services))), m_options(std::move(options)),
      m_settings(*m_services.preferences, [this](Setting setting) { settingChanged(setting); })
{
    m_recorder = std::make_unique<Recorder>(
        *m_services.input,
        Recorder::Hooks{[this](MacroEvent event) { appendRecordedEvent(std::move(event)); },
                        [this](std::uint16_t keyCode) {
                            if (keyCode == Hotkey::unsetKeyCode)
                                return false;
                            if (keyCode == recordHotkey().keyCode || keyCode == playbackHotkey().keyCode ||
                                m_libraryHotkeys->isHotkeyKey(keyCode))
                                return true;
                            // Keys the desktop put on a hotkey in place of the captured ones.
                            const std::vector<std::uint16_t> desktopKeys =
                                m_services.hotkeys->desktopTriggerKeys();
                            return std::find(desktopKeys.begin(), desktopKeys.end(), keyCode) !=
                                   desktopKeys.end();
                        },
                        [this] { return m_recordMouseMovements; }});
    PlaybackClock& clock = m_options.playbackClock ? *m_options.playbackClock : m_steadyClock;
    m_player =
        std::make_unique<Player>(*m_services.posters, clock,
                                 Player::Hooks{[this](std::size_t index) {
                                                   // A library macro's events are not the rows shown.
                                                   if (m_isPlaying && m_playingLibraryFile.isEmpty())
                                                       setCurrentPlaybackIndex(static_cast<qint64>(index));
                                               },
                                               [this] { finishPlayback(); }},
                                 m_options.playbackLockPath);
    m_hotkeys = std::make_unique<HotkeyBinding>(
        *m_services.hotkeys, [this] { hotkeyPressed(true); }, [this] { hotkeyPressed(false); });
    m_libraryHotkeys = std::make_unique<LibraryHotkeys>(
        *m_services.hotkeys, [this](const QString& name) { libraryHotkeyPressed(name); });
    m_services.hotkeys->watchDesktopTriggers([this] { emit desktopTriggersChanged(); });
    m_target = std::make_unique<TargetWindow>(*m_services.workspace);
    m_updateCheck = std::make_unique<UpdateCheck>(
        *m_services.updates, m_options.updateBaseUrl, m_options.applicationVersion,
        [this](const VersionDocument& offer) {
            m_updateAvailable = true;
            emit updateAvailableChanged();
            assign(m_updateDownloadURL, offer.downloadUrl, &MacroEngine::updateDownloadURLChanged);
            assign(m_updateNotes, language() == QLatin1String("Indonesia") ? offer.notesId : offer.notesEn,
                   &MacroEngine::updateNotesChanged);
        });

    m_settings.load();
    checkAccessibility();
    refreshRunningApps();
    bindHotkeys();
    checkForUpdates();
}

MacroEngine::~MacroEngine()
{
    stopRecording();
    stopPlayback();
    // The units go before the services they use: the player's worker and a pending window placement
    // are waited for.
    m_updateCheck.reset();
    m_target.reset();
    m_libraryHotkeys.reset();
    m_hotkeys.reset();
    m_services.hotkeys->watchDesktopTriggers(nullptr);
    m_player.reset();
    m_recorder.reset();
}

template <typename T>
void MacroEngine::assign(T& field, const T& value, void (MacroEngine::*changed)())
{
    field = value;
    emit(this->*changed)();
}

void MacroEngine::setIsRecording(bool value)
{
    assign(m_isRecording, value, &MacroEngine::isRecordingChanged);
}
void MacroEngine::setIsPlaying(bool value) { assign(m_isPlaying, value, &MacroEngine::isPlayingChanged); }
void MacroEngine::setCurrentPlaybackIndex(qint64 value)
{
    assign(m_currentPlaybackIndex, value, &MacroEngine::currentPlaybackIndexChanged);
}
void MacroEngine::setRecordMouseMovements(bool value)
{
    assign(m_recordMouseMovements, value, &MacroEngine::recordMouseMovementsChanged);
}
void MacroEngine::setPlaybackSpeed(double value)
{
    assign(m_playbackSpeed, value, &MacroEngine::playbackSpeedChanged);
}
void MacroEngine::setLoopCount(qint64 value) { assign(m_loopCount, value, &MacroEngine::loopCountChanged); }
void MacroEngine::setInfiniteLoop(bool value)
{
    assign(m_infiniteLoop, value, &MacroEngine::infiniteLoopChanged);
}

void MacroEngine::settingChanged(Setting setting)
{
    // The bindings follow a new hotkey at once, unless a capture holds them back.
    if ((setting == Setting::recordHotkey || setting == Setting::playbackHotkey) && !m_isCapturingHotkey)
        bindHotkeys();
    switch (setting) {
#define LOOPWREN_SETTING_NOTIFY(name, ...)                                                                   \
    case Setting::name:                                                                                      \
        emit name##Changed();                                                                                \
        break;
        LOOPWREN_STORED_SETTINGS(LOOPWREN_SETTING_NOTIFY)
#undef LOOPWREN_SETTING_NOTIFY
    }
}

void MacroEngine::setPassPauseMinimum(double value)
{
    m_settings.set(Setting::passPauseMinimum, value);
    if (passPauseMaximum() < passPauseMinimum())
        m_settings.set(Setting::passPauseMaximum, passPauseMinimum());
}

void MacroEngine::setPassPauseMaximum(double value)
{
    m_settings.set(Setting::passPauseMaximum, value);
    if (passPauseMinimum() > passPauseMaximum())
        m_settings.set(Setting::passPauseMinimum, passPauseMaximum());
}

// Recording

void MacroEngine::startRecording()
{
    if (m_isRecording)
        return;
    if (m_isPlaying)
        stopPlayback();
    checkAccessibility();
    // The recording runs all the same (its hotkey stops it as ever); the window says why it stays empty.
    const SessionProblems problems = sessionProblems();
    if (!problems.record.isEmpty())
        showNotice(QStringLiteral("Recording Problem Notice"), problems.record);
    else if (!problems.recordPointer.isEmpty())
        showNotice(QStringLiteral("Pointer Problem Notice"), problems.recordPointer);
    else
        dismissNotice();
    setIsRecording(true);
    setRecordedEvents({});
    if (hideWhenRecording())
        mainqueue::post(this, [this] { m_services.ownWindow->hide(); });
    m_recorder->start(m_recordMouseMovements);
}

void MacroEngine::stopRecording(const std::vector<InputStamp>& leaveOut)
{
    if (!m_isRecording)
        return;
    setIsRecording(false);
    m_recorder->stop(leaveOut, [this](const Uuid& id) {
        editTimeline([id](ObservedTimeline& events) { timelineedits::deleteEvent(events, id); });
    });
    if (hideWhenRecording())
        mainqueue::post(this, [this] { m_services.ownWindow->show(); });
}

void MacroEngine::toggleRecording()
{
    if (m_isRecording)
        stopRecording();
    else
        startRecording();
}

void MacroEngine::appendRecordedEvent(MacroEvent event)
{
    observedTimeline().insert(m_recordedEvents.size(), std::move(event));
}

// Playback

void MacroEngine::startPlayback()
{
    // First, as a view may land edits here, and the checks below must see what that changed.
    emit timelineAboutToBeRead();
    if (m_recordedEvents.empty() || m_isRecording || m_isPlaying)
        return;
    beginPlayback(m_recordedEvents, {m_playbackSpeed, m_infiniteLoop ? -1 : m_loopCount});
}

void MacroEngine::playLibraryMacro(const QString& name)
{
    const LibraryEntry* entry = library().find(name);
    const QString prefix = QStringLiteral("Library macro not played: ");
    if (!entry) {
        logLine(prefix, QStringLiteral("no macro named \"%1\" in the library").arg(name));
        return;
    }
    if (m_isPlaying && m_playingLibraryFile == entry->file) {
        stopPlayback();
        return;
    }
    if (m_isRecording || m_isPlaying) {
        logLine(prefix, QStringLiteral("\"%1\": %2").arg(entry->name, m_isRecording ? QStringLiteral("a recording runs")
                                                                                : QStringLiteral("another playback runs")));
        return;
    }
    MacroReadResult read = macrofiles::load(library().pathOf(*entry));
    if (!read.ok()) {
        logLine(prefix, QStringLiteral("\"%1\": %2").arg(entry->name, QString::fromStdString(read.error)));
        return;
    }
    if (read.events.empty())
        return;
    const QString file = entry->file;
    beginPlayback(std::move(read.events), {entry->playbackSpeed, entry->infiniteLoop ? -1 : entry->loopCount,
                                           entry->delayVariation, entry->passPauseMin, entry->passPauseMax,
                                           entry->clickSpread});
    if (m_isPlaying)
        setPlayingLibraryFile(file);
}

void MacroEngine::beginPlayback(Timeline events, const PlaybackValues& values)
{
    if (const QString refusal = m_player->claim(); !refusal.isEmpty()) {
        logLine(QStringLiteral("Playback refused: "), refusal);
        showNotice(QStringLiteral("Playback Refused Notice"), refusal);
        emit playbackRefused(refusal);
        return;
    }
    if (const QString problem = sessionProblems().play; !problem.isEmpty())
        showNotice(QStringLiteral("Playback Problem Notice"), problem);
    else
        dismissNotice();
    setIsPlaying(true);
    setCurrentPlaybackIndex(-1);

    PlaybackPlan plan;
    if (focusTargetAppBeforePlayback()) {
        focusTargetApp();
        // Waited on the worker, so the window stays responsive and a stop still lands during it.
        plan.initialPause = kFocusPause;
    }
    if (hideOnPlayback())
        mainqueue::post(this, [this] { m_services.ownWindow->hide(); });
    plan.events = std::move(events);
    plan.speedFactor = std::max(values.speed / 100.0, 0.001);
    plan.loopLimit = values.loopLimit;
    // The macro's own value, else the front end's, else the setting.
    const PlaybackOverrides& o = m_overrides;
    const auto pick = [](const std::optional<double>& own, const std::optional<double>& given, double setting) {
        return own ? *own : given.value_or(setting);
    };
    const VariationSettings variation{pick(values.delayVariation, o.delayVariation, delayVariation()) / 100.0,
                                      pick(values.passPauseMinimum, o.passPauseMinimum, passPauseMinimum()),
                                      pick(values.passPauseMaximum, o.passPauseMaximum, passPauseMaximum()),
                                      pick(values.clickSpread, o.clickSpread, clickSpread())};
    plan.variation = PlaybackVariation(variation, o.seed ? *o.seed : PlaybackVariation::freshSeed());
    if (m_playbackStoppedByUserInput)
        assign(m_playbackStoppedByUserInput, false, &MacroEngine::playbackStoppedByUserInputChanged);
    if (o.stopOnUserInput.value_or(stopPlaybackOnUserInput())) {
        // The hotkeys keep doing what they do: the playback hotkey still stops the playback itself.
        std::vector<std::uint16_t> hotkeyKeys = m_libraryHotkeys->hotkeyKeys();
        for (const Hotkey& hotkey : {recordHotkey(), playbackHotkey()}) {
            if (hotkey.keyCode != Hotkey::unsetKeyCode)
                hotkeyKeys.push_back(hotkey.keyCode);
        }
        m_services.userInput->start(hotkeyKeys, [this] { userInputUsed(); });
    }
    m_player->start(std::move(plan));
}

void MacroEngine::userInputUsed()
{
    if (!m_isPlaying)
        return;
    stopPlayback();
    assign(m_playbackStoppedByUserInput, true, &MacroEngine::playbackStoppedByUserInputChanged);
}

void MacroEngine::stopPlayback()
{
    if (!m_isPlaying)
        return;
    // The player first: ending the watch for the user's input can take a while (the kernel's capture
    // closes its devices), and the playback must not run on meanwhile.
    m_player->stop();
    m_services.userInput->stop();
    setPlayingLibraryFile({});
    setIsPlaying(false);
    setCurrentPlaybackIndex(-1);
    if (hideOnPlayback())
        mainqueue::post(this, [this] { m_services.ownWindow->show(); });
}

void MacroEngine::togglePlayback()
{
    if (m_isPlaying)
        stopPlayback();
    else
        startPlayback();
}

SessionProblems MacroEngine::sessionProblems() const
{
    return m_options.sessionProblems ? m_options.sessionProblems() : SessionProblems();
}

void MacroEngine::showNotice(const QString& key, const QString& detail)
{
    m_notice = key;
    m_noticeDetail = key.isEmpty() ? QString() : detail;
    emit noticeChanged();
}

void MacroEngine::finishPlayback()
{
    m_services.userInput->stop();
    setPlayingLibraryFile({});
    setIsPlaying(false);
    setCurrentPlaybackIndex(-1);
    if (hideOnPlayback())
        m_services.ownWindow->show();
    emit playbackFinished();
}

// Hotkeys

void MacroEngine::bindHotkeys()
{
    // The engine's two first: a macro's hotkey never takes a combination from them.
    m_hotkeys->bind(recordHotkey(), playbackHotkey());
    m_libraryHotkeys->bind(recordHotkey(), playbackHotkey());
}

void MacroEngine::setIsCapturingHotkey(bool value)
{
    m_isCapturingHotkey = value;
    if (value) {
        m_hotkeys->unbind();
        m_libraryHotkeys->unbind();
    } else
        bindHotkeys();
    emit isCapturingHotkeyChanged();
}

void MacroEngine::hotkeyPressed(bool record)
{
    if (m_isCapturingHotkey)
        return;
    // The toggles run after the service's callback has returned. A stop never waits; a start waits
    // until an open dialog has closed, so nothing begins beneath it.
    mainqueue::post(this, [this, record] {
        if (record ? m_isRecording : m_isPlaying) {
            record ? stopRecording() : stopPlayback();
            return;
        }
        mainqueue::runAfterModal(this, [this, record] { record ? toggleRecording() : togglePlayback(); });
    });
}

void MacroEngine::libraryHotkeyPressed(const QString& name)
{
    if (m_isCapturingHotkey)
        return;
    // As the toggles: what the press starts runs after the service's callback has returned.
    mainqueue::post(this, [this, name] {
        emit libraryMacroHotkeyPressed(name);
        mainqueue::runAfterModal(this, [this, name] { playLibraryMacro(name); });
    });
}

// Accessibility and the target application

void MacroEngine::checkAccessibility()
{
    const bool granted = m_services.accessibility->isInputAccessGranted();
    mainqueue::post(this, [this, granted] {
        assign(m_isAccessibilityGranted, granted, &MacroEngine::isAccessibilityGrantedChanged);
    });
}

void MacroEngine::requestAccessibility()
{
    m_services.accessibility->requestInputAccess();
    mainqueue::postAfter(kAccessibilityRecheck, this, [this] { checkAccessibility(); });
}

void MacroEngine::refreshRunningApps()
{
    const QStringList names = m_target->runningApplicationNames();
    mainqueue::post(this, [this, names] {
        assign(m_runningApps, names, &MacroEngine::runningAppsChanged);
        if (!targetAppName().isEmpty() || names.isEmpty())
            return;
        for (const QString& preferred : {QStringLiteral("Google Chrome"), QStringLiteral("Safari")}) {
            if (names.contains(preferred)) {
                setTargetAppName(preferred);
                return;
            }
        }
        setTargetAppName(names.first());
    });
}

void MacroEngine::focusTargetApp()
{
    if (targetAppName().isEmpty())
        return;
    // The frame is fixed now, so the placement never reads settings the main thread may be writing.
    std::optional<WindowFrame> frame;
    if (setTargetWindowPosition() || setTargetWindowSize()) {
        frame.emplace();
        if (setTargetWindowPosition()) {
            frame->x = targetWindowX();
            frame->y = targetWindowY();
        }
        if (setTargetWindowSize()) {
            frame->width = targetWindowWidth();
            frame->height = targetWindowHeight();
        }
    }
    m_target->focus(targetAppName(), frame);
}

// Macro files

bool MacroEngine::saveMacro(const QString& path)
{
    emit timelineAboutToBeRead();
    const QString error = macrofiles::save(path, m_recordedEvents);
    if (error.isEmpty())
        return true;
    logLine(QStringLiteral("Failed to save macro: "), error);
    return false;
}

bool MacroEngine::loadMacro(const QString& path)
{
    MacroReadResult result = macrofiles::load(path);
    if (!result.ok()) {
        const QString error = QString::fromStdString(result.error);
        logLine(QStringLiteral("Failed to load macro: "), error);
        showNotice(QStringLiteral("Import Problem Notice"), error);
        return false;
    }
    // The timeline is about to change, so an earlier "the timeline is unchanged" no longer holds.
    if (m_notice == QLatin1String("Import Problem Notice"))
        dismissNotice();
    auto events = std::make_shared<Timeline>(std::move(result.events));
    mainqueue::postAfterModal(this, [this, events] {
        setRecordedEvents(std::move(*events));
        setCurrentPlaybackIndex(-1);
    });
    return true;
}

// The timeline

ObservedTimeline MacroEngine::observedTimeline()
{
    return ObservedTimeline(
        m_recordedEvents, [this](const TimelineChange& change) { emit timelineAboutToChange(change); },
        [this](const TimelineChange& change) {
            emit timelineChanged(change);
            emit recordedEventsChanged();
        });
}

void MacroEngine::setRecordedEvents(Timeline events) { observedTimeline().replaceAll(std::move(events)); }

void MacroEngine::clearTimeline()
{
    setRecordedEvents({});
    setCurrentPlaybackIndex(-1);
}

void MacroEngine::editTimeline(std::function<void(ObservedTimeline&)> edit)
{
    mainqueue::postAfterModal(this, [this, edit = std::move(edit)] {
        ObservedTimeline events = observedTimeline();
        edit(events);
    });
}

void MacroEngine::updateEvent(const MacroEvent& event)
{
    editTimeline([event](ObservedTimeline& events) { timelineedits::updateEvent(events, event); });
}

void MacroEngine::deleteEvent(const Uuid& id)
{
    editTimeline([id](ObservedTimeline& events) { timelineedits::deleteEvent(events, id); });
}

void MacroEngine::duplicateEvent(const Uuid& id)
{
    editTimeline([id](ObservedTimeline& events) { timelineedits::duplicateEvent(events, id); });
}

void MacroEngine::moveEvent(const Uuid& id, std::ptrdiff_t offset)
{
    editTimeline([id, offset](ObservedTimeline& events) { timelineedits::moveEvent(events, id, offset); });
}

void MacroEngine::insertWait(const std::optional<Uuid>& after)
{
    editTimeline([after](ObservedTimeline& events) { timelineedits::insertWait(events, after); });
}

void MacroEngine::moveEvents(const std::set<std::size_t>& positions, std::size_t destination)
{
    editTimeline([positions, destination](ObservedTimeline& events) {
        timelineedits::moveEvents(events, positions, destination);
    });
}

// The library

MacroLibrary& MacroEngine::library()
{
    if (!m_library) {
        m_library = std::make_unique<MacroLibrary>(
            m_options.libraryFolder.isEmpty() ? MacroLibrary::defaultFolder() : m_options.libraryFolder);
        m_library->reload();
        m_libraryHotkeys->setEntries(m_library->entries());
    }
    return *m_library;
}

QString MacroEngine::changeLibrary(const std::function<QString(MacroLibrary&)>& change)
{
    const QString result = change(library());
    m_libraryHotkeys->setEntries(m_library->entries());
    emit libraryChanged();
    // The playing macro may have been renamed.
    if (!m_playingLibraryFile.isEmpty())
        emit playingLibraryMacroChanged();
    return result;
}

QString MacroEngine::playingLibraryMacro() const
{
    if (m_playingLibraryFile.isEmpty() || !m_library)
        return {};
    for (const LibraryEntry& entry : m_library->entries()) {
        if (entry.file == m_playingLibraryFile)
            return entry.name;
    }
    return {}; // deleted while it plays
}

void MacroEngine::setPlayingLibraryFile(const QString& file)
{
    if (file == m_playingLibraryFile)
        return;
    m_playingLibraryFile = file;
    emit playingLibraryMacroChanged();
}

QStringList MacroEngine::recentFiles() const
{
    QStringList paths;
    for (const QJsonValue& value :
         QJsonDocument::fromJson(m_settings.get<QString>(Setting::recentFiles).toUtf8()).array()) {
        if (value.isString() && !value.toString().isEmpty() && paths.size() < kRecentFiles)
            paths << value.toString();
    }
    return paths;
}

void MacroEngine::addRecentFile(const QString& path)
{
    QStringList paths = recentFiles();
    paths.removeAll(path);
    paths.prepend(path);
    const QJsonArray array = QJsonArray::fromStringList(paths.mid(0, kRecentFiles));
    m_settings.set(Setting::recentFiles, QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact)));
}

void MacroEngine::forgetRecentFile(const QString& path)
{
    QStringList paths = recentFiles();
    if (paths.removeAll(path) == 0)
        return;
    const QJsonArray array = QJsonArray::fromStringList(paths);
    m_settings.set(Setting::recentFiles, QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact)));
}

// Update check

void MacroEngine::checkForUpdates() { m_updateCheck->check(); }

void MacroEngine::dismissUpdate() { assign(m_updateAvailable, false, &MacroEngine::updateAvailableChanged); }

} // namespace loopwren
