#pragma once

#include "hotkey.h"
#include "macroevent.h"
#include "macrolibrary.h"
#include "observedtimeline.h"
#include "platformservices.h"
#include "playbackclock.h"
#include "recorder.h"
#include "storedsettings.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <vector>

Q_DECLARE_METATYPE(loopwren::Hotkey)
Q_DECLARE_METATYPE(loopwren::Timeline)

namespace loopwren {

class HotkeyBinding;
class LibraryHotkeys;
class Player;
class TargetWindow;
class UpdateCheck;

// Why recording or playing cannot work, or works only in part, for the user; empty where it works.
struct SessionProblems
{
    QString record;
    QString recordPointer; // keys are recorded, clicks and pointer moves are not
    QString play;
};

struct EngineOptions
{
    // Where the version document is fetched from; empty disables the update check.
    QString updateBaseUrl;
    QString applicationVersion = QStringLiteral("1.0.0");
    // The time playbacks go by; none: the machine's monotonic clock.
    PlaybackClock* playbackClock = nullptr;
    // The file whose lock lets one player of the session play at a time (the front ends pass
    // PlaybackSessionLock::sessionPath()); empty: players of other processes are not looked at.
    QString playbackLockPath = {};
    // What stands in the way of recording and of playing in this session, asked at every start so the
    // window can say why nothing is captured or posted; none: nothing is known to stand in the way.
    std::function<SessionProblems()> sessionProblems;
    // The macro library's folder; empty: MacroLibrary::defaultFolder().
    QString libraryFolder = {};
};

struct PlaybackOverrides
{
    std::optional<double> delayVariation = std::nullopt; // percent
    std::optional<double> passPauseMinimum = std::nullopt;
    std::optional<double> passPauseMaximum = std::nullopt;
    std::optional<double> clickSpread = std::nullopt;
    std::optional<bool> stopOnUserInput = std::nullopt;
    // The seed of the draws, so two runs draw the same; none: a fresh one for each playback.
    std::optional<std::uint64_t> seed = std::nullopt;
};

// The one model object: the timeline, the run state of recording and playback, and every setting.
// It is a facade over units that each own their state (the stored settings, the recorder, the player,
// the hotkey binding, the target window, the update check); the views read it, change the settings and
// call its operations, but the run state is its own to change.
//
// Lives on the main thread; every published property notifies on every assignment, also of an equal
// value, and stored settings reach the preferences store at the moment they are assigned.
class MacroEngine : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isRecording READ isRecording NOTIFY isRecordingChanged)
    Q_PROPERTY(bool isPlaying READ isPlaying NOTIFY isPlayingChanged)
    Q_PROPERTY(loopwren::Timeline recordedEvents READ recordedEvents NOTIFY recordedEventsChanged)
    Q_PROPERTY(int eventCount READ eventCount NOTIFY recordedEventsChanged)
    Q_PROPERTY(bool isAccessibilityGranted READ isAccessibilityGranted NOTIFY isAccessibilityGrantedChanged)
    Q_PROPERTY(bool recordMouseMovements READ recordMouseMovements WRITE setRecordMouseMovements NOTIFY
                   recordMouseMovementsChanged)
    Q_PROPERTY(double playbackSpeed READ playbackSpeed WRITE setPlaybackSpeed NOTIFY playbackSpeedChanged)
    Q_PROPERTY(qint64 loopCount READ loopCount WRITE setLoopCount NOTIFY loopCountChanged)
    Q_PROPERTY(bool infiniteLoop READ infiniteLoop WRITE setInfiniteLoop NOTIFY infiniteLoopChanged)
    Q_PROPERTY(qint64 currentPlaybackIndex READ currentPlaybackIndex NOTIFY currentPlaybackIndexChanged)
    Q_PROPERTY(bool updateAvailable READ updateAvailable NOTIFY updateAvailableChanged)
    Q_PROPERTY(QString updateDownloadURL READ updateDownloadURL NOTIFY updateDownloadURLChanged)
    Q_PROPERTY(QString updateNotes READ updateNotes NOTIFY updateNotesChanged)
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
    Q_PROPERTY(bool isCapturingHotkey READ isCapturingHotkey NOTIFY isCapturingHotkeyChanged)
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
    Q_PROPERTY(QStringList runningApps READ runningApps NOTIFY runningAppsChanged)
    Q_PROPERTY(QString language READ language WRITE setLanguage NOTIFY languageChanged)
    Q_PROPERTY(double delayVariation READ delayVariation WRITE setDelayVariation NOTIFY delayVariationChanged)
    Q_PROPERTY(double passPauseMinimum READ passPauseMinimum WRITE setPassPauseMinimum NOTIFY
                   passPauseMinimumChanged)
    Q_PROPERTY(double passPauseMaximum READ passPauseMaximum WRITE setPassPauseMaximum NOTIFY
                   passPauseMaximumChanged)
    Q_PROPERTY(double clickSpread READ clickSpread WRITE setClickSpread NOTIFY clickSpreadChanged)
    Q_PROPERTY(bool stopPlaybackOnUserInput READ stopPlaybackOnUserInput WRITE setStopPlaybackOnUserInput
                   NOTIFY stopPlaybackOnUserInputChanged)
    // Why the user's own input cannot stop a playback in this session; empty where it can.
    Q_PROPERTY(QString userInputWatchProblem READ userInputWatchProblem CONSTANT)
    // The last playback was stopped because the user used the mouse or keyboard; cleared by the next.
    Q_PROPERTY(bool playbackStoppedByUserInput READ playbackStoppedByUserInput NOTIFY
                   playbackStoppedByUserInputChanged)
    Q_PROPERTY(QString notice READ notice NOTIFY noticeChanged)
    Q_PROPERTY(QString noticeDetail READ noticeDetail NOTIFY noticeChanged)
    Q_PROPERTY(bool canHideThisApplication READ canHideThisApplication CONSTANT)
    // The name of the library macro playing; empty while the timeline plays or nothing does.
    Q_PROPERTY(QString playingLibraryMacro READ playingLibraryMacro NOTIFY playingLibraryMacroChanged)
    // The last ten macro files imported or exported, the newest first.
    Q_PROPERTY(QStringList recentFiles READ recentFiles NOTIFY recentFilesChanged)

    using Setting = StoredSettings::Setting;

public:
    explicit MacroEngine(PlatformServices services, EngineOptions options = {}, QObject* parent = nullptr);
    ~MacroEngine() override;

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
    bool isCapturingHotkey() const { return m_isCapturingHotkey; }
    QStringList runningApps() const { return m_runningApps; }

    // The stored settings' getters and setters, one pair per row of their table (storedsettings.h).
#define LOOPWREN_SETTING_ACCESS_readWrite(name, Name, Type)                                                  \
    Type name() const { return m_settings.get<Type>(Setting::name); }                                        \
    void set##Name(const Type& value) { m_settings.set(Setting::name, value); }
#define LOOPWREN_SETTING_ACCESS_read(name, Name, Type)                                                       \
    Type name() const { return m_settings.get<Type>(Setting::name); }
#define LOOPWREN_SETTING_ACCESS_none(name, Name, Type)
#define LOOPWREN_SETTING_ACCESSORS(name, Name, Type, key, fallback, rule, access)                            \
    LOOPWREN_SETTING_ACCESS_##access(name, Name, Type)
    LOOPWREN_STORED_SETTINGS(LOOPWREN_SETTING_ACCESSORS)
#undef LOOPWREN_SETTING_ACCESSORS
#undef LOOPWREN_SETTING_ACCESS_none
#undef LOOPWREN_SETTING_ACCESS_read
#undef LOOPWREN_SETTING_ACCESS_readWrite
    QString userInputWatchProblem() const { return m_services.userInput->problem(); }
    bool playbackStoppedByUserInput() const { return m_playbackStoppedByUserInput; }
    // Values that a front end gives for its own run instead of the stored ones, which stay as they
    // are (the command-line tool's options). Applied to every following playback.
    void setPlaybackOverrides(const PlaybackOverrides& overrides) { m_overrides = overrides; }
    // What the window tells the user about the last thing that did not work as asked: a key of the
    // interface's text table (so it reads in the interface language), and a detail shown as it stands
    // (a path, the system's own reason). Empty: nothing to tell.
    QString notice() const { return m_notice; }
    QString noticeDetail() const { return m_noticeDetail; }
    // Whether hiding and showing this application's window does anything on this desktop.
    bool canHideThisApplication() const { return m_services.ownWindow->canHide(); }

    void setRecordMouseMovements(bool value);
    void setPlaybackSpeed(double value);
    void setLoopCount(qint64 value);
    void setInfiniteLoop(bool value);
    // Each end of the pause range pushes the other along rather than leaving an empty range.
    void setPassPauseMinimum(double value);
    void setPassPauseMaximum(double value);

    // Recording
    Q_INVOKABLE void startRecording();
    Q_INVOKABLE void stopRecording() { stopRecording({}); }
    // Ends the recording without the given inputs: the press and release on this application's own
    // stop button (or the key that pressed it), which played back would land on whatever is there.
    void stopRecording(const std::vector<InputStamp>& leaveOut);
    Q_INVOKABLE void toggleRecording();

    // Playback
    Q_INVOKABLE void startPlayback();
    Q_INVOKABLE void stopPlayback();
    Q_INVOKABLE void togglePlayback();

    // Hotkeys. While a hotkey is captured neither is bound, so pressing a combination that is already a
    // hotkey captures it instead of firing it; the end of the capture binds both again.
    void setIsCapturingHotkey(bool value);
    HotkeyService& hotkeyService() { return *m_services.hotkeys; }
    // The keys the desktop put on a hotkey where they are not the ones captured (see HotkeyService);
    // desktopTriggersChanged tells when that may have changed.
    std::optional<QString> desktopTrigger(EngineHotkeyRole role) const
    {
        return m_services.hotkeys->desktopTrigger(HotkeyRole(role).id);
    }
    // The hotkeys of the library's macros, bound and released along with the two above.
    LibraryHotkeys& libraryHotkeys() { return *m_libraryHotkeys; }
    // The input monitor recording uses; the hotkey capture watches key presses through it too.
    InputMonitor& inputMonitor() { return *m_services.input; }

    // Accessibility and the target application
    Q_INVOKABLE void checkAccessibility();
    Q_INVOKABLE void requestAccessibility();
    Q_INVOKABLE void refreshRunningApps();
    void focusTargetApp();

    // Macro files
    bool saveMacro(const QString& path);
    bool loadMacro(const QString& path);

    // The timeline as a whole: replaced (a view's own choice, tests), emptied (the Clear action).
    void setRecordedEvents(Timeline events);
    Q_INVOKABLE void clearTimeline();
    // Timeline editing; each change is queued and lands after the caller's current step.
    void updateEvent(const MacroEvent& event);
    void deleteEvent(const Uuid& id);
    void duplicateEvent(const Uuid& id);
    void moveEvent(const Uuid& id, std::ptrdiff_t offset);
    void insertWait(const std::optional<Uuid>& after);
    void moveEvents(const std::set<std::size_t>& positions, std::size_t destination);

    // Notices: the newest replaces the one shown; dismissing clears it.
    void showNotice(const QString& key, const QString& detail = {});
    Q_INVOKABLE void dismissNotice() { showNotice({}); }

    // The macro library, read from its folder on first use.
    MacroLibrary& library();
    // Runs a change of the library (add, rename, remove, update, reload) and tells the views; returns
    // what the change returned, empty on success.
    QString changeLibrary(const std::function<QString(MacroLibrary&)>& change);
    // Plays the library macro with its own loops, speed and humanised values (absent ones follow the
    // settings), leaving the timeline as it is. Playing the macro that plays stops it; while another
    // playback or a recording runs nothing happens, and the log says why.
    Q_INVOKABLE void playLibraryMacro(const QString& name);
    QString playingLibraryMacro() const;

    QStringList recentFiles() const;
    void addRecentFile(const QString& path);
    // Takes a path off the list, as when its file is gone.
    void forgetRecentFile(const QString& path);

    // Update check
    Q_INVOKABLE void checkForUpdates();
    // The "Later" of the update notice: the notice goes until a later check finds the release again.
    Q_INVOKABLE void dismissUpdate();
    QString applicationVersion() const { return m_options.applicationVersion; }

signals:
    void isRecordingChanged();
    void isPlayingChanged();
    void recordedEventsChanged();
    // Every change of the timeline, row by row, before and after it is made, so a view follows it
    // without rebuilding itself; recordedEventsChanged follows each.
    void timelineAboutToChange(const loopwren::TimelineChange& change);
    void timelineChanged(const loopwren::TimelineChange& change);
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
    void desktopTriggersChanged();
    // A library macro's hotkey was pressed (not while a hotkey is captured); sent after the hotkey
    // service's callback has returned.
    void libraryMacroHotkeyPressed(const QString& name);
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
    void delayVariationChanged();
    void passPauseMinimumChanged();
    void passPauseMaximumChanged();
    void clickSpreadChanged();
    void stopPlaybackOnUserInputChanged();
    void playbackStoppedByUserInputChanged();
    void noticeChanged();
    // Sent before the whole timeline is read (a playback starts, a save), however that was asked for,
    // so that a view holding an edit not yet handed over hands it over first; the operation goes on
    // with what the timeline holds once this returns.
    void timelineAboutToBeRead();
    void playingLibraryMacroChanged();
    void libraryChanged();
    void recentFilesChanged();
    // A playback came to its end, completed or stopped.
    void playbackFinished();
    // A playback did not start because another player of the session plays; reason says which.
    void playbackRefused(const QString& reason);

private:
    template <typename T>
    void assign(T& field, const T& value, void (MacroEngine::*changed)());
    void settingChanged(Setting setting);
    void bindHotkeys();
    void hotkeyPressed(bool record);
    void libraryHotkeyPressed(const QString& name);
    void setIsRecording(bool value);
    void setIsPlaying(bool value);
    void setCurrentPlaybackIndex(qint64 value);
    void appendRecordedEvent(MacroEvent event);
    void finishPlayback();
    void setPlayingLibraryFile(const QString& file);
    struct PlaybackValues
    {
        double speed = 100.0;
        std::int64_t loopLimit = 1; // below 1: until stopped
        std::optional<double> delayVariation, passPauseMinimum, passPauseMaximum, clickSpread;
    };
    void beginPlayback(Timeline events, const PlaybackValues& values);
    void userInputUsed();
    SessionProblems sessionProblems() const;
    ObservedTimeline observedTimeline();
    void editTimeline(std::function<void(ObservedTimeline&)> edit);

    PlatformServices m_services;
    EngineOptions m_options;
    SteadyPlaybackClock m_steadyClock;
    StoredSettings m_settings;

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
    bool m_isCapturingHotkey = false;
    QStringList m_runningApps;
    bool m_playbackStoppedByUserInput = false;
    PlaybackOverrides m_overrides;
    QString m_notice;
    QString m_noticeDetail;
    std::unique_ptr<MacroLibrary> m_library;
    QString m_playingLibraryFile; // the playing library macro's file, which a rename does not change

    // The units, after the state they report into; destroyed first.
    std::unique_ptr<Recorder> m_recorder;
    std::unique_ptr<Player> m_player;
    std::unique_ptr<HotkeyBinding> m_hotkeys;
    std::unique_ptr<LibraryHotkeys> m_libraryHotkeys;
    std::unique_ptr<TargetWindow> m_target;
    std::unique_ptr<UpdateCheck> m_updateCheck;
};

} // namespace loopwren
