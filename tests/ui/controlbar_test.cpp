// The control bar, the sidebar and the window as a whole: which controls are usable in each run state,
// what they do, and that every control is reachable and visible at the smallest size.
#include "eventtext.h"
#include "uifixture.h"

#include <QTemporaryDir>

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
                names << name;
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
    EXPECT_EQ(enabledControls().size(), 8);

    // Recording starts over an empty timeline, closes the editor, and counts what comes in.
    state().tapRow(0);
    click("recordButton");
    ASSERT_TRUE(engine().isRecording());
    EXPECT_FALSE(editor().hasSelection());
    EXPECT_EQ(enabledControls(), QStringList{"recordButton"});
    EXPECT_TRUE(item("recordingIndicator")->isVisible() && item("emptyCard")->isVisible());
    InputEvent press;
    press.kind = InputKind::buttonDown;
    press.button = MouseButtonType::left;
    press.location = Point{10, 20};
    press.timestamp = std::chrono::steady_clock::now();
    input->deliver(press);
    drain();
    EXPECT_EQ(labelOf("recordingCount"), "1 Events");
    EXPECT_TRUE(item("timelineList")->isVisible());
    click("recordButton");
    EXPECT_FALSE(engine().isRecording() || item("recordingIndicator")->isVisible());

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
    EXPECT_TRUE(editor().hasSelection() && editor().selectedEvent()->id == engine().recordedEvents()[1].id);
    EXPECT_TRUE(waitUntil([&] { return item("eventEditor")->isVisible(); }));

    // Clear asks nothing and closes the editor.
    click("clearButton");
    EXPECT_TRUE(engine().recordedEvents().empty() && dialogs.shown.isEmpty());
    EXPECT_FALSE(editor().hasSelection());
}

// What the window receives reaches the recording too, with the window system's times, as the desktop's
// capture sees all input, LoopWren's own included.
struct CaptureEcho : QObject
{
    FakeInputMonitor* capture;
    bool eventFilter(QObject*, QEvent* event) override
    {
        const QList<QEvent::Type> types{QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                        QEvent::KeyPress, QEvent::KeyRelease};
        if (types.contains(event->type())) {
            InputEvent echo;
            const InputKind kinds[] = {InputKind::buttonDown, InputKind::buttonUp, InputKind::keyDown,
                                       InputKind::keyUp};
            echo.kind = kinds[types.indexOf(event->type())];
            echo.timestamp = std::chrono::steady_clock::now();
            echo.systemTime = std::uint32_t(static_cast<QInputEvent*>(event)->timestamp());
            echo.location = Point{1, 2};
            echo.button = MouseButtonType::left;
            capture->deliver(echo);
        }
        return false;
    }
};

// Played back, the press on STOP would land on whatever is there by then; other input to the window
// stays in the recording.
TEST_F(ControlBar, TheClickOrKeyThatStopsARecordingIsLeftOut)
{
    start();
    CaptureEcho echo;
    echo.capture = input;
    window->installEventFilter(&echo);
    click("recordButton");
    QTest::keyClick(window, Qt::Key_A);
    click("recordButton");
    ASSERT_FALSE(engine().isRecording());
    QStringList types;
    for (const MacroEvent& event : engine().recordedEvents())
        types << rawValue(event.type).data();
    EXPECT_EQ(types, (QStringList{"keyDown", "keyUp"}));

    click("recordButton");
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
        engine().setLanguage(language);
        drain();
        ASSERT_TRUE(waitUntil([&] { return window->width() == 850; }));
        const QRectF editor = item("editorSlot")->mapRectToScene(item("editorSlot")->boundingRect());
        std::vector<QRectF> placed;
        for (const char* name : {"recordButton", "playbackButton", "clearButton", "waitButton",
                                 "importButton", "exportButton"}) {
            const QRectF box = item(name)->mapRectToScene(item(name)->boundingRect());
            EXPECT_LE(box.right(), editor.left()) << name << " runs under the editor";
            for (const QRectF& other : placed)
                EXPECT_FALSE(box.intersects(other)) << name << " lies on another button";
            placed.push_back(box);
            if (const QQuickItem* label = childOf(item(name), "label")) {
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
        for (QQuickItem* focused = nullptr; visited.size() < 80; visited << focused->objectName()) {
            QTest::keyClick(window, Qt::Key_Tab);
            focused = window->activeFocusItem();
            if (!focused || visited.contains(focused->objectName()))
                break;
            QQuickItem* ring = childOf(focused, "focusRing");
            EXPECT_TRUE(ring && ring->isVisible())
                << focused->objectName().toStdString() << " shows no focus";
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
    QTemporaryDir folder;
    dialogs.panelAnswers << folder.filePath("exported.json") << folder.filePath("exported.json");
    click("exportButton");
    engine().setRecordedEvents({});
    click("importButton");
    EXPECT_EQ(engine().recordedEvents().size(), 13u);
    ASSERT_EQ(dialogs.shown.size(), 3);
    EXPECT_EQ(dialogs.shown[0], "open panel: Import Macro | Choose a macro file to read from.");
    EXPECT_TRUE(
        dialogs.shown[1].startsWith("save panel: Export Macro | Choose a path to write the macro script "
                                    "file. | macro_") &&
        dialogs.shown[1].endsWith(".json"))
        << dialogs.shown[1].toStdString();

    click("navSettings");
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

TEST_F(ControlBar, TextsFollowTheLanguageAtOnce)
{
    start({.stored = {{"appLanguage", "Indonesia"}}}); // opened in the stored language
    const auto texts = [&] {
        return labels({"recordButton", "playbackButton", "waitButton", "importButton", "exportButton",
                       "navigationHeading", "navTimeline", "navSettings", "accessibilityStatus", "emptyTitle",
                       "emptyHint"});
    };
    const QString unset = "(Click here to set hotkeys)";
    EXPECT_EQ(texts(), (QStringList{"REKAM", "PUTAR ULANG", "+ Wait", "Impor", "Ekspor", "NAVIGASI",
                                    "Linimasa", "Pengaturan", "Akses API Aktif", "Tidak Ada Aksi Terekam",
                                    "Klik Rekam di atas atau tekan " + unset +
                                        " untuk mulai merekam aksi keyboard dan mouse."}));
    engine().setLanguage("English");
    drain();
    EXPECT_EQ(texts(), (QStringList{"RECORD", "PLAYBACK", "+ Wait", "Import", "Export", "NAVIGATION",
                                    "Timeline", "Setting", "API Access Active", "No Actions Recorded",
                                    "Click Record above or press " + unset +
                                        " to start capturing keyboard and mouse actions."}));

    // An unknown language shows the keys.
    engine().setLanguage("German");
    engine().startRecording();
    const auto recordingTexts = [&] {
        drain();
        return labels({"recordButton", "recordingLabel", "recordingCount", "emptyTitle", "emptyHint"});
    };
    EXPECT_EQ(recordingTexts()[1], "Floating Recording Overlay Label");
    engine().setLanguage("Indonesia");
    EXPECT_EQ(recordingTexts(), (QStringList{"BERHENTI", "MEREKAM INTERAKSI", "0 Aksi", "Merekam Aksi...",
                                             "Berinteraksilah dengan aplikasi lain. Tekan " + unset +
                                                 " untuk menyelesaikan perekaman."}));
    engine().setLanguage("English");
    EXPECT_EQ(recordingTexts(),
              (QStringList{"STOP", "RECORDING INTERACTION", "0 Events", "Capturing Actions...",
                           "Interact with other applications. Press " + unset + " to complete recording."}));

    engine().stopRecording();
    const Hotkey hotkey{15, modifier::command | modifier::shift}; // R
    engine().setRecordHotkey(hotkey);
    engine().setLanguage("Indonesia");
    drain();
    EXPECT_EQ(labelOf("emptyHint"), "Klik Rekam di atas atau tekan " +
                                        QString::fromStdString(displayText(hotkey)) +
                                        " untuk mulai merekam aksi keyboard dan mouse.");
}

} // namespace
} // namespace loopwren
