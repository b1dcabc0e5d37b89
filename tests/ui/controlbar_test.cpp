// The control bar, the sidebar and the window as a whole: which controls are usable in each run state,
// what they do, and that every control is reachable and visible at the smallest size.
#include "eventtext.h"
#include "texttable.h"
#include "uifixture.h"

#include <QTemporaryDir>

namespace loopwren {
namespace {

const std::vector<const char*> kBarButtons{"recordButton", "playbackButton", "clearButton",
                                           "waitButton",   "importButton",   "exportButton"};

class ControlBar : public UiTest
{
protected:
    // The names of the controls that take input, in bar order, then the two navigation entries.
    QStringList enabledControls()
    {
        std::vector<const char*> controls = kBarButtons;
        controls.insert(controls.end(), {"navTimeline", "navSettings"});
        QStringList names;
        for (const char* name : controls) {
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
    input->deliver({.kind = InputKind::buttonDown,
                    .timestamp = std::chrono::steady_clock::now(),
                    .location = Point{10, 20},
                    .button = MouseButtonType::left});
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
    EXPECT_TRUE(test::eventually([&] { return item("eventEditor")->isVisible(); }));

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
        static const QHash<QEvent::Type, InputKind> kinds{{QEvent::MouseButtonPress, InputKind::buttonDown},
                                                          {QEvent::MouseButtonRelease, InputKind::buttonUp},
                                                          {QEvent::KeyPress, InputKind::keyDown},
                                                          {QEvent::KeyRelease, InputKind::keyUp}};
        if (kinds.contains(event->type()))
            capture->deliver({.kind = kinds[event->type()],
                              .timestamp = std::chrono::steady_clock::now(),
                              .systemTime = std::uint32_t(static_cast<QInputEvent*>(event)->timestamp()),
                              .location = Point{1, 2},
                              .button = MouseButtonType::left});
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

// At the minimum size and where a tiling desktop makes the window smaller still, in both languages:
// every button stays inside the window and clear of the editor and of the others, no label is cut,
// and opening the editor moves no row under the pointer. Below what any page needs, the window scrolls.
TEST_F(ControlBar, AtAnySizeEveryButtonIsInReachAndOpeningTheEditorMovesNoRow)
{
    start();
    setTimeline(sampleTimeline());
    const std::tuple<int, int, const char*> sizes[] = {
        {850, 550, "English"}, {950, 550, "Indonesia"}, {640, 700, "English"}, {640, 700, "Indonesia"}};
    for (const auto& [width, height, language] : sizes) {
        SCOPED_TRACE(testing::Message() << width << " " << language);
        editor().close();
        engine().setLanguage(language);
        window->resize(width, height);
        ASSERT_TRUE(test::eventually([&] { return window->width() == width && !item("editorSlot")->isVisible(); }));
        waitForFrame();
        const qreal rowTop = row(3)->mapToScene(QPointF()).y();
        click(row(3));
        ASSERT_TRUE(test::eventually([&] { return item("editorSlot")->width() == 221; }));
        EXPECT_EQ(row(3)->mapToScene(QPointF()).y(), rowTop) << "the list moved";
        const QRectF editor = item("editorSlot")->mapRectToScene(item("editorSlot")->boundingRect());
        std::vector<QRectF> placed;
        for (const char* name : kBarButtons) {
            const QRectF box = item(name)->mapRectToScene(item(name)->boundingRect());
            EXPECT_TRUE(QRectF(0, 0, width, height).contains(box)) << name << " is out of the window";
            EXPECT_FALSE(box.intersects(editor)) << name << " lies under the editor";
            for (const QRectF& other : placed)
                EXPECT_FALSE(box.intersects(other)) << name << " lies on another button";
            placed.push_back(box);
            if (const QQuickItem* label = childOf(item(name), "label")) {
                EXPECT_LE(label->implicitWidth(), label->width() + 0.5) << name << " is cut";
            }
        }
    }
    window->resize(420, 300);
    ASSERT_TRUE(test::eventually([&] { return window->width() == 420; }));
    waitForFrame();
    QQuickItem* scroll = item("windowScroll");
    EXPECT_TRUE(scroll->property("interactive").toBool());
    EXPECT_GE(scroll->property("contentWidth").toReal(), 600);
}

// Tab visits every control of each page, and wherever the focus is, a ring shows it, and the settings
// page, too low for the window, scrolls to it; Space would otherwise press a button the user cannot see.
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
            const QRectF box = focused->mapRectToItem(item("settingsPage"), focused->boundingRect());
            EXPECT_TRUE(!item("settingsPage")->isAncestorOf(focused) ||
                        item("settingsPage")->boundingRect().contains(box))
                << focused->objectName().toStdString() << " is out of view";
        }
        return visited;
    };
    openEditor(1); // a click: location, button and all footer buttons
    EXPECT_EQ(tabRound(),
              (QStringList{"navTimeline", "navSettings",  "navLibrary", "recordButton", "playbackButton",
                           "clearButton", "waitButton",  "importButton", "recentFilesButton", "exportButton",
                           "saveToLibraryButton", "timelineList",   "closeEditor",
                           "delayField",  "stepUp",       "stepDown",     "xField",         "yField",
                           "segment0",    "segment1",     "segment2",     "copyButton",     "deleteButton",
                           "upButton",    "downButton"}));
    // The rows, one Tab stop: the arrows move between them and Enter or Space opens one.
    item("timelineList")->forceActiveFocus();
    QTest::keyClick(window, Qt::Key_Down);
    QTest::keyClick(window, Qt::Key_Down);
    QTest::keyClick(window, Qt::Key_Return);
    EXPECT_EQ(editor().selectedEvent()->id, engine().recordedEvents()[2].id);
    QTest::keyClick(window, Qt::Key_End);
    QTest::keyClick(window, Qt::Key_Space);
    EXPECT_EQ(editor().selectedEvent()->id, engine().recordedEvents()[11].id);
    // In a window too low for the settings page, the page scrolls to each control the focus reaches.
    window->resize(1040, 600);
    state().navigate(ContentViewState::Settings);
    ASSERT_TRUE(
        test::eventually([&] { return !item("editorSlot")->isVisible() && item("settingsPage")->opacity() == 1; }));
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
    dialogs.fileAnswers << folder.filePath("exported.json") << folder.filePath("exported.json");
    click("exportButton");
    engine().setRecordedEvents({});
    click("importButton");
    EXPECT_EQ(engine().recordedEvents().size(), 13u);
    ASSERT_EQ(dialogs.shown.size(), 3);
    EXPECT_EQ(dialogs.shown[0], "open file dialog: Import Macro | Choose a macro file to read from.");
    EXPECT_TRUE(dialogs.shown[1].startsWith(
                    "save file dialog: Export Macro | Choose a path to write the macro script "
                    "file. | macro_") &&
                dialogs.shown[1].endsWith(".json"))
        << dialogs.shown[1].toStdString();

    click("navSettings");
    EXPECT_TRUE(
        test::eventually([&] { return item("settingsPage")->isVisible() && !item("timelinePage")->isVisible(); }));
    click("navTimeline");
    EXPECT_EQ(state().activeTab(), ContentViewState::Timeline);

    // Grant Access shows only without the permission.
    EXPECT_FALSE(item("grantAccessButton")->isVisible());
    accessibility->inputAccessGranted = false;
    engine().checkAccessibility();
    drain();
    EXPECT_EQ(labelOf("accessibilityStatus"), "No API Access");
    click("grantAccessButton");
    EXPECT_EQ(accessibility->requests, 1);
}

// A recording or a playback that cannot work runs all the same, and the window says why and what to
// do; so does an import that fails, and the help page Grant Access writes.
TEST_F(ControlBar, NoticesSayWhatDidNotWorkAndWhatToDo)
{
    start({.problems = {"cannot read the input devices", {}, "cannot make the replay device"}});
    const auto notice = [&] { return labels({"noticeText", "noticeDetail"}); };
    click("recordButton");
    EXPECT_TRUE(engine().isRecording());
    EXPECT_EQ(notice(), (QStringList{TextTable::localized("Recording Problem Notice", "English"),
                                     "cannot read the input devices"}));
    click("recordButton");
    setTimeline(sampleTimeline());
    click("playbackButton");
    EXPECT_TRUE(engine().isPlaying());
    EXPECT_EQ(notice().value(1), "cannot make the replay device");
    click("playbackButton");
    click("dismissNotice");
    EXPECT_FALSE(item("notice")->isVisible());

    dialogs.fileAnswers << "/nonexistent-loopwren-dir/macro.json";
    click("importButton");
    EXPECT_EQ(notice().value(0), "The file could not be imported; the timeline is unchanged.");
    EXPECT_FALSE(notice().value(1).isEmpty());
    // No browser may open the page, and none may say so: the window names the file.
    const QPointer<MacroEngine> shownIn = &engine();
    LoopWrenApp::pageShower([](const QUrl&) { return true; },
                            shownIn)(QUrl::fromLocalFile("/home/u/access.html"));
    drain();
    EXPECT_EQ(notice().value(1), "/home/u/access.html");
}

// Every text of the table that the window shows follows a change of language at once, on each page, with
// the editor open and while recording; a language the table lacks shows its keys. The texts made of
// several parts are checked by name.
TEST_F(ControlBar, EveryTextFollowsTheLanguageAtOnce)
{
    start({.stored = {{"appLanguage", "Indonesia"}}});
    EXPECT_EQ(labelOf("recordButton"), "REKAM") << "opened in the stored language";
    QHash<QString, QString> keyOf;
    for (const QString& key : TextTable::keys())
        keyOf.insert(TextTable::localized(key, TextTable::english), key);
    // What the visible items show; rows and segments are made afresh for a language, so texts are
    // compared, not items.
    const auto shownTexts = [&] {
        drain();
        QStringList texts;
        const std::function<void(QQuickItem*)> visit = [&](QQuickItem* item) {
            if (item->isVisible())
                texts << item->property("text").toString();
            for (QQuickItem* child : item->childItems())
                visit(child);
        };
        visit(window->contentItem());
        return texts;
    };
    const auto expectEveryTextFollows = [&](const char* where, qsizetype atLeast) {
        SCOPED_TRACE(where);
        engine().setLanguage(TextTable::english);
        QStringList keys;
        for (const QString& text : shownTexts()) {
            if (keyOf.contains(text))
                keys << keyOf.value(text);
        }
        EXPECT_GE(keys.size(), atLeast);
        for (const QString& language :
             {TextTable::indonesian, QStringLiteral("German"), TextTable::english}) {
            engine().setLanguage(language);
            QStringList texts = shownTexts();
            for (const QString& key : keys) {
                const QString expected = language == "German" ? key : TextTable::localized(key, language);
                EXPECT_TRUE(texts.removeOne(expected))
                    << key.toStdString() << " does not show " << expected.toStdString() << " in "
                    << language.toStdString();
            }
        }
    };
    setTimeline(sampleTimeline());
    openEditor(1);
    expectEveryTextFollows("timeline and editor", 25);
    click("closeEditor");
    ASSERT_TRUE(test::eventually([&] { return !item("editorSlot")->isVisible(); }));
    engine().setRecordedEvents({});
    engine().startRecording();
    expectEveryTextFollows("recording", 8);
    engine().stopRecording();
    showSettings();
    expectEveryTextFollows("settings", 25);
    state().navigate(ContentViewState::Timeline);

    const QString hotkey = QString::fromStdString(displayText(Hotkey{15, modifier::super | modifier::shift}));
    engine().setRecordHotkey(Hotkey{15, modifier::super | modifier::shift});
    engine().setLanguage(TextTable::indonesian);
    drain();
    EXPECT_EQ(labelOf("emptyHint"),
              "Klik Rekam di atas atau tekan " + hotkey + " untuk mulai merekam aksi keyboard dan mouse.");
    engine().startRecording();
    drain();
    EXPECT_EQ(labels({"recordingCount", "emptyHint"}),
              (QStringList{"0 Aksi", "Berinteraksilah dengan aplikasi lain. Tekan " + hotkey +
                                         " untuk menyelesaikan perekaman."}));
    engine().setLanguage(TextTable::english);
    drain();
    EXPECT_EQ(labels({"recordingCount", "emptyHint"}),
              (QStringList{"0 Events",
                           "Interact with other applications. Press " + hotkey + " to complete recording."}));
}

} // namespace
} // namespace loopwren
