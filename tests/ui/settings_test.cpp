// The settings page over the real settings file: every control writes its engine property and, for the
// stored settings, the file on disk at the moment it changes; values from elsewhere are kept in range.
#include "eventtext.h"
#include "uifixture.h"

#include <limits>

namespace loopwren {
namespace {

class SettingsPage : public UiTest
{
protected:
    void open(const Start& options = Start())
    {
        start(options);
        showSettings();
    }
    SettingsState& settings() { return app->settingsState(); }

    // Opens the pop-up menu and picks the entry at index, as a user does.
    void choose(const char* menu, int index)
    {
        click(menu);
        const QByteArray name = "choice" + QByteArray::number(index);
        ASSERT_TRUE(test::eventually([&] { return item(name.constData()) != nullptr; }))
            << menu << " has no " << name.data();
        click(name.constData());
    }
    int menuIndex(const char* menu) { return item(menu)->property("currentIndex").toInt(); }
};

TEST_F(SettingsPage, CheckBoxesWriteTheEngineAndTheFileAtOnce)
{
    open();
    EXPECT_FALSE(item("hideUnavailableNote")->isVisible());
    // clang-format off
    const std::tuple<const char*, const char*, bool> boxes[] = {
        {"showDeleteConfirmationBox", "showDeleteConfirmation", true}, {"hideWhenRecordingBox", "hideWhenRecording", true},
        {"hideOnPlaybackBox", "hideOnPlayback", true}, {"showCloseSavePromptBox", "showCloseSavePrompt", true},
        {"focusTargetBox", "focusTargetAppBeforePlayback", true}, {"boundariesBox", "setTargetWindowSize", true},
        {"customCoordinatesBox", "setTargetWindowPosition", true}, {"infiniteLoopBox", "infiniteLoop", false},
        {"recordMovementsBox", "recordMouseMovements", false}};
    // clang-format on
    for (const auto& [name, property, isStored] : boxes) {
        SCOPED_TRACE(name);
        const bool before = engine().property(property).toBool();
        const auto onDisk = [&](bool value) { return !isStored ? "<absent>" : value ? "true" : "false"; };
        ASSERT_EQ(item(name)->property("checked").toBool(), before);
        EXPECT_EQ(stored(property), onDisk(before));
        click(name);
        EXPECT_EQ(engine().property(property).toBool(), !before);
        EXPECT_EQ(stored(property), onDisk(!before));
        // The engine changed elsewhere (a hotkey, a test): the box follows.
        engine().setProperty(property, before);
        drain();
        EXPECT_EQ(item(name)->property("checked").toBool(), before);
    }
}

// The texts themselves follow the language as every other page's do; the menu's own entries do too.
TEST_F(SettingsPage, LanguageMenuSwitchesAndStoresTheLanguage)
{
    open();
    EXPECT_EQ(labels({"languageMenu", "versionLine"}), (QStringList{"English", "Current Version: v1.4.2"}));
    choose("languageMenu", 1);
    EXPECT_EQ(engine().language(), "Indonesia");
    EXPECT_EQ(stored("appLanguage"), "Indonesia");
    EXPECT_EQ(labels({"languageMenu", "versionLine"}),
              (QStringList{"Bahasa Indonesia", "Versi Saat Ini: v1.4.2"}));
    choose("languageMenu", 0);
    EXPECT_EQ(stored("appLanguage"), "English");
    // A stored language that is neither: the menu shows no entry.
    engine().setLanguage("German");
    drain();
    EXPECT_EQ(menuIndex("languageMenu"), -1);
    EXPECT_EQ(labels({"languageMenu", "versionLine"}), (QStringList{"", "Current Version: v1.4.2"}));
}

// Neither is stored: every start begins at one loop and 100%.
TEST_F(SettingsPage, LoopStepperAndSpeedSliderKeepTheirRanges)
{
    open();
    click(childOf(item("loopStepper"), "stepUp"));
    click(childOf(item("loopStepper"), "stepUp"));
    click(childOf(item("loopStepper"), "stepDown"));
    EXPECT_EQ(labelOf("loopCountLabel"), "2");
    // The steps stop at 1 and 9999, and values from elsewhere come back into range with the first step.
    for (const auto& [from, step, to] :
         {std::tuple{1, -1, 1}, {0, 1, 1}, {20000, -1, 9999}, {9999, 1, 9999}}) {
        engine().setLoopCount(from);
        settings().stepLoopCount(step);
        EXPECT_EQ(engine().loopCount(), to) << from;
    }
    QQuickItem* slider = item("speedSlider");
    for (const double fraction : {0.0, 1.0}) {
        // The far ends are the first and the last pixel inside the slider.
        const double x = std::clamp(slider->width() * fraction, 1.0, slider->width() - 2.0);
        QTest::mouseClick(window, Qt::LeftButton, {},
                          slider->mapToScene(QPointF(x, slider->height() / 2)).toPoint());
        drain();
        EXPECT_EQ(engine().playbackSpeed(), 1000 * fraction);
        EXPECT_EQ(labelOf("speedLabel"), QString::number(1000 * fraction) + '%');
    }
    // The arrow keys step by 10 as well.
    engine().setPlaybackSpeed(500);
    slider->forceActiveFocus();
    QTest::keyClick(window, Qt::Key_Right);
    EXPECT_EQ(engine().playbackSpeed(), 510.0);
    EXPECT_EQ(stored("loopCount") + stored("playbackSpeed"), "<absent><absent>");
    // clang-format off
    for (const auto& [moved, speed] : {std::pair{-50.0, 0.0}, {4.9, 0.0}, {5.0, 10.0}, {333.3, 330.0},
                                       {1234.0, 1000.0}, {std::numeric_limits<double>::quiet_NaN(), 1000.0}}) {
        // clang-format on
        settings().moveSpeed(moved);
        EXPECT_EQ(engine().playbackSpeed(), speed) << moved;
    }
    // What the engine holds is shown as it is, rounded for the label.
    engine().setPlaybackSpeed(55.4);
    drain();
    EXPECT_EQ(labelOf("speedLabel"), "55%");
}

TEST_F(SettingsPage, FieldsTakeWholeNumbersAndHiddenRowsKeepTheirValues)
{
    open();
    EXPECT_FALSE(item("coordinateFields")->isVisible() || item("sizeFields")->isVisible());
    click("customCoordinatesBox");
    click("boundariesBox");
    ASSERT_TRUE(item("coordinateFields")->isVisible() && item("sizeFields")->isVisible());
    EXPECT_EQ(labelOf("targetWidthField"), "800");
    typeInto("targetXField", "250\r");
    typeInto("targetYField", "-40\r");
    typeInto("targetHeightField", "720\r");
    EXPECT_EQ((QStringList{stored("targetWindowX"), stored("targetWindowY"), stored("targetWindowHeight")}),
              (QStringList{"250", "-40", "720"}));
    // Text that is not a whole number changes nothing and the field shows the value again.
    typeInto("targetXField", "12.5px\r");
    EXPECT_EQ(engine().targetWindowX(), 250.0);
    EXPECT_EQ(labelOf("targetXField"), "250");

    click("customCoordinatesBox");
    click("boundariesBox");
    EXPECT_FALSE(item("coordinateFields")->isVisible() || item("sizeFields")->isVisible());
    EXPECT_EQ(stored("targetWindowX"), "250");
    click("customCoordinatesBox");
    EXPECT_EQ(labelOf("targetXField"), "250");
    // The loop stepper hides under "Loop Executions Infinitely" and keeps its count.
    engine().setLoopCount(7);
    click("infiniteLoopBox");
    EXPECT_FALSE(item("loopRow")->isVisible());
    click("infiniteLoopBox");
    EXPECT_EQ(labelOf("loopCountLabel"), "7");

    // clang-format off
    for (const auto& [text, value] : {std::pair<const char*, double>{" 17 ", 17}, {"+8", 8}, {"1,000", 5}, {"", 5},
                                      {"1e3", 5}, {"--1", 5}, {"9999999999999999", 5}}) {
        // clang-format on
        engine().setTargetWindowWidth(5);
        EXPECT_EQ(settings().commitField(SettingsState::TargetWidth, text), value != 5) << text;
        EXPECT_EQ(engine().targetWindowWidth(), value) << text;
    }
    // The fields show whole numbers, rounded.
    engine().setTargetWindowX(99.6);
    engine().setTargetWindowY(-0.4);
    EXPECT_EQ(settings().targetXText() + " " + settings().targetYText(), "100 0");
}

TEST_F(SettingsPage, TargetMenuOffersTheRunningAppsAndLeavesAnUnknownNameUnselected)
{
    open({.stored = {{"targetAppName", "Ghost Editor"}}});
    EXPECT_EQ(engine().targetAppName(), "Ghost Editor");
    EXPECT_EQ(item("targetAppMenu")->property("count").toInt(), 2);
    EXPECT_EQ(menuIndex("targetAppMenu"), -1);
    EXPECT_EQ(labelOf("targetAppMenu"), "");
    choose("targetAppMenu", 1); // Files, Terminal in name order
    EXPECT_EQ(stored("targetAppName"), "Terminal");
    EXPECT_EQ(labelOf("targetAppMenu"), "Terminal");

    // Refresh: a new application sorts in front; the chosen one stays chosen at its new place.
    workspace->applications.emplace_back().name = "Browser";
    click("refreshAppsButton");
    EXPECT_EQ(engine().runningApps(), (QStringList{"Browser", "Files", "Terminal"}));
    EXPECT_EQ(menuIndex("targetAppMenu"), 2);
    EXPECT_EQ(labelOf("targetAppMenu"), "Terminal");
    // The chosen application quits: the name stays, the menu shows no entry.
    workspace->applications.erase(workspace->applications.begin());
    click("refreshAppsButton");
    EXPECT_EQ(engine().targetAppName(), "Terminal");
    EXPECT_EQ(menuIndex("targetAppMenu"), -1);
    EXPECT_EQ(labelOf("targetAppMenu"), "");
}

TEST_F(SettingsPage, CaptureButtonsTakeTheNextKeyAndResetClearsBoth)
{
    open();
    const QString unset = QString::fromStdString(displayText(Hotkey::unset()));
    const auto texts = [&] { return labels({"recordCaptureButton", "playbackCaptureButton"}); };
    click("recordCaptureButton");
    EXPECT_EQ(texts(), (QStringList{"Press target keys...", unset}));
    // A capture started on the other row moves there.
    click("playbackCaptureButton");
    EXPECT_EQ(texts(), (QStringList{unset, "Press target keys..."}));
    EXPECT_EQ(input->watchCount(), 1u);

    pressKey(35, 0x40000 | 0x20000 | 0x10000); // P with Control, Shift and Caps Lock, which is not kept
    EXPECT_EQ(texts(),
              (QStringList{unset, QString::fromStdString(displayText(Hotkey{35, 0x40000 | 0x20000}))}));
    EXPECT_EQ(stored("playbackHotkey"), R"x("@ByteArray({\"keyCode\":35,\"modifiers\":393216})")x");
    EXPECT_FALSE(engine().isCapturingHotkey() || input->watchCount() > 0);
    click("resetHotkeysButton");
    EXPECT_EQ(texts(), (QStringList{unset, unset}));
    EXPECT_EQ(stored("playbackHotkey"), R"x("@ByteArray({\"keyCode\":65535,\"modifiers\":0})")x");

    // Closing the window ends a capture: it must not keep watching the keyboard behind it.
    click("recordCaptureButton");
    ASSERT_EQ(input->watchCount(), 1u);
    window->close();
    drain();
    EXPECT_FALSE(engine().isCapturingHotkey() || input->watchCount() > 0);
}

// A capture listens to this window only: it ends, and lets the keyboard go, when the settings page is
// left or another window takes the focus, and none starts while this window has not the focus.
TEST_F(SettingsPage, ACaptureEndsWhenThePageOrTheFocusIsLeft)
{
    open();
    const auto ended = [&] {
        return !engine().isCapturingHotkey() && input->watchCount() == 0 && !settings().capturingRecord() &&
               journal->lines().contains("release keyboard");
    };
    journal->clear();
    click("recordCaptureButton");
    ASSERT_TRUE(engine().isCapturingHotkey());
    state().navigate(ContentViewState::Timeline);
    EXPECT_TRUE(test::eventually(ended)) << "the page was left";

    showSettings();
    journal->clear();
    click("recordCaptureButton");
    ASSERT_TRUE(engine().isCapturingHotkey());
    QWindow other;
    other.show();
    other.requestActivate();
    EXPECT_TRUE(test::eventually(ended)) << "the focus went elsewhere";
    settings().startHotkeyCapture(0);
    EXPECT_FALSE(engine().isCapturingHotkey());
}

// Where the desktop has the last word on the hotkeys' keys, its choice shows beneath the captured one,
// in the window's language.
TEST_F(SettingsPage, TheDesktopsOwnTriggerShowsBesideTheCapturedOne)
{
    open();
    const auto shown = [&](const char* name) {
        drain();
        return item(name)->isVisible() ? labelOf(name) : QString("<hidden>");
    };
    EXPECT_EQ(shown("playbackDesktopTrigger"), "<hidden>");
    hotkeys->setDesktopTrigger(EngineHotkeyRole::playback, "Meta+F12");
    EXPECT_EQ(shown("playbackDesktopTrigger"), "Desktop shortcut: Meta+F12");
    EXPECT_EQ(shown("recordDesktopTrigger"), "<hidden>");
    engine().setLanguage("Indonesia");
    EXPECT_EQ(shown("playbackDesktopTrigger"), "Pintasan desktop: Meta+F12");
    hotkeys->setDesktopTrigger(EngineHotkeyRole::record, "");
    EXPECT_EQ(shown("recordDesktopTrigger"), "Pintasan desktop: tidak ada");
    hotkeys->setDesktopTrigger(EngineHotkeyRole::playback, std::nullopt);
    EXPECT_EQ(shown("playbackDesktopTrigger"), "<hidden>");
}

// The human-like playback group: sliders and fields within their ranges, stored at once and read
// back at the next start; the stop on the user's input is offered where it can be had, shown
// unavailable with the reason where not, and says in the timeline why a playback stopped.
TEST_F(SettingsPage, HumanLikePlaybackControlsKeepTheirRangesAndAreStored)
{
    open({.stored = {{"delayVariation", 30.0}, {"passPauseMaximum", 4.5}}});
    EXPECT_EQ(labels({"variationLabel", "pauseMinimumField", "pauseMaximumField", "spreadLabel"}),
              (QStringList{"\u00b130%", "0", "4.5", "0 px"}));
    for (const char* slider : {"variationSlider", "spreadSlider"}) {
        QQuickItem* handle = item(slider);
        const double x = handle->width() - 2.0;
        QTest::mouseClick(window, Qt::LeftButton, {}, handle->mapToScene(QPointF(x, handle->height() / 2)).toPoint());
    }
    drain();
    EXPECT_EQ(labels({"variationLabel", "spreadLabel"}), (QStringList{"\u00b1100%", "50 px"}));
    typeInto("pauseMinimumField", "2,5\r");
    typeInto("pauseMaximumField", "soon\r");
    EXPECT_EQ(labelOf("pauseMaximumField"), "4.5");
    typeInto("pauseMaximumField", "9000\r");
    EXPECT_EQ((QStringList{stored("delayVariation"), stored("clickSpread"), stored("passPauseMinimum"),
                           stored("passPauseMaximum")}),
              (QStringList{"100", "50", "2.5", "3600"}));
    for (const auto& [moved, variation] : {std::pair{-5.0, 0.0}, {33.4, 33.0}, {250.0, 100.0}}) {
        settings().moveVariation(moved);
        settings().moveSpread(moved);
        EXPECT_EQ(engine().delayVariation(), variation) << moved;
        EXPECT_EQ(engine().clickSpread(), std::min(variation, 50.0)) << moved;
    }

    EXPECT_TRUE(item("stopOnInputBox")->isEnabled());
    EXPECT_FALSE(item("stopOnInputProblem")->isVisible());
    click("stopOnInputBox");
    EXPECT_EQ(stored("stopPlaybackOnUserInput"), "true");
    engine().setRecordedEvents({makeEvent(EventType::wait, 60)});
    state().navigate(ContentViewState::Timeline);
    engine().startPlayback();
    userInput->deliver(InputEvent{.kind = InputKind::buttonDown});
    drain();
    EXPECT_FALSE(engine().isPlaying());
    EXPECT_EQ(labelOf("stopNoticeText"), "Playback stopped: you used the mouse or keyboard");
    engine().setLanguage("Indonesia");
    drain();
    EXPECT_EQ(labelOf("stopNoticeText"), "Pemutaran dihentikan: Anda memakai mouse atau keyboard");
    engine().startPlayback();
    drain();
    EXPECT_FALSE(item("stopNoticeText")->isVisible());

    // Where the desktop cannot hide the window and bring it back, the two hiding settings say so and take
    // no input either.
    userInputProblem = "LoopWren cannot read the input devices";
    open({.windowHides = false});
    EXPECT_FALSE(item("stopOnInputBox")->isEnabled());
    EXPECT_EQ(labelOf("stopOnInputProblem"), "Tidak tersedia: LoopWren tidak dapat membaca perangkat input");
    EXPECT_FALSE(item("hideWhenRecordingBox")->isEnabled() || item("hideOnPlaybackBox")->isEnabled());
    EXPECT_TRUE(item("hideUnavailableNote")->isVisible());
}

} // namespace
} // namespace loopwren
