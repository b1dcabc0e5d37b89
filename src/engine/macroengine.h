#pragma once

#include "hotkey.h"
#include "macroevent.h"
#include "platformservices.h"

#include <QObject>
#include <QStringList>
#include <atomic>
#include <chrono>
#include <deque>
#include <memory>
#include <optional>
#include <set>
#include <thread>
#include <vector>

Q_DECLARE_METATYPE(loopwren::Hotkey)
Q_DECLARE_METATYPE(loopwren::Timeline)

namespace loopwren {

class PlaybackWorker;

// One press or release as the window system stamped it (InputEvent::systemTime).
struct InputStamp
{
    EventType type = EventType::mouseDown; // mouseDown, mouseUp, keyDown or keyUp
    std::uint32_t systemTime = 0;
    bool operator==(const InputStamp&) const = default;
};

struct EngineOptions
{
    // Where the version document is fetched from; empty disables the update check.
    QString updateBaseUrl;
    QString applicationVersion = QStringLiteral("1.0.0");
};

// The one model object: the timeline, the run state of recording and playback, and every setting.
// Lives on the main thread; every published property notifies on every assignment, also of an equal
// value, and stored settings reach the preferences store at the moment they are assigned.
class MacroEngine : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isRecording READ isRecording WRITE setIsRecording NOTIFY isRecordingChanged)
    Q_PROPERTY(bool isPlaying READ isPlaying WRITE setIsPlaying NOTIFY isPlayingChanged)
    Q_PROPERTY(loopwren::Timeline recordedEvents READ recordedEvents WRITE setRecordedEvents NOTIFY
                   recordedEventsChanged)
    Q_PROPERTY(int eventCount READ eventCount NOTIFY recordedEventsChanged)
    Q_PROPERTY(bool isAccessibilityGranted READ isAccessibilityGranted WRITE setIsAccessibilityGranted NOTIFY
                   isAccessibilityGrantedChanged)
    Q_PROPERTY(bool recordMouseMovements READ recordMouseMovements WRITE setRecordMouseMovements NOTIFY
                   recordMouseMovementsChanged)
    Q_PROPERTY(double playbackSpeed READ playbackSpeed WRITE setPlaybackSpeed NOTIFY playbackSpeedChanged)
    Q_PROPERTY(qint64 loopCount READ loopCount WRITE setLoopCount NOTIFY loopCountChanged)
    Q_PROPERTY(bool infiniteLoop READ infiniteLoop WRITE setInfiniteLoop NOTIFY infiniteLoopChanged)
    Q_PROPERTY(qint64 currentPlaybackIndex READ currentPlaybackIndex WRITE setCurrentPlaybackIndex NOTIFY
                   currentPlaybackIndexChanged)
    Q_PROPERTY(
        bool updateAvailable READ updateAvailable WRITE setUpdateAvailable NOTIFY updateAvailableChanged)
    Q_PROPERTY(QString updateDownloadURL READ updateDownloadURL WRITE setUpdateDownloadURL NOTIFY
                   updateDownloadURLChanged)
    Q_PROPERTY(QString updateNotes READ updateNotes WRITE setUpdateNotes NOTIFY updateNotesChanged)
    Q_PROPERTY(bool showDeleteConfirmation READ showDeleteConfirmation WRITE setShowDeleteConfirmation NOTIFY
                   showDeleteConfirmationChanged)
    Q_PROPERTY(bool hideWhenRecording READ hideWhenRecording WRITE setHideWhenRecording NOTIFY
                   hideWhenRecordingChanged)
    Q_PROPERTY(bool hideOnPlayback READ hideOnPlayback WRITE setHideOnPlayback NOTIFY hideOnPlaybackChanged)
    Q_PROPERTY(bool showCloseSavePrompt READ showCloseSavePrompt WRITE setShowCloseSavePrompt NOTIFY
                   showCloseSavePromptChanged)
    Q_PROPERTY(
        loopwren::Hotkey recordHotkey READ recordHotkey WRITE setRecordHotkey NOTIFY recordHotkeyChanged)
    Q_PROPERTY(loopwren::Hotkey playbackHotkey READ playbackHotkey WRITE setPlaybackHotkey NOTIFY
                   playbackHotkeyChanged)
    Q_PROPERTY(bool isCapturingHotkey READ isCapturingHotkey WRITE setIsCapturingHotkey NOTIFY
                   isCapturingHotkeyChanged)
    Q_PROPERTY(QString targetAppName READ targetAppName WRITE setTargetAppName NOTIFY targetAppNameChanged)
    Q_PROPERTY(bool focusTargetAppBeforePlayback READ focusTargetAppBeforePlayback WRITE
                   setFocusTargetAppBeforePlayback NOTIFY focusTargetAppBeforePlaybackChanged)
    Q_PROPERTY(bool setTargetWindowPosition READ setTargetWindowPosition WRITE setSetTargetWindowPosition
                   NOTIFY setTargetWindowPositionChanged)
    Q_PROPERTY(bool setTargetWindowSize READ setTargetWindowSize WRITE setSetTargetWindowSize NOTIFY
                   setTargetWindowSizeChanged)
    Q_PROPERTY(double targetWindowX READ targetWindowX WRITE setTargetWindowX NOTIFY targetWindowXChanged)
    Q_PROPERTY(double targetWindowY READ targetWindowY WRITE setTargetWindowY NOTIFY targetWindowYChanged)
    Q_PROPERTY(double targetWindowWidth READ targetWindowWidth WRITE setTargetWindowWidth NOTIFY
                   targetWindowWidthChanged)
    Q_PROPERTY(double targetWindowHeight READ targetWindowHeight WRITE setTargetWindowHeight NOTIFY
                   targetWindowHeightChanged)
    Q_PROPERTY(QStringList runningApps READ runningApps WRITE setRunningApps NOTIFY runningAppsChanged)
    Q_PROPERTY(QString language READ language WRITE setLanguage NOTIFY languageChanged)

public:
    explicit MacroEngine(PlatformServices services, EngineOptions options = {}, QObject* parent = nullptr);
    ~MacroEngine() override;

    // The engine the application runs on; the last one built, until it is destroyed.
    static MacroEngine* shared();

    bool isRecording() const { return m_isRecording; }
    bool isPlaying() const { return m_isPlaying; }
    const Timeline& recordedEvents() const { return m_recordedEvents; }
    int eventCount() const { return static_cast<int>(m_recordedEvents.size()); }
    bool isAccessibilityGranted() const { return m_isAccessibilityGranted; }
    bool recordMouseMovements() const { return m_recordMouseMovements; }
    double playbackSpeed() const { return m_playbackSpeed; }
    qint64 loopCount() const { return m_loopCount; }
    bool infiniteLoop() const { return m_infiniteLoop; }
    qint64 currentPlaybackIndex() const { return m_currentPlaybackIndex; }
    bool updateAvailable() const { return m_updateAvailable; }
    QString updateDownloadURL() const { return m_updateDownloadURL; }
    QString updateNotes() const { return m_updateNotes; }
    bool showDeleteConfirmation() const { return m_showDeleteConfirmation; }
    bool hideWhenRecording() const { return m_hideWhenRecording; }
    bool hideOnPlayback() const { return m_hideOnPlayback; }
    bool showCloseSavePrompt() const { return m_showCloseSavePrompt; }
    Hotkey recordHotkey() const { return m_recordHotkey; }
    Hotkey playbackHotkey() const { return m_playbackHotkey; }
    bool isCapturingHotkey() const { return m_isCapturingHotkey; }
    QString targetAppName() const { return m_targetAppName; }
    bool focusTargetAppBeforePlayback() const { return m_focusTargetAppBeforePlayback; }
    bool setTargetWindowPosition() const { return m_setTargetWindowPosition; }
    bool setTargetWindowSize() const { return m_setTargetWindowSize; }
    double targetWindowX() const { return m_targetWindowX; }
    double targetWindowY() const { return m_targetWindowY; }
    double targetWindowWidth() const { return m_targetWindowWidth; }
    double targetWindowHeight() const { return m_targetWindowHeight; }
    QStringList runningApps() const { return m_runningApps; }
    QString language() const { return m_language; }

    void setIsRecording(bool value);
    void setIsPlaying(bool value);
    void setRecordedEvents(Timeline events);
    void setIsAccessibilityGranted(bool value);
    void setRecordMouseMovements(bool value);
    void setPlaybackSpeed(double value);
    void setLoopCount(qint64 value);
    void setInfiniteLoop(bool value);
    void setCurrentPlaybackIndex(qint64 value);
    void setUpdateAvailable(bool value);
    void setUpdateDownloadURL(const QString& value);
    void setUpdateNotes(const QString& value);
    void setShowDeleteConfirmation(bool value);
    void setHideWhenRecording(bool value);
    void setHideOnPlayback(bool value);
    void setShowCloseSavePrompt(bool value);
    void setRecordHotkey(const Hotkey& value);
    void setPlaybackHotkey(const Hotkey& value);
    void setIsCapturingHotkey(bool value);
    void setTargetAppName(const QString& value);
    void setFocusTargetAppBeforePlayback(bool value);
    void setSetTargetWindowPosition(bool value);
    void setSetTargetWindowSize(bool value);
    void setTargetWindowX(double value);
    void setTargetWindowY(double value);
    void setTargetWindowWidth(double value);
    void setTargetWindowHeight(double value);
    void setRunningApps(const QStringList& value);
    void setLanguage(const QString& value);

    // Settings
    void saveHotkeys();

    // Recording
    Q_INVOKABLE void startRecording();
    Q_INVOKABLE void stopRecording() { stopRecording({}); }
    // Ends the recording without the given inputs: the press and release on this application's own
    // stop button (or the key that pressed it), which played back would land on whatever is there.
    void stopRecording(const std::vector<InputStamp>& leaveOut);
    Q_INVOKABLE void toggleRecording();
    void removeEventMonitors();

    // Playback
    Q_INVOKABLE void startPlayback();
    Q_INVOKABLE void stopPlayback();
    Q_INVOKABLE void togglePlayback();

    // Hotkeys
    void registerHotkeys();
    static std::uint32_t carbonModifierMask(std::uint64_t modifiers);
    std::int32_t handleHotkeyEvent(std::optional<HotkeyIdentifier> identifier);

    // Accessibility and the target application
    Q_INVOKABLE void checkAccessibility();
    Q_INVOKABLE void requestAccessibility();
    Q_INVOKABLE void refreshRunningApps();
    void focusTargetApp();

    // Macro files
    bool saveMacro(const QString& path);
    bool loadMacro(const QString& path);

    // Timeline editing; each change is queued and lands after the caller's current step.
    void updateEvent(const MacroEvent& event);
    void deleteEvent(const Uuid& id);
    void duplicateEvent(const Uuid& id);
    void moveEvent(const Uuid& id, std::ptrdiff_t offset);
    void insertWait(const std::optional<Uuid>& after);
    void moveEvents(const std::set<std::size_t>& positions, std::size_t destination);

    // Update check
    Q_INVOKABLE void checkForUpdates();
    static bool isNewerVersion(const QString& candidate, const QString& current);
    QString applicationVersion() const { return m_options.applicationVersion; }

    // The input monitor recording uses; the hotkey capture watches key presses through it too.
    InputMonitor& inputMonitor() { return *m_services.input; }
    // The hotkey service, which also holds the keyboard while a hotkey is captured.
    HotkeyService& hotkeyService() { return *m_services.hotkeys; }

signals:
    void isRecordingChanged();
    void isPlayingChanged();
    void recordedEventsChanged();
    // Each change of the timeline is announced first as either an append of rows first..last at the
    // end or a reset of the whole list, so a view can insert rows instead of rebuilding itself; then
    // recordedEventsChanged follows.
    void recordedEventsAppended(int first, int last);
    void recordedEventsReset();
    void isAccessibilityGrantedChanged();
    void recordMouseMovementsChanged();
    void playbackSpeedChanged();
    void loopCountChanged();
    void infiniteLoopChanged();
    void currentPlaybackIndexChanged();
    void updateAvailableChanged();
    void updateDownloadURLChanged();
    void updateNotesChanged();
    void showDeleteConfirmationChanged();
    void hideWhenRecordingChanged();
    void hideOnPlaybackChanged();
    void showCloseSavePromptChanged();
    void recordHotkeyChanged();
    void playbackHotkeyChanged();
    void isCapturingHotkeyChanged();
    void targetAppNameChanged();
    void focusTargetAppBeforePlaybackChanged();
    void setTargetWindowPositionChanged();
    void setTargetWindowSizeChanged();
    void targetWindowXChanged();
    void targetWindowYChanged();
    void targetWindowWidthChanged();
    void targetWindowHeightChanged();
    void runningAppsChanged();
    void languageChanged();
    // A playback came to its end, completed or stopped.
    void playbackFinished();

private:
    template <typename T>
    void assign(T& field, const T& value, void (MacroEngine::*changed)());
    // A stored setting: the value reaches the preferences store before observers hear of it.
    template <typename T>
    void assignStored(T& field, const T& value, const QString& key, void (MacroEngine::*changed)());
    void loadSettings();
    void unregisterHotkeys();
    void recordInputEvent(const InputEvent& event);
    void appendRecordedEvent(MacroEvent event);
    void finishPlayback(std::uint64_t generation);
    void showApplicationAgain();
    void editTimeline(std::function<void(Timeline&)> edit);

    PlatformServices m_services;
    EngineOptions m_options;

    bool m_isRecording = false;
    bool m_isPlaying = false;
    Timeline m_recordedEvents;
    bool m_isAccessibilityGranted = false;
    bool m_recordMouseMovements = false;
    double m_playbackSpeed = 100.0;
    qint64 m_loopCount = 1;
    bool m_infiniteLoop = false;
    qint64 m_currentPlaybackIndex = -1;
    bool m_updateAvailable = false;
    QString m_updateDownloadURL;
    QString m_updateNotes;
    bool m_showDeleteConfirmation = true;
    bool m_hideWhenRecording = false;
    bool m_hideOnPlayback = false;
    bool m_showCloseSavePrompt = true;
    Hotkey m_recordHotkey;
    Hotkey m_playbackHotkey;
    bool m_isCapturingHotkey = false;
    QString m_targetAppName;
    bool m_focusTargetAppBeforePlayback = false;
    bool m_setTargetWindowPosition = false;
    bool m_setTargetWindowSize = false;
    double m_targetWindowX = 0.0;
    double m_targetWindowY = 0.0;
    double m_targetWindowWidth = 800.0;
    double m_targetWindowHeight = 600.0;
    QStringList m_runningApps;
    QString m_language = QStringLiteral("English");

    // Recorder
    std::vector<InputMonitor::Token> m_globalMonitors;
    std::vector<InputMonitor::Token> m_localMonitors;
    std::optional<std::chrono::steady_clock::time_point> m_lastEventTime;
    std::chrono::steady_clock::time_point m_recordingStartTime;
    // The stamps of the last few recorded presses and releases, and what the stop leaves out.
    std::deque<std::pair<Uuid, InputStamp>> m_recentStamps;
    std::vector<InputStamp> m_leftOut;

    // Player: one worker per playback; the generation tells a superseded playback's reports apart.
    std::unique_ptr<PlaybackWorker> m_playbackWorker;
    std::uint64_t m_playbackGeneration = 0;

    // Hotkeys
    std::optional<HotkeyService::Registration> m_recordHotKeyRef;
    std::optional<HotkeyService::Registration> m_playbackHotKeyRef;
    bool m_hotkeyHandlerInstalled = false;

    static MacroEngine* s_shared;
};

} // namespace loopwren
