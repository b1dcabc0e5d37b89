#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QtQml/qqmlregistration.h>

#include "hotkey.h"

namespace loopwren {

class HotkeyCapture;
class MacroEngine;

// What the settings page shows beyond the engine's plain settings, and the actions of its controls.
// The check boxes bind straight to the engine (through `engine`); everything that needs a decision —
// menu positions, capture button texts, the limits of the stepper and slider, the parsing of the
// number fields, the texts of the update section — lives here, where it is tested without a window.
class SettingsState : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Created with the engine by the application")
    // The engine, for the two-way bindings of the Boolean settings.
    Q_PROPERTY(QObject* engine READ engineObject CONSTANT)
    Q_PROPERTY(QStringList languageChoices READ languageChoices CONSTANT)
    // The entry of languageChoices that `language` selects; -1 for a value that is neither.
    Q_PROPERTY(int languageIndex READ languageIndex NOTIFY languageChanged)
    // Whether this page is shown in the window that has the focus, set by the window. A hotkey capture
    // starts only then, and ends when it stops being so.
    Q_PROPERTY(bool pageInFront READ pageInFront WRITE setPageInFront NOTIFY pageInFrontChanged)
    Q_PROPERTY(bool capturingRecord READ capturingRecord NOTIFY captureChanged)
    Q_PROPERTY(bool capturingPlayback READ capturingPlayback NOTIFY captureChanged)
    Q_PROPERTY(QString recordButtonText READ recordButtonText NOTIFY captureChanged)
    Q_PROPERTY(QString playbackButtonText READ playbackButtonText NOTIFY captureChanged)
    // The keys the desktop put on a hotkey, where they are not the captured ones; empty otherwise.
    Q_PROPERTY(QString recordDesktopTrigger READ recordDesktopTrigger NOTIFY desktopTriggersChanged)
    Q_PROPERTY(QString playbackDesktopTrigger READ playbackDesktopTrigger NOTIFY desktopTriggersChanged)
    Q_PROPERTY(QStringList runningApps READ runningApps NOTIFY targetAppChanged)
    // The position of `targetAppName` among the running applications; -1 leaves the menu unselected.
    Q_PROPERTY(int targetAppIndex READ targetAppIndex NOTIFY targetAppChanged)
    Q_PROPERTY(QString targetXText READ targetXText NOTIFY targetFrameChanged)
    Q_PROPERTY(QString targetYText READ targetYText NOTIFY targetFrameChanged)
    Q_PROPERTY(QString targetWidthText READ targetWidthText NOTIFY targetFrameChanged)
    Q_PROPERTY(QString targetHeightText READ targetHeightText NOTIFY targetFrameChanged)
    Q_PROPERTY(QString loopCountText READ loopCountText NOTIFY loopCountChanged)
    Q_PROPERTY(double speed READ speed NOTIFY speedChanged)
    Q_PROPERTY(QString speedText READ speedText NOTIFY speedChanged)
    Q_PROPERTY(int loopMinimum READ loopMinimum CONSTANT)
    Q_PROPERTY(int loopMaximum READ loopMaximum CONSTANT)
    Q_PROPERTY(double speedMinimum READ speedMinimum CONSTANT)
    Q_PROPERTY(double speedMaximum READ speedMaximum CONSTANT)
    Q_PROPERTY(double speedStep READ speedStep CONSTANT)
    // The human-like playback section.
    Q_PROPERTY(double variation READ variation NOTIFY variationChanged)
    Q_PROPERTY(QString variationText READ variationText NOTIFY variationChanged)
    Q_PROPERTY(double variationMaximum READ variationMaximum CONSTANT)
    Q_PROPERTY(QString pauseMinimumText READ pauseMinimumText NOTIFY pauseChanged)
    Q_PROPERTY(QString pauseMaximumText READ pauseMaximumText NOTIFY pauseChanged)
    Q_PROPERTY(double spread READ spread NOTIFY spreadChanged)
    Q_PROPERTY(QString spreadText READ spreadText NOTIFY spreadChanged)
    Q_PROPERTY(double spreadMaximum READ spreadMaximum CONSTANT)
    Q_PROPERTY(bool stopOnInputAvailable READ stopOnInputAvailable CONSTANT)
    // Why the user's input cannot stop a playback here, in the interface language; empty where it can.
    Q_PROPERTY(QString stopOnInputProblem READ stopOnInputProblem NOTIFY languageChanged)
    // The application update section, in the direct two-way language choice.
    Q_PROPERTY(QString updateHeading READ updateHeading NOTIFY languageChanged)
    Q_PROPERTY(QString versionLine READ versionLine NOTIFY languageChanged)
    Q_PROPERTY(QString updateExplanation READ updateExplanation NOTIFY languageChanged)
    Q_PROPERTY(QString checkUpdateText READ checkUpdateText NOTIFY languageChanged)

public:
    static constexpr int kLoopMinimum = 1;
    static constexpr int kLoopMaximum = 9999;
    static constexpr double kSpeedMinimum = 0.0;
    static constexpr double kSpeedMaximum = 1000.0;
    static constexpr double kSpeedStep = 10.0;
    // Which of the four target window fields a commit is for.
    enum Field
    {
        TargetX = 0,
        TargetY = 1,
        TargetWidth = 2,
        TargetHeight = 3
    };
    Q_ENUM(Field)

    SettingsState(MacroEngine& engine, HotkeyCapture& capture, QObject* parent = nullptr);

    QObject* engineObject() const;
    static QStringList languageChoices();
    int languageIndex() const;
    bool pageInFront() const { return m_pageInFront; }
    void setPageInFront(bool inFront);
    bool capturingRecord() const;
    bool capturingPlayback() const;
    QString recordButtonText() const;
    QString playbackButtonText() const;
    QString recordDesktopTrigger() const;
    QString playbackDesktopTrigger() const;
    QStringList runningApps() const;
    int targetAppIndex() const;
    QString targetXText() const;
    QString targetYText() const;
    QString targetWidthText() const;
    QString targetHeightText() const;
    QString loopCountText() const;
    double speed() const;
    QString speedText() const;
    static int loopMinimum() { return kLoopMinimum; }
    static int loopMaximum() { return kLoopMaximum; }
    static double speedMinimum() { return kSpeedMinimum; }
    static double speedMaximum() { return kSpeedMaximum; }
    static double speedStep() { return kSpeedStep; }
    QString updateHeading() const;
    QString versionLine() const;
    QString updateExplanation() const;
    QString checkUpdateText() const;

    Q_INVOKABLE void chooseLanguage(int index);
    // role: 0 record, 1 playback (EngineHotkeyRole).
    Q_INVOKABLE void startHotkeyCapture(int role);
    Q_INVOKABLE void resetHotkeys();
    Q_INVOKABLE void chooseTargetApp(int index);
    Q_INVOKABLE void refreshRunningApps();
    // Typed text of a whole number reaches its property; anything else leaves the property as it was
    // and puts its text back into the field. Returns whether the text was taken.
    Q_INVOKABLE bool commitField(Field field, const QString& text);
    Q_INVOKABLE void stepLoopCount(int direction);
    // The slider's position, kept within 0 to 1000 and on the steps of 10.
    Q_INVOKABLE void moveSpeed(double value);
    Q_INVOKABLE void checkForUpdates();
    // The sliders' positions, kept within their ranges and on whole steps.
    Q_INVOKABLE void moveVariation(double value);
    Q_INVOKABLE void moveSpread(double value);
    // Typed seconds for an end of the pause range (0 to an hour); anything else is put back.
    Q_INVOKABLE bool commitPause(bool maximum, const QString& text);

    double variation() const;
    QString variationText() const;
    static double variationMaximum() { return 100.0; }
    QString pauseMinimumText() const;
    QString pauseMaximumText() const;
    double spread() const;
    QString spreadText() const;
    static double spreadMaximum() { return 50.0; }
    bool stopOnInputAvailable() const;
    QString stopOnInputProblem() const;

signals:
    void languageChanged();
    void pageInFrontChanged();
    void captureChanged();
    void desktopTriggersChanged();
    void targetAppChanged();
    void targetFrameChanged();
    void loopCountChanged();
    void speedChanged();
    void variationChanged();
    void pauseChanged();
    void spreadChanged();

private:
    QString desktopTriggerText(EngineHotkeyRole role) const;

    MacroEngine& m_engine;
    HotkeyCapture& m_capture;
    bool m_pageInFront = false;
};

} // namespace loopwren
