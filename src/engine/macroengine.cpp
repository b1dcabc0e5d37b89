#include "macroengine.h"

#include "nullplatform.h"
#include "playbackworker.h"

#include <QThreadPool>

namespace loopwren {
namespace {

namespace key {
const QString recordHotkey = QStringLiteral("recordHotkey");
const QString playbackHotkey = QStringLiteral("playbackHotkey");
const QString targetAppName = QStringLiteral("targetAppName");
const QString focusTargetAppBeforePlayback = QStringLiteral("focusTargetAppBeforePlayback");
const QString setTargetWindowPosition = QStringLiteral("setTargetWindowPosition");
const QString setTargetWindowSize = QStringLiteral("setTargetWindowSize");
const QString appLanguage = QStringLiteral("appLanguage");
const QString showDeleteConfirmation = QStringLiteral("showDeleteConfirmation");
const QString hideWhenRecording = QStringLiteral("hideWhenRecording");
const QString hideOnPlayback = QStringLiteral("hideOnPlayback");
const QString showCloseSavePrompt = QStringLiteral("showCloseSavePrompt");
const QString targetWindowX = QStringLiteral("targetWindowX");
const QString targetWindowY = QStringLiteral("targetWindowY");
const QString targetWindowWidth = QStringLiteral("targetWindowWidth");
const QString targetWindowHeight = QStringLiteral("targetWindowHeight");
} // namespace key

// Older versions stored these keys as their defaults; they never were the user's choice.
constexpr std::uint16_t kDiscardedRecordKeyCode = 100;
constexpr std::uint16_t kDiscardedPlaybackKeyCode = 101;

Hotkey storedHotkey(const PreferencesStore& store, const QString& key, std::uint16_t discardedKeyCode)
{
    const std::optional<QByteArray> bytes = store.readBytes(key);
    if (!bytes)
        return Hotkey::unset();
    const std::optional<Hotkey> hotkey = decodeHotkey(std::string_view(bytes->constData(), bytes->size()));
    if (!hotkey || hotkey->keyCode == discardedKeyCode)
        return Hotkey::unset();
    return *hotkey;
}

double positiveOr(std::optional<double> value, double fallback)
{
    return value && *value > 0 ? *value : fallback;
}

} // namespace

MacroEngine* MacroEngine::s_shared = nullptr;

MacroEngine::MacroEngine(PlatformServices services, EngineOptions options, QObject* parent)
    : QObject(parent), m_services(std::move(services)), m_options(std::move(options))
{
    fillWithNullServices(m_services);
    s_shared = this;
    loadSettings();
    checkAccessibility();
    refreshRunningApps();
    registerHotkeys();
    checkForUpdates();
}

MacroEngine::~MacroEngine()
{
    stopRecording();
    stopPlayback();
    removeEventMonitors();
    // Neither the worker nor a pending window placement may outlive the services they use.
    m_playbackWorker.reset();
    QThreadPool::globalInstance()->waitForDone();
    unregisterHotkeys();
    if (m_hotkeyHandlerInstalled) {
        m_services.hotkeys->removeHandler();
        m_hotkeyHandlerInstalled = false;
    }
    if (s_shared == this)
        s_shared = nullptr;
}

MacroEngine* MacroEngine::shared() { return s_shared; }

void MacroEngine::loadSettings()
{
    const PreferencesStore& store = *m_services.preferences;
    // Both are read before either is assigned: assigning one saves both, which would otherwise
    // overwrite the stored playback hotkey with the unset one before it was ever read.
    const Hotkey record = storedHotkey(store, key::recordHotkey, kDiscardedRecordKeyCode);
    const Hotkey playback = storedHotkey(store, key::playbackHotkey, kDiscardedPlaybackKeyCode);
    setRecordHotkey(record);
    setPlaybackHotkey(playback);
    setTargetAppName(store.readString(key::targetAppName).value_or(QString()));
    setFocusTargetAppBeforePlayback(store.readBool(key::focusTargetAppBeforePlayback).value_or(false));
    setSetTargetWindowPosition(store.readBool(key::setTargetWindowPosition).value_or(false));
    setSetTargetWindowSize(store.readBool(key::setTargetWindowSize).value_or(false));
    setLanguage(store.readString(key::appLanguage).value_or(QStringLiteral("English")));
    setShowDeleteConfirmation(store.readBool(key::showDeleteConfirmation).value_or(true));
    setHideWhenRecording(store.readBool(key::hideWhenRecording).value_or(false));
    setHideOnPlayback(store.readBool(key::hideOnPlayback).value_or(false));
    setShowCloseSavePrompt(store.readBool(key::showCloseSavePrompt).value_or(true));
    setTargetWindowX(store.readDouble(key::targetWindowX).value_or(0.0));
    setTargetWindowY(store.readDouble(key::targetWindowY).value_or(0.0));
    setTargetWindowWidth(positiveOr(store.readDouble(key::targetWindowWidth), 800.0));
    setTargetWindowHeight(positiveOr(store.readDouble(key::targetWindowHeight), 600.0));
}

void MacroEngine::saveHotkeys()
{
    const std::string record = encodeHotkey(m_recordHotkey);
    m_services.preferences->writeBytes(key::recordHotkey, QByteArray::fromStdString(record));
    const std::string playback = encodeHotkey(m_playbackHotkey);
    m_services.preferences->writeBytes(key::playbackHotkey, QByteArray::fromStdString(playback));
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
void MacroEngine::setRecordedEvents(Timeline events)
{
    m_recordedEvents = std::move(events);
    emit recordedEventsReset();
    emit recordedEventsChanged();
}
void MacroEngine::setIsAccessibilityGranted(bool value)
{
    assign(m_isAccessibilityGranted, value, &MacroEngine::isAccessibilityGrantedChanged);
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
void MacroEngine::setCurrentPlaybackIndex(qint64 value)
{
    assign(m_currentPlaybackIndex, value, &MacroEngine::currentPlaybackIndexChanged);
}
void MacroEngine::setUpdateAvailable(bool value)
{
    assign(m_updateAvailable, value, &MacroEngine::updateAvailableChanged);
}
void MacroEngine::setUpdateDownloadURL(const QString& value)
{
    assign(m_updateDownloadURL, value, &MacroEngine::updateDownloadURLChanged);
}
void MacroEngine::setUpdateNotes(const QString& value)
{
    assign(m_updateNotes, value, &MacroEngine::updateNotesChanged);
}
void MacroEngine::setRunningApps(const QStringList& value)
{
    assign(m_runningApps, value, &MacroEngine::runningAppsChanged);
}

namespace {

void writeSetting(PreferencesStore& store, const QString& key, bool value) { store.writeBool(key, value); }
void writeSetting(PreferencesStore& store, const QString& key, double value)
{
    store.writeDouble(key, value);
}
void writeSetting(PreferencesStore& store, const QString& key, const QString& value)
{
    store.writeString(key, value);
}

} // namespace

template <typename T>
void MacroEngine::assignStored(T& field, const T& value, const QString& key, void (MacroEngine::*changed)())
{
    writeSetting(*m_services.preferences, key, value);
    assign(field, value, changed);
}

void MacroEngine::setShowDeleteConfirmation(bool value)
{
    assignStored(m_showDeleteConfirmation, value, key::showDeleteConfirmation,
                 &MacroEngine::showDeleteConfirmationChanged);
}
void MacroEngine::setHideWhenRecording(bool value)
{
    assignStored(m_hideWhenRecording, value, key::hideWhenRecording, &MacroEngine::hideWhenRecordingChanged);
}
void MacroEngine::setHideOnPlayback(bool value)
{
    assignStored(m_hideOnPlayback, value, key::hideOnPlayback, &MacroEngine::hideOnPlaybackChanged);
}
void MacroEngine::setShowCloseSavePrompt(bool value)
{
    assignStored(m_showCloseSavePrompt, value, key::showCloseSavePrompt,
                 &MacroEngine::showCloseSavePromptChanged);
}
void MacroEngine::setTargetAppName(const QString& value)
{
    assignStored(m_targetAppName, value, key::targetAppName, &MacroEngine::targetAppNameChanged);
}
void MacroEngine::setFocusTargetAppBeforePlayback(bool value)
{
    assignStored(m_focusTargetAppBeforePlayback, value, key::focusTargetAppBeforePlayback,
                 &MacroEngine::focusTargetAppBeforePlaybackChanged);
}
void MacroEngine::setSetTargetWindowPosition(bool value)
{
    assignStored(m_setTargetWindowPosition, value, key::setTargetWindowPosition,
                 &MacroEngine::setTargetWindowPositionChanged);
}
void MacroEngine::setSetTargetWindowSize(bool value)
{
    assignStored(m_setTargetWindowSize, value, key::setTargetWindowSize,
                 &MacroEngine::setTargetWindowSizeChanged);
}
void MacroEngine::setTargetWindowX(double value)
{
    assignStored(m_targetWindowX, value, key::targetWindowX, &MacroEngine::targetWindowXChanged);
}
void MacroEngine::setTargetWindowY(double value)
{
    assignStored(m_targetWindowY, value, key::targetWindowY, &MacroEngine::targetWindowYChanged);
}
void MacroEngine::setTargetWindowWidth(double value)
{
    assignStored(m_targetWindowWidth, value, key::targetWindowWidth, &MacroEngine::targetWindowWidthChanged);
}
void MacroEngine::setTargetWindowHeight(double value)
{
    assignStored(m_targetWindowHeight, value, key::targetWindowHeight,
                 &MacroEngine::targetWindowHeightChanged);
}
void MacroEngine::setLanguage(const QString& value)
{
    assignStored(m_language, value, key::appLanguage, &MacroEngine::languageChanged);
}

void MacroEngine::setRecordHotkey(const Hotkey& value)
{
    m_recordHotkey = value;
    saveHotkeys();
    if (!m_isCapturingHotkey)
        registerHotkeys();
    emit recordHotkeyChanged();
}
void MacroEngine::setPlaybackHotkey(const Hotkey& value)
{
    m_playbackHotkey = value;
    saveHotkeys();
    if (!m_isCapturingHotkey)
        registerHotkeys();
    emit playbackHotkeyChanged();
}
void MacroEngine::setIsCapturingHotkey(bool value)
{
    m_isCapturingHotkey = value;
    // While the user presses a combination to capture, a live grab would swallow it.
    if (value)
        unregisterHotkeys();
    else
        registerHotkeys();
    emit isCapturingHotkeyChanged();
}

} // namespace loopwren
