#include "contentviewstate.h"

#include "eventrowtext.h"
#include "macroengine.h"
#include "macrofiledialogs.h"
#include "texttable.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>

namespace loopwren {

ContentViewState::ContentViewState(MacroEngine& engine, Dialogs& dialogs, QObject* parent)
    : QObject(parent), m_engine(engine), m_timeline(new TimelineModel(engine, this)),
      m_editor(new EventEditor(engine, *m_timeline, dialogs, this)),
      m_fileDialogs(std::make_unique<MacroFileDialogs>(engine, dialogs))
{
    for (auto signal : {&MacroEngine::isRecordingChanged, &MacroEngine::isPlayingChanged,
                        &MacroEngine::recordedEventsChanged})
        connect(&m_engine, signal, this, &ContentViewState::runStateChanged);
    connect(&m_engine, &MacroEngine::isAccessibilityGrantedChanged, this,
            &ContentViewState::accessibilityChanged);
    connect(&m_engine, &MacroEngine::languageChanged, this, &ContentViewState::rebuildTexts);
    for (auto signal :
         {&MacroEngine::languageChanged, &MacroEngine::isRecordingChanged, &MacroEngine::recordHotkeyChanged})
        connect(&m_engine, signal, this, &ContentViewState::hintTextChanged);
    for (auto signal : {&MacroEngine::languageChanged, &MacroEngine::recordedEventsChanged})
        connect(&m_engine, signal, this, &ContentViewState::recordingCountTextChanged);
    for (auto signal : {&MacroEngine::updateAvailableChanged, &MacroEngine::updateNotesChanged})
        connect(&m_engine, signal, this, &ContentViewState::updateChanged);
    for (auto signal : {&MacroEngine::noticeChanged, &MacroEngine::languageChanged})
        connect(&m_engine, signal, this, &ContentViewState::noticeChanged);
    connect(&m_engine, &MacroEngine::timelineAboutToBeRead, this, &ContentViewState::commitTypedEdits);
    connect(m_editor, &EventEditor::selectionChanged, this, &ContentViewState::editorVisibleChanged);
    connect(this, &ContentViewState::activeTabChanged, this, &ContentViewState::editorVisibleChanged);
    // A recording or a playback that starts closes the editor, whoever started it (a button or a hotkey).
    connect(&m_engine, &MacroEngine::isRecordingChanged, this, [this] {
        if (m_engine.isRecording())
            m_editor->clearSelection();
    });
    connect(&m_engine, &MacroEngine::isPlayingChanged, this, [this] {
        if (m_engine.isPlaying())
            m_editor->clearSelection();
    });
    rebuildTexts();
}

ContentViewState::~ContentViewState() = default;

QStringList ContentViewState::untranslatedKeys()
{
    return {QStringLiteral("+ Wait"), QStringLiteral("Pause execution flow")};
}

void ContentViewState::setIsPulsing(bool value)
{
    m_isPulsing = value;
    emit isPulsingChanged();
}

QUrl ContentViewState::logoSource()
{
    const QString path = QStringLiteral(":/qt/qml/LoopWren/Ui/images/logo.png");
    return QFile::exists(path) ? QUrl(QStringLiteral("qrc") + path) : QUrl();
}

bool ContentViewState::isRecording() const { return m_engine.isRecording(); }
bool ContentViewState::isPlaying() const { return m_engine.isPlaying(); }
bool ContentViewState::isEmpty() const { return m_engine.recordedEvents().empty(); }
int ContentViewState::eventCount() const { return m_engine.eventCount(); }
bool ContentViewState::isAccessibilityGranted() const { return m_engine.isAccessibilityGranted(); }
bool ContentViewState::editorVisible() const { return m_activeTab == Timeline && m_editor->hasSelection(); }
QString ContentViewState::language() const { return m_engine.language(); }

QString ContentViewState::localized(const QString& key) const
{
    return TextTable::localized(key, m_engine.language());
}

bool ContentViewState::updateAvailable() const { return m_engine.updateAvailable(); }
QString ContentViewState::updateNotes() const { return m_engine.updateNotes(); }

QString ContentViewState::hintText() const
{
    return rowtext::emptyHint(m_engine.language(), m_engine.isRecording(), m_engine.recordHotkey());
}

QString ContentViewState::recordingCountText() const
{
    return rowtext::eventCount(static_cast<qsizetype>(m_engine.recordedEvents().size()), m_engine.language());
}

QString ContentViewState::noticeText() const
{
    const QString key = m_engine.notice();
    return key.isEmpty() ? QString() : TextTable::localized(key, m_engine.language());
}

QString ContentViewState::noticeDetail() const { return m_engine.noticeDetail(); }

void ContentViewState::recordAction()
{
    if (m_engine.isRecording())
        m_engine.stopRecording(m_witness.lastActivation());
    else
        m_engine.startRecording();
    if (m_engine.isRecording())
        m_editor->clearSelection();
}

void ContentViewState::playbackAction()
{
    commitTypedEdits();
    m_editor->clearSelection();
    if (!m_engine.isPlaying())
        m_engine.startPlayback();
    else
        m_engine.stopPlayback();
}

void ContentViewState::clearAction()
{
    m_editor->clearSelection();
    m_engine.clearTimeline();
}

void ContentViewState::waitAction()
{
    const auto& selected = m_editor->selectedEvent();
    m_engine.insertWait(selected ? std::optional<Uuid>(selected->id) : std::nullopt);
}

void ContentViewState::importAction()
{
    // Before the dialog opens, so a cancelled import still closes the editor.
    m_editor->clearSelection();
    m_fileDialogs->showImportDialog();
}

void ContentViewState::exportAction()
{
    // Before the dialog opens: an edit handed over later would wait for the dialog to close, and the
    // save would not see it.
    commitTypedEdits();
    m_fileDialogs->showExportDialog();
}

void ContentViewState::grantAccessAction() { m_engine.requestAccessibility(); }

void ContentViewState::dismissNoticeAction() { m_engine.dismissNotice(); }

void ContentViewState::navigate(ActiveTab tab)
{
    m_editor->clearSelection();
    m_activeTab = tab;
    emit activeTabChanged();
}

void ContentViewState::tapRow(int row)
{
    if (m_engine.isRecording() || m_engine.isPlaying())
        return;
    if (const MacroEvent* event = m_timeline->eventAt(row))
        m_editor->selectEvent(*event);
}

void ContentViewState::dropRow(int row, int destination)
{
    const int count = m_timeline->rowCount();
    if (row < 0 || row >= count || destination < 0 || destination > count)
        return;
    m_engine.moveEvents({static_cast<std::size_t>(row)}, static_cast<std::size_t>(destination));
}

void ContentViewState::windowAppeared() { m_engine.checkAccessibility(); }

void ContentViewState::commitTypedEdits()
{
    // Edits are queued like every edit of the timeline; these must land before the caller goes on,
    // also one handed over just before, as leaving a field for the Export button does.
    m_editor->commitTypedText();
    if (m_editor->takeHandedOverEdits())
        QCoreApplication::sendPostedEvents(&m_engine, QEvent::MetaCall);
}

void ContentViewState::watchWindow(QObject* window)
{
    if (window)
        window->installEventFilter(&m_witness);
}

bool ContentViewState::updateNowAction()
{
    // The notice stays open and the update stays available, whatever the browser does.
    const QUrl url(m_engine.updateDownloadURL(), QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != QStringLiteral("http") && url.scheme() != QStringLiteral("https")))
        return false;
    return QDesktopServices::openUrl(url);
}

void ContentViewState::laterAction() { m_engine.dismissUpdate(); }

void ContentViewState::rebuildTexts()
{
    const QString language = m_engine.language();
    QVariantMap texts;
    for (const QString& key : TextTable::keys())
        texts.insert(key, TextTable::localized(key, language));
    for (const QString& key : untranslatedKeys())
        texts.insert(key, TextTable::localized(key, language));
    m_texts = std::move(texts);
    emit textsChanged();
}

} // namespace loopwren
