#pragma once

#include "activationwitness.h"
#include "eventeditor.h"
#include "timelinemodel.h"

#include <QObject>
#include <QString>
#include <QUrl>
#include <QVariantMap>
#include <QtQml/qqmlregistration.h>
#include <memory>

namespace loopwren {

class Dialogs;
class MacroEngine;
class MacroFileDialogs;

// The state of the main window's root view and the actions of its controls. It observes the engine and
// republishes what the window shows, so the QML only lays out and the decisions are tested in C++.
class ContentViewState : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Created with the engine by the application")
    Q_PROPERTY(ActiveTab activeTab READ activeTab NOTIFY activeTabChanged)
    Q_PROPERTY(bool isPulsing READ isPulsing WRITE setIsPulsing NOTIFY isPulsingChanged)
    Q_PROPERTY(bool isRecording READ isRecording NOTIFY runStateChanged)
    Q_PROPERTY(bool isPlaying READ isPlaying NOTIFY runStateChanged)
    Q_PROPERTY(bool isEmpty READ isEmpty NOTIFY runStateChanged)
    Q_PROPERTY(int eventCount READ eventCount NOTIFY runStateChanged)
    Q_PROPERTY(bool recordEnabled READ recordEnabled NOTIFY runStateChanged)
    Q_PROPERTY(bool playbackEnabled READ playbackEnabled NOTIFY runStateChanged)
    Q_PROPERTY(bool clearEnabled READ clearEnabled NOTIFY runStateChanged)
    Q_PROPERTY(bool waitEnabled READ waitEnabled NOTIFY runStateChanged)
    Q_PROPERTY(bool importEnabled READ importEnabled NOTIFY runStateChanged)
    Q_PROPERTY(bool exportEnabled READ exportEnabled NOTIFY runStateChanged)
    Q_PROPERTY(bool navigationEnabled READ navigationEnabled NOTIFY runStateChanged)
    Q_PROPERTY(bool isAccessibilityGranted READ isAccessibilityGranted NOTIFY accessibilityChanged)
    Q_PROPERTY(bool editorVisible READ editorVisible NOTIFY editorVisibleChanged)
    Q_PROPERTY(QString language READ language NOTIFY textsChanged)
    // Every looked-up text the window shows, by key, in the current language.
    Q_PROPERTY(QVariantMap texts READ texts NOTIFY textsChanged)
    // The direct two-way choice for the texts that are not in the table: Indonesian exactly for "Indonesia".
    Q_PROPERTY(bool updateAvailable READ updateAvailable NOTIFY updateChanged)
    Q_PROPERTY(QString updateNotes READ updateNotes NOTIFY updateChanged)
    Q_PROPERTY(QString hintText READ hintText NOTIFY hintTextChanged)
    Q_PROPERTY(QString recordingCountText READ recordingCountText NOTIFY recordingCountTextChanged)
    // The engine's notice in the interface language, and its detail as it stands; empty: none shown.
    Q_PROPERTY(QString noticeText READ noticeText NOTIFY noticeChanged)
    Q_PROPERTY(QString noticeDetail READ noticeDetail NOTIFY noticeChanged)
    // The "logo" picture, or an empty address when the resources hold none (the gradient mark stands in).
    Q_PROPERTY(QUrl logoSource READ logoSource CONSTANT)
    Q_PROPERTY(EventEditor* editor READ editor CONSTANT)
    Q_PROPERTY(TimelineModel* timeline READ timeline CONSTANT)

public:
    enum ActiveTab
    {
        Timeline = 0,
        Settings = 1,
        Library = 2
    };
    Q_ENUM(ActiveTab)

    ContentViewState(MacroEngine& engine, Dialogs& dialogs, QObject* parent = nullptr);
    ~ContentViewState() override;

    // The keys the window looks up besides the table's own: they pass through unchanged.
    static QStringList untranslatedKeys();

    ActiveTab activeTab() const { return m_activeTab; }
    bool isPulsing() const { return m_isPulsing; }
    void setIsPulsing(bool value);
    bool isRecording() const;
    bool isPlaying() const;
    bool isEmpty() const;
    int eventCount() const;
    bool recordEnabled() const { return !isPlaying(); }
    bool playbackEnabled() const { return !isRecording() && !isEmpty(); }
    bool clearEnabled() const { return !isRecording() && !isPlaying() && !isEmpty(); }
    bool waitEnabled() const { return !isRecording() && !isPlaying(); }
    bool importEnabled() const { return !isRecording() && !isPlaying(); }
    bool exportEnabled() const { return !isRecording() && !isPlaying() && !isEmpty(); }
    bool navigationEnabled() const { return !isRecording() && !isPlaying(); }
    bool isAccessibilityGranted() const;
    bool editorVisible() const;
    QString language() const;
    QVariantMap texts() const { return m_texts; }
    Q_INVOKABLE QString localized(const QString& key) const;
    bool updateAvailable() const;
    QString updateNotes() const;
    QString hintText() const;
    QString recordingCountText() const;
    QString noticeText() const;
    QString noticeDetail() const;
    static QUrl logoSource();
    EventEditor* editor() const { return m_editor; }
    TimelineModel* timeline() const { return m_timeline; }
    MacroEngine& engine() const { return m_engine; }
    MacroFileDialogs& fileDialogs() const { return *m_fileDialogs; }

    Q_INVOKABLE void recordAction();
    Q_INVOKABLE void playbackAction();
    Q_INVOKABLE void clearAction();
    Q_INVOKABLE void waitAction();
    Q_INVOKABLE void importAction();
    Q_INVOKABLE void exportAction();
    Q_INVOKABLE void grantAccessAction();
    Q_INVOKABLE void dismissNoticeAction();
    Q_INVOKABLE void navigate(ActiveTab tab);
    Q_INVOKABLE void tapRow(int row);
    // A drop of the dragged row in front of the row that stood at destination (the row count for the end).
    Q_INVOKABLE void dropRow(int row, int destination);
    Q_INVOKABLE void windowAppeared();
    // Hands over text typed into the editor and not yet handed over, and lets the edit land, so what
    // comes next (a playback, a save, a copy) sees it. The engine asks for it before it reads the
    // timeline, whoever started that (a button, a hotkey, the quit prompt).
    void commitTypedEdits();
    // The window whose input may stop a recording: its own click on STOP is not recorded.
    Q_INVOKABLE void watchWindow(QObject* window);
    // The update notice's buttons: open the download address (http or https only), or dismiss it.
    Q_INVOKABLE bool updateNowAction();
    Q_INVOKABLE void laterAction();

signals:
    void activeTabChanged();
    void isPulsingChanged();
    void runStateChanged();
    void accessibilityChanged();
    void editorVisibleChanged();
    void textsChanged();
    void hintTextChanged();
    void updateChanged();
    void recordingCountTextChanged();
    void noticeChanged();

private:
    void rebuildTexts();

    MacroEngine& m_engine;
    TimelineModel* m_timeline;
    EventEditor* m_editor;
    std::unique_ptr<MacroFileDialogs> m_fileDialogs;
    ActivationWitness m_witness;
    ActiveTab m_activeTab = Timeline;
    bool m_isPulsing = false;
    QVariantMap m_texts;
};

} // namespace loopwren
