// The control bar, the sidebar and the window as a whole: which controls are usable in each run state,
// what they do, and that every control is reachable and visible at the smallest size.
#include "uifixture.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <map>

namespace loopwren {
namespace {

class ControlBar : public UiTest
{
protected:
    // The names of the controls that take input, in bar order, then the two navigation entries.
    QStringList enabledControls()
    {
        QStringList names;
        for (const char* name : {"recordButton", "playbackButton", "clearButton", "waitButton",
                                 "importButton", "exportButton", "navTimeline", "navSettings"}) {
            if (item(name)->isEnabled())
                names.append(QString(name));
        }
        return names;
    }
};

TEST_F(ControlBar, RunStatesDecideWhatTakesInput)
{
    start();
    EXPECT_EQ(enabledControls(),
              (QStringList{"recordButton", "waitButton", "importButton", "navTimeline", "navSettings"}));
    setTimeline(sampleTimeline());
    EXPECT_EQ(enabledControls(), (QStringList{"recordButton", "playbackButton", "clearButton", "waitButton",
                                              "importButton", "exportButton", "navTimeline", "navSettings"}));

    // Recording starts over an empty timeline, closes the editor, and counts what comes in.
    state().tapRow(0);
    click(item("recordButton"));
    ASSERT_TRUE(engine().isRecording());
    EXPECT_FALSE(editor().hasSelection());
    EXPECT_EQ(enabledControls(), QStringList{"recordButton"});
    EXPECT_EQ(labelOf("recordButton"), "STOP");
    EXPECT_TRUE(item("recordingIndicator")->isVisible());
    EXPECT_TRUE(item("emptyCard")->isVisible());
    InputEvent press;
    press.kind = InputKind::buttonDown;
    press.button = MouseButtonType::left;
    press.location = Point{10, 20};
    press.timestamp = std::chrono::steady_clock::now();
    input->deliver(press);
    drain();
    EXPECT_EQ(labelOf("recordingCount"), "1 Events");
    EXPECT_TRUE(item("timelineList")->isVisible());
    click(item("recordButton"));
    EXPECT_FALSE(engine().isRecording());
    EXPECT_FALSE(item("recordingIndicator")->isVisible());

    // While a playback runs, only its own button works and a tap on a row selects nothing.
    setTimeline(sampleTimeline());
    engine().startPlayback();
    drain();
    EXPECT_EQ(enabledControls(), QStringList{"playbackButton"});
    EXPECT_EQ(labelOf("playbackButton"), "ABORT");
    click(row(1));
    EXPECT_FALSE(editor().hasSelection());
    engine().stopPlayback();
    click(row(1));
    ASSERT_TRUE(editor().hasSelection());
    EXPECT_EQ(editor().selectedEvent()->id, engine().recordedEvents()[1].id);
    EXPECT_TRUE(waitUntil([&] { return item("eventEditor")->isVisible(); }));

    // Clear asks nothing and closes the editor.
    click(item("clearButton"));
    EXPECT_TRUE(engine().recordedEvents().empty());
    EXPECT_FALSE(editor().hasSelection());
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_TRUE(item("emptyCard")->isVisible());
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
    start();
    CaptureEcho echo(*input);
    window->installEventFilter(&echo);
    click(item("recordButton"));
    QTest::keyClick(window, Qt::Key_A);
    click(item("recordButton"));
    drain();
    ASSERT_FALSE(engine().isRecording());
    QStringList types;
    for (const MacroEvent& event : engine().recordedEvents())
        types << QString::fromUtf8(rawValue(event.type).data());
    EXPECT_EQ(types, (QStringList{"keyDown", "keyUp"}));

    click(item("recordButton"));
    item("recordButton")->forceActiveFocus();
    QTest::keyClick(window, Qt::Key_Space);
    drain();
    EXPECT_FALSE(engine().isRecording()) << "Space on the focused button stops";
    EXPECT_TRUE(engine().recordedEvents().empty());
}

// At the smallest window, with the editor open, in both languages: every button lies beside the editor,
// none on another, and no label is cut.
TEST_F(ControlBar, AtTheMinimumSizeNothingOverlapsOrIsCut)
{
    start();
    setTimeline(sampleTimeline());
    window->resize(850, 550);
    state().tapRow(0);
    ASSERT_TRUE(waitUntil([&] { return item("editorSlot")->width() == 221; }));
    for (const char* language : {"English", "Indonesia"}) {
        SCOPED_TRACE(language);
        engine().setLanguage(QString(language));
        drain();
        ASSERT_TRUE(waitUntil([&] { return window->width() == 850; }));
        const QRectF editor = item("editorSlot")->mapRectToScene(item("editorSlot")->boundingRect());
        std::vector<QRectF> placed;
        for (const char* name : {"recordButton", "playbackButton", "clearButton", "waitButton",
                                 "importButton", "exportButton"}) {
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
    start();
    setTimeline(sampleTimeline());
    window->resize(1040, 1700);
    // Visits the page's controls with Tab until the focus comes round again.
    const auto tabRound = [&] {
        QStringList visited;
        for (int step = 0; step < 80; ++step) {
            QTest::keyClick(window, Qt::Key_Tab);
            QQuickItem* focused = window->activeFocusItem();
            if (!focused || visited.contains(focused->objectName()))
                break;
            visited << focused->objectName();
            QQuickItem* ring = childOf(focused, "focusRing");
            EXPECT_TRUE(ring && ring->isVisible())
                << visited.last().toStdString() << " has the focus and shows nothing";
        }
        return visited;
    };
    state().tapRow(1); // a click: location, button and all footer buttons
    ASSERT_TRUE(waitUntil([&] { return item("editorSlot")->width() == 221; }));
    EXPECT_EQ(tabRound(),
              (QStringList{"navTimeline", "navSettings",  "recordButton", "playbackButton", "clearButton",
                           "waitButton",  "importButton", "exportButton", "closeEditor",    "delayField",
                           "stepUp",      "stepDown",     "xField",       "yField",         "segment0",
                           "segment1",    "segment2",     "copyButton",   "deleteButton",   "upButton",
                           "downButton"}));
    state().navigate(ContentViewState::Settings);
    ASSERT_TRUE(
        waitUntil([&] { return !item("editorSlot")->isVisible() && item("settingsPage")->opacity() == 1; }));
    EXPECT_GE(tabRound().size(), 18);
}

TEST_F(ControlBar, WaitImportExportNavigationAndAccess)
{
    start();
    setTimeline(sampleTimeline());
    state().tapRow(1);
    click("waitButton"); // after the selected event
    EXPECT_EQ(engine().recordedEvents()[2].type, EventType::wait);

    // Import closes the editor even when cancelled; Export proposes the default name; what was exported
    // comes back through Import, replacing the timeline.
    click("importButton");
    EXPECT_FALSE(editor().hasSelection());
    const QString path = QDir::tempPath() + "/loopwren-ui-export-test.json";
    dialogs.panelAnswers << path << path;
    click("exportButton");
    engine().setRecordedEvents({});
    click("importButton");
    EXPECT_EQ(engine().recordedEvents().size(), 13u);
    QFile::remove(path);
    ASSERT_EQ(dialogs.shown.size(), 3);
    EXPECT_EQ(dialogs.shown[0], "open panel: Import Macro | Choose a macro file to read from.");
    EXPECT_TRUE(
        QRegularExpression(R"(^save panel: Export Macro \| Choose a path to write the macro script file\. )"
                           R"(\| macro_\d+\.json$)")
            .match(dialogs.shown[1])
            .hasMatch())
        << dialogs.shown[1].toStdString();

    click("navSettings");
    EXPECT_EQ(state().activeTab(), ContentViewState::Settings);
    EXPECT_TRUE(
        waitUntil([&] { return item("settingsPage")->isVisible() && !item("timelinePage")->isVisible(); }));
    click("navTimeline");
    EXPECT_EQ(state().activeTab(), ContentViewState::Timeline);

    // Grant Access shows only without the permission.
    EXPECT_FALSE(item("grantAccessButton")->isVisible());
    accessibility->trusted = false;
    engine().checkAccessibility();
    drain();
    EXPECT_EQ(labelOf("accessibilityStatus"), "No API Access");
    click("grantAccessButton");
    EXPECT_EQ(accessibility->requests, 1);
}

} // namespace
} // namespace loopwren
