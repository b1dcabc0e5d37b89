// The control bar and the sidebar: which controls are usable in each run state, and what they do.
#include "uifixture.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <map>

namespace loopwren {
namespace {

class ControlBar : public UiFixture
{
protected:
    // The names of the controls that take input, in bar order, then the two navigation entries.
    QStringList enabledControls()
    {
        QStringList names;
        for (const char* name : {"recordButton", "playbackButton", "clearButton", "waitButton",
                                 "importButton", "exportButton", "navTimeline", "navSettings"}) {
            QQuickItem* control = item(name);
            if (control && control->isEnabled())
                names.append(QString::fromUtf8(name));
        }
        return names;
    }
};

TEST_F(ControlBar, EnabledSetsByRunState)
{
    build();
    openWindow();
    EXPECT_EQ(enabledControls(),
              (QStringList{"recordButton", "waitButton", "importButton", "navTimeline", "navSettings"}));

    setTimeline(sampleTimeline());
    EXPECT_EQ(enabledControls(), (QStringList{"recordButton", "playbackButton", "clearButton", "waitButton",
                                              "importButton", "exportButton", "navTimeline", "navSettings"}));

    engine->startRecording();
    drain();
    EXPECT_EQ(enabledControls(), QStringList{"recordButton"});
    EXPECT_EQ(labelOf("recordButton"), QStringLiteral("STOP"));
    EXPECT_TRUE(item("recordingIndicator")->isVisible());
    engine->stopRecording();
    drain();
    EXPECT_FALSE(item("recordingIndicator")->isVisible());

    setTimeline(sampleTimeline());
    engine->startPlayback();
    drain();
    EXPECT_EQ(enabledControls(), QStringList{"playbackButton"});
    EXPECT_EQ(labelOf("playbackButton"), QStringLiteral("ABORT"));
}

TEST_F(ControlBar, RecordButtonRecordsAndTheCountFollows)
{
    build();
    setTimeline(sampleTimeline());
    openWindow();
    state->tapRow(0);
    click(item("recordButton"));
    EXPECT_TRUE(engine->isRecording());
    EXPECT_FALSE(state->editor()->hasSelection());
    EXPECT_TRUE(item("emptyCard")->isVisible());
    InputEvent input;
    input.kind = InputKind::buttonDown;
    input.button = MouseButtonType::left;
    input.location = Point{10, 20};
    input.timestamp = std::chrono::steady_clock::now();
    this->input->deliver(input);
    drain();
    EXPECT_EQ(labelOf("recordingCount"), QStringLiteral("1 Events"));
    EXPECT_TRUE(item("timelineList")->isVisible());
    click(item("recordButton"));
    EXPECT_FALSE(engine->isRecording());
}

// What the window receives reaches the recording too, with the window system's times, as the desktop's
// capture sees all input, LoopWren's own included.
class CaptureEcho : public QObject
{
public:
    explicit CaptureEcho(FakeInputMonitor& capture) : m_capture(capture) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        static const std::map<QEvent::Type, InputKind> kinds = {
            {QEvent::MouseButtonPress, InputKind::buttonDown},
            {QEvent::MouseButtonRelease, InputKind::buttonUp},
            {QEvent::KeyPress, InputKind::keyDown},
            {QEvent::KeyRelease, InputKind::keyUp}};
        if (const auto kind = kinds.find(event->type()); kind != kinds.end()) {
            InputEvent input;
            input.kind = kind->second;
            input.timestamp = std::chrono::steady_clock::now();
            input.systemTime = static_cast<std::uint32_t>(static_cast<QInputEvent*>(event)->timestamp());
            input.location = Point{1, 2};
            input.button = MouseButtonType::left;
            m_capture.deliver(input);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    FakeInputMonitor& m_capture;
};

// Played back, the press on STOP would land on whatever is there by then; other input to the window
// stays in the recording.
TEST_F(ControlBar, TheClickOrKeyThatStopsARecordingIsLeftOut)
{
    build();
    openWindow();
    CaptureEcho echo(*input);
    window->installEventFilter(&echo);
    click(item("recordButton"));
    QTest::keyClick(window, Qt::Key_A);
    click(item("recordButton"));
    drain();
    ASSERT_FALSE(engine->isRecording());
    QStringList types;
    for (const MacroEvent& event : engine->recordedEvents())
        types << QString::fromUtf8(rawValue(event.type).data());
    EXPECT_EQ(types, (QStringList{"keyDown", "keyUp"}));

    click(item("recordButton"));
    item("recordButton")->forceActiveFocus();
    QTest::keyClick(window, Qt::Key_Space);
    drain();
    EXPECT_FALSE(engine->isRecording()) << "Space on the focused button stops";
    EXPECT_TRUE(engine->recordedEvents().empty());
}

// At the smallest window, with the editor open, in both languages: every button lies beside the editor,
// none on another, and no label is cut.
TEST_F(ControlBar, AtTheMinimumSizeNothingOverlapsOrIsCut)
{
    build();
    setTimeline(sampleTimeline());
    openWindow();
    window->resize(850, 550);
    state->tapRow(0);
    ASSERT_TRUE(waitUntil([&] { return item("editorSlot")->width() == 221; }));
    const char* const names[] = {"recordButton", "playbackButton", "clearButton",
                                 "waitButton",   "importButton",   "exportButton"};
    for (const char* language : {"English", "Indonesia"}) {
        SCOPED_TRACE(language);
        engine->setLanguage(QString::fromLatin1(language));
        drain();
        ASSERT_TRUE(waitUntil([&] { return window->width() == 850; }));
        const QRectF editor = item("editorSlot")->mapRectToScene(item("editorSlot")->boundingRect());
        std::vector<QRectF> placed;
        for (const char* name : names) {
            QQuickItem* button = item(name);
            const QRectF box = button->mapRectToScene(button->boundingRect());
            EXPECT_LE(box.right(), editor.left()) << name << " runs under the editor";
            for (const QRectF& other : placed)
                EXPECT_FALSE(box.intersects(other)) << name << " lies on another button";
            placed.push_back(box);
            if (QQuickItem* label = childOf(button, "label")) {
                EXPECT_LE(label->implicitWidth(), label->width() + 0.5) << name << " is cut";
            }
        }
    }
}

// Tab visits every control of each page, and wherever the focus is, a ring shows it; Space would
// otherwise press a button the user cannot see.
TEST_F(ControlBar, KeyboardFocusIsShownOnEveryControl)
{
    build();
    setTimeline(sampleTimeline());
    openWindow();
    window->resize(1040, 1700);
    // Visits the page's controls with Tab until the focus comes round again.
    const auto tabRound = [&] {
        QStringList visited;
        for (int step = 0; step < 80; ++step) {
            QTest::keyClick(window, Qt::Key_Tab);
            QQuickItem* focused = window->activeFocusItem();
            if (!focused)
                break;
            const QString name = focused->objectName();
            if (visited.contains(name))
                break;
            visited << name;
            QQuickItem* ring = childOf(focused, "focusRing");
            EXPECT_TRUE(ring && ring->isVisible())
                << name.toStdString() << " has the focus and shows nothing";
        }
        return visited;
    };
    state->tapRow(1); // a click: location, button and all footer buttons
    ASSERT_TRUE(waitUntil([&] { return item("editorSlot")->width() == 221; }));
    EXPECT_EQ(tabRound(),
              (QStringList{"navTimeline", "navSettings",  "recordButton", "playbackButton", "clearButton",
                           "waitButton",  "importButton", "exportButton", "closeEditor",    "delayField",
                           "stepUp",      "stepDown",     "xField",       "yField",         "segment0",
                           "segment1",    "segment2",     "copyButton",   "deleteButton",   "upButton",
                           "downButton"}));
    state->navigate(ContentViewState::Settings);
    ASSERT_TRUE(
        waitUntil([&] { return !item("editorSlot")->isVisible() && item("settingsPage")->opacity() == 1; }));
    EXPECT_GE(tabRound().size(), 18);
}

TEST_F(ControlBar, ClearEmptiesTheTimelineAndClosesTheEditor)
{
    build();
    setTimeline(sampleTimeline());
    openWindow();
    state->tapRow(4);
    click(item("clearButton"));
    EXPECT_TRUE(engine->recordedEvents().empty());
    EXPECT_FALSE(state->editor()->hasSelection());
    EXPECT_TRUE(dialogs.shown.isEmpty()); // no confirmation
    EXPECT_TRUE(item("emptyCard")->isVisible());
}

TEST_F(ControlBar, WaitGoesAfterTheSelectedEventOrAtTheEnd)
{
    build();
    setTimeline(sampleTimeline());
    openWindow();
    click(item("waitButton"));
    drain();
    ASSERT_EQ(engine->recordedEvents().size(), 13u);
    EXPECT_EQ(engine->recordedEvents().back().type, EventType::wait);
    EXPECT_EQ(engine->recordedEvents().back().delaySincePrevious, 1.0);

    state->tapRow(1);
    click(item("waitButton"));
    drain();
    EXPECT_EQ(engine->recordedEvents()[2].type, EventType::wait);
}

TEST_F(ControlBar, ImportClearsTheSelectionEvenWhenCancelledAndExportProposesTheDefaultName)
{
    build();
    setTimeline(sampleTimeline());
    openWindow();
    state->tapRow(1);
    click(item("importButton"));
    EXPECT_FALSE(state->editor()->hasSelection());
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0],
              QStringLiteral("open panel: Import Macro | Choose a macro file to read from."));

    const QString path = QDir::tempPath() + QStringLiteral("/loopwren-ui-export-test.json");
    dialogs.panelAnswers.enqueue(path);
    click(item("exportButton"));
    ASSERT_EQ(dialogs.shown.size(), 2);
    EXPECT_TRUE(dialogs.shown[1].startsWith(
        QStringLiteral("save panel: Export Macro | Choose a path to write the macro script file. | macro_")));
    EXPECT_TRUE(dialogs.shown[1].endsWith(QStringLiteral(".json")));

    // What was exported comes back through Import, replacing the timeline.
    engine->setRecordedEvents({});
    dialogs.panelAnswers.enqueue(path);
    click(item("importButton"));
    drain();
    EXPECT_EQ(engine->recordedEvents().size(), 12u);
    QFile::remove(path);
}

TEST_F(ControlBar, NavigationSwitchesPagesAndClosesTheEditor)
{
    build();
    setTimeline(sampleTimeline());
    openWindow();
    state->tapRow(0);
    drain();
    EXPECT_TRUE(state->editorVisible());
    click(item("navSettings"));
    EXPECT_EQ(state->activeTab(), ContentViewState::Settings);
    EXPECT_FALSE(state->editor()->hasSelection());
    EXPECT_TRUE(
        waitUntil([&] { return item("settingsPage")->isVisible() && !item("timelinePage")->isVisible(); }));
    click(item("navTimeline"));
    EXPECT_EQ(state->activeTab(), ContentViewState::Timeline);
}

TEST_F(ControlBar, GrantAccessOnlyWithoutPermission)
{
    build();
    openWindow();
    EXPECT_FALSE(item("grantAccessButton")->isVisible());
    accessibility->trusted = false;
    engine->checkAccessibility();
    drain();
    EXPECT_EQ(labelOf("accessibilityStatus"), QStringLiteral("No API Access"));
    ASSERT_TRUE(item("grantAccessButton")->isVisible());
    click(item("grantAccessButton"));
    EXPECT_EQ(accessibility->requests, 1);
}

TEST_F(ControlBar, MissingLogoShowsTheGradientMark)
{
    build();
    openWindow();
    EXPECT_TRUE(item("logoFallback")->isVisible());
}

} // namespace
} // namespace loopwren
