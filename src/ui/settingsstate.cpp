#include "settingsstate.h"

#include "eventrowtext.h"
#include "eventtext.h"
#include "hotkeycapture.h"
#include "macroengine.h"
#include "texttable.h"

#include <algorithm>
#include <cmath>

namespace loopwren {
namespace {

const QString kCapturePrompt = QStringLiteral("Press target keys...");

QString hotkeyText(const Hotkey& hotkey) { return QString::fromStdString(displayText(hotkey)); }

} // namespace

SettingsState::SettingsState(MacroEngine& engine, HotkeyCapture& capture, QObject* parent)
    : QObject(parent), m_engine(engine), m_capture(capture)
{
    connect(&m_engine, &MacroEngine::languageChanged, this, &SettingsState::languageChanged);
    for (auto signal : {&MacroEngine::desktopTriggersChanged, &MacroEngine::languageChanged})
        connect(&m_engine, signal, this, &SettingsState::desktopTriggersChanged);
    connect(&m_capture, &HotkeyCapture::recordingHotkeyForChanged, this, &SettingsState::captureChanged);
    for (auto signal : {&MacroEngine::recordHotkeyChanged, &MacroEngine::playbackHotkeyChanged})
        connect(&m_engine, signal, this, &SettingsState::captureChanged);
    for (auto signal : {&MacroEngine::runningAppsChanged, &MacroEngine::targetAppNameChanged})
        connect(&m_engine, signal, this, &SettingsState::targetAppChanged);
    for (auto signal : {&MacroEngine::targetWindowXChanged, &MacroEngine::targetWindowYChanged,
                        &MacroEngine::targetWindowWidthChanged, &MacroEngine::targetWindowHeightChanged})
        connect(&m_engine, signal, this, &SettingsState::targetFrameChanged);
    connect(&m_engine, &MacroEngine::loopCountChanged, this, &SettingsState::loopCountChanged);
    connect(&m_engine, &MacroEngine::playbackSpeedChanged, this, &SettingsState::speedChanged);
    connect(&m_engine, &MacroEngine::delayVariationChanged, this, &SettingsState::variationChanged);
    connect(&m_engine, &MacroEngine::clickSpreadChanged, this, &SettingsState::spreadChanged);
    for (auto signal : {&MacroEngine::passPauseMinimumChanged, &MacroEngine::passPauseMaximumChanged})
        connect(&m_engine, signal, this, &SettingsState::pauseChanged);
}

QObject* SettingsState::engineObject() const { return &m_engine; }

QStringList SettingsState::languageChoices()
{
    // The names of the languages in their own words; these are not looked up.
    return {QStringLiteral("English"), QStringLiteral("Bahasa Indonesia")};
}

int SettingsState::languageIndex() const
{
    const QString language = m_engine.language();
    if (language == TextTable::english)
        return 0;
    if (language == TextTable::indonesian)
        return 1;
    return -1;
}

void SettingsState::chooseLanguage(int index)
{
    if (index == 0)
        m_engine.setLanguage(TextTable::english);
    else if (index == 1)
        m_engine.setLanguage(TextTable::indonesian);
}

bool SettingsState::capturingRecord() const
{
    return m_capture.recordingHotkeyFor() == EngineHotkeyRole::record;
}

bool SettingsState::capturingPlayback() const
{
    return m_capture.recordingHotkeyFor() == EngineHotkeyRole::playback;
}

QString SettingsState::recordButtonText() const
{
    return capturingRecord() ? kCapturePrompt : hotkeyText(m_engine.recordHotkey());
}

QString SettingsState::playbackButtonText() const
{
    return capturingPlayback() ? kCapturePrompt : hotkeyText(m_engine.playbackHotkey());
}

QString SettingsState::recordDesktopTrigger() const { return desktopTriggerText(EngineHotkeyRole::record); }

QString SettingsState::playbackDesktopTrigger() const
{
    return desktopTriggerText(EngineHotkeyRole::playback);
}

QString SettingsState::desktopTriggerText(EngineHotkeyRole role) const
{
    const std::optional<QString> trigger = m_engine.desktopTrigger(role);
    if (!trigger)
        return QString();
    const QString language = m_engine.language();
    if (trigger->isEmpty())
        return TextTable::localized(QStringLiteral("Desktop shortcut: none"), language);
    return TextTable::localized(QStringLiteral("Desktop shortcut: %1"), language).arg(*trigger);
}

void SettingsState::setPageInFront(bool inFront)
{
    if (inFront == m_pageInFront)
        return;
    m_pageInFront = inFront;
    // Left running behind another page or another application, a capture would hold the keyboard and
    // take the next key typed anywhere for a hotkey.
    if (!inFront)
        m_capture.cancel();
    emit pageInFrontChanged();
}

void SettingsState::startHotkeyCapture(int role)
{
    if (m_pageInFront)
        m_capture.startHotkeyCapture(role);
}

void SettingsState::resetHotkeys() { m_capture.resetHotkeys(); }

QStringList SettingsState::runningApps() const { return m_engine.runningApps(); }

int SettingsState::targetAppIndex() const
{
    return static_cast<int>(m_engine.runningApps().indexOf(m_engine.targetAppName()));
}

void SettingsState::chooseTargetApp(int index)
{
    const QStringList apps = m_engine.runningApps();
    if (index >= 0 && index < apps.size())
        m_engine.setTargetAppName(apps.at(index));
}

void SettingsState::refreshRunningApps() { m_engine.refreshRunningApps(); }

QString SettingsState::targetXText() const { return rowtext::wholeField(m_engine.targetWindowX()); }
QString SettingsState::targetYText() const { return rowtext::wholeField(m_engine.targetWindowY()); }
QString SettingsState::targetWidthText() const { return rowtext::wholeField(m_engine.targetWindowWidth()); }
QString SettingsState::targetHeightText() const { return rowtext::wholeField(m_engine.targetWindowHeight()); }

bool SettingsState::commitField(Field field, const QString& text)
{
    const std::optional<qint64> value = rowtext::parseWholeField(text);
    if (!value) {
        // The field keeps showing what it typed until its text is given again.
        emit targetFrameChanged();
        return false;
    }
    const double number = static_cast<double>(*value);
    switch (field) {
    case TargetX:
        m_engine.setTargetWindowX(number);
        break;
    case TargetY:
        m_engine.setTargetWindowY(number);
        break;
    case TargetWidth:
        m_engine.setTargetWindowWidth(number);
        break;
    case TargetHeight:
        m_engine.setTargetWindowHeight(number);
        break;
    }
    return true;
}

QString SettingsState::loopCountText() const { return QString::number(m_engine.loopCount()); }

void SettingsState::stepLoopCount(int direction)
{
    if (direction == 0)
        return;
    const qint64 step = direction > 0 ? 1 : -1;
    m_engine.setLoopCount(std::clamp<qint64>(m_engine.loopCount() + step, kLoopMinimum, kLoopMaximum));
}

double SettingsState::speed() const { return m_engine.playbackSpeed(); }

QString SettingsState::speedText() const { return QString::asprintf("%.0f%%", m_engine.playbackSpeed()); }

void SettingsState::moveSpeed(double value)
{
    if (!std::isfinite(value))
        return;
    const double stepped = std::round(value / kSpeedStep) * kSpeedStep;
    m_engine.setPlaybackSpeed(std::clamp(stepped, kSpeedMinimum, kSpeedMaximum));
}

QString SettingsState::updateHeading() const
{
    return TextTable::localized(QStringLiteral("APPLICATION UPDATE"), m_engine.language());
}

QString SettingsState::versionLine() const
{
    return TextTable::localized(QStringLiteral("Current Version: v"), m_engine.language()) +
           m_engine.applicationVersion();
}

QString SettingsState::updateExplanation() const
{
    return TextTable::localized(QStringLiteral("Check if a new version of LoopWren is available."),
                                m_engine.language());
}

QString SettingsState::checkUpdateText() const
{
    return TextTable::localized(QStringLiteral("Check Update"), m_engine.language());
}

void SettingsState::checkForUpdates() { m_engine.checkForUpdates(); }

double SettingsState::variation() const { return m_engine.delayVariation(); }

QString SettingsState::variationText() const
{
    return QString::asprintf("\u00b1%.0f%%", m_engine.delayVariation());
}

void SettingsState::moveVariation(double value)
{
    if (std::isfinite(value))
        m_engine.setDelayVariation(std::clamp(std::round(value), 0.0, variationMaximum()));
}

QString SettingsState::pauseMinimumText() const { return QString::number(m_engine.passPauseMinimum()); }
QString SettingsState::pauseMaximumText() const { return QString::number(m_engine.passPauseMaximum()); }

bool SettingsState::commitPause(bool maximum, const QString& text)
{
    bool ok = false;
    const double seconds = QString(text).replace(QLatin1Char(','), QLatin1Char('.')).trimmed().toDouble(&ok);
    // The engine keeps the value within its range; a number that is not one is put back.
    if (!ok || !std::isfinite(seconds) || seconds < 0) {
        emit pauseChanged();
        return false;
    }
    if (maximum)
        m_engine.setPassPauseMaximum(seconds);
    else
        m_engine.setPassPauseMinimum(seconds);
    return true;
}

double SettingsState::spread() const { return m_engine.clickSpread(); }

QString SettingsState::spreadText() const { return QString::asprintf("%.0f px", m_engine.clickSpread()); }

void SettingsState::moveSpread(double value)
{
    if (std::isfinite(value))
        m_engine.setClickSpread(std::clamp(std::round(value), 0.0, spreadMaximum()));
}

bool SettingsState::stopOnInputAvailable() const { return m_engine.userInputWatchProblem().isEmpty(); }

QString SettingsState::stopOnInputProblem() const
{
    const QString problem = m_engine.userInputWatchProblem();
    if (problem.isEmpty())
        return QString();
    const QString language = m_engine.language();
    return TextTable::localized(QStringLiteral("Unavailable: %1"), language)
        .arg(TextTable::localized(problem, language));
}

} // namespace loopwren
