// The settings page over the real application: every control writes its engine property and, for the
// stored settings, the settings file on disk at the moment it changes.
#include "appfixture.h"
#include "eventtext.h"

#include <QTest>

namespace loopwren {
namespace {

class SettingsPage : public AppFixture
{
protected:
    void open(Start start = {})
    {
        startApp(std::move(start));
        showSettings();
    }

    // Opens the pop-up menu and picks the entry at index, as a user does.
    void choose(const char* menu, int index)
    {
        tap(item(menu));
        QQuickItem* popupChoice = nullptr;
        const QByteArray name = "choice" + QByteArray::number(index);
        ASSERT_TRUE(QTest::qWaitFor([&] { return (popupChoice = item(name.constData())) != nullptr; }, 20000))
            << menu << " shows no " << name.constData();
        tap(popupChoice);
    }

    int menuIndex(const char* menu) { return item(menu)->property("currentIndex").toInt(); }

    void type(const char* field, const QString& text)
    {
        tap(item(field));
        QTest::keyClick(window, Qt::Key_A, Qt::ControlModifier);
        for (const QChar character : text)
            QTest::keyClick(window, character.toLatin1());
        QTest::keyClick(window, Qt::Key_Return);
        drain();
    }

    void pressSliderAt(double fraction)
    {
        QQuickItem* slider = item("speedSlider");
        // The far ends are the first and the last pixel inside the slider.
        const double x = std::clamp(slider->width() * fraction, 1.0, slider->width() - 2.0);
        const QPointF at = slider->mapToScene(QPointF(x, slider->height() / 2));
        QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, at.toPoint());
        drain();
    }

    QString titleOf(const char* section)
    {
        return childOf(item(section), "sectionTitle")->property("text").toString();
    }
    QString unsetText() { return QString::fromStdString(displayText(Hotkey::unset())); }
};

TEST_F(SettingsPage, CheckBoxesWriteTheEngineAndTheFileAtOnce)
{
    open();
    struct Box
    {
        const char* name;
        const char* property;
        const char* key; // nullptr: not stored
    };
    const Box boxes[] = {
        {"showDeleteConfirmationBox", "showDeleteConfirmation", "showDeleteConfirmation"},
        {"hideWhenRecordingBox", "hideWhenRecording", "hideWhenRecording"},
        {"hideOnPlaybackBox", "hideOnPlayback", "hideOnPlayback"},
        {"showCloseSavePromptBox", "showCloseSavePrompt", "showCloseSavePrompt"},
        {"focusTargetBox", "focusTargetAppBeforePlayback", "focusTargetAppBeforePlayback"},
        {"customCoordinatesBox", "setTargetWindowPosition", "setTargetWindowPosition"},
        {"boundariesBox", "setTargetWindowSize", "setTargetWindowSize"},
        {"recordMovementsBox", "recordMouseMovements", nullptr},
        {"infiniteLoopBox", "infiniteLoop", nullptr},
    };
    for (const Box& box : boxes) {
        SCOPED_TRACE(box.name);
        const bool before = appEngine().property(box.property).toBool();
        ASSERT_EQ(item(box.name)->property("checked").toBool(), before);
        const QString beforeText = before ? QStringLiteral("true") : QStringLiteral("false");
        const QString afterText = before ? QStringLiteral("false") : QStringLiteral("true");
        if (box.key) {
            EXPECT_EQ(stored(QString::fromLatin1(box.key)), beforeText);
        }

        tap(item(box.name));
        EXPECT_EQ(appEngine().property(box.property).toBool(), !before);
        EXPECT_EQ(item(box.name)->property("checked").toBool(), !before);
        EXPECT_EQ(stored(box.key ? QString::fromLatin1(box.key) : QString::fromLatin1(box.property)),
                  box.key ? afterText : QStringLiteral("<absent>"));

        // The engine changed elsewhere (a second window, a test): the box follows.
        appEngine().setProperty(box.property, before);
        drain();
        EXPECT_EQ(item(box.name)->property("checked").toBool(), before);
    }
    // "Show notification" is the save prompt at quit and nothing else.
    EXPECT_TRUE(appEngine().showDeleteConfirmation());
    EXPECT_FALSE(appEngine().hideWhenRecording());
}

TEST_F(SettingsPage, LanguageMenuRerendersThePageAtOnce)
{
    open();
    EXPECT_EQ(labelOf("languageMenu"), QStringLiteral("English"));
    EXPECT_EQ(titleOf("languageSection"), QStringLiteral("LANGUAGE SELECTION"));

    choose("languageMenu", 1);
    EXPECT_EQ(appEngine().language(), QStringLiteral("Indonesia"));
    EXPECT_EQ(stored(QStringLiteral("appLanguage")), QStringLiteral("Indonesia"));
    EXPECT_EQ(labelOf("languageMenu"), QStringLiteral("Bahasa Indonesia"));
    EXPECT_EQ(labelOf("settingsTitle"), QStringLiteral("Pengaturan"));
    EXPECT_EQ(titleOf("languageSection"), QStringLiteral("PILIHAN BAHASA"));
    EXPECT_EQ(titleOf("hotkeySection"), QStringLiteral("TOMBOL PINTAS GLOBAL"));
    EXPECT_EQ(titleOf("updateSection"), QStringLiteral("PEMBARUAN APLIKASI"));
    EXPECT_EQ(labelOf("showCloseSavePromptBox"), QStringLiteral("Tampilkan notifikasi"));
    EXPECT_EQ(labelOf("versionLine"), QStringLiteral("Versi Saat Ini: v1.4.2"));
    EXPECT_EQ(labelOf("checkUpdateButton"), QStringLiteral("Periksa Pembaruan"));
    EXPECT_EQ(labelOf("navigationHeading"), QStringLiteral("NAVIGASI"));

    choose("languageMenu", 0);
    EXPECT_EQ(stored(QStringLiteral("appLanguage")), QStringLiteral("English"));
    EXPECT_EQ(titleOf("targetWindowSection"), QStringLiteral("TARGET APPLICATION WINDOW"));
    EXPECT_EQ(labelOf("versionLine"), QStringLiteral("Current Version: v1.4.2"));

    // A stored language that is neither: the menu shows no entry, the lookup shows the keys.
    appEngine().setLanguage(QStringLiteral("German"));
    drain();
    EXPECT_EQ(menuIndex("languageMenu"), -1);
    EXPECT_EQ(labelOf("languageMenu"), QString());
    EXPECT_EQ(labelOf("settingsDescription"), QStringLiteral("Setting Description"));
    EXPECT_EQ(labelOf("versionLine"), QStringLiteral("Current Version: v1.4.2"));
}

TEST_F(SettingsPage, LoopStepperStopsAtOneAndAt9999)
{
    open();
    QQuickItem* stepper = item("loopStepper");
    EXPECT_EQ(labelOf("loopCountLabel"), QStringLiteral("1"));
    tap(childOf(stepper, "stepDown"));
    EXPECT_EQ(appEngine().loopCount(), 1);
    tap(childOf(stepper, "stepUp"));
    tap(childOf(stepper, "stepUp"));
    EXPECT_EQ(appEngine().loopCount(), 3);
    EXPECT_EQ(labelOf("loopCountLabel"), QStringLiteral("3"));

    appEngine().setLoopCount(9998);
    drain();
    tap(childOf(stepper, "stepUp"));
    tap(childOf(stepper, "stepUp"));
    EXPECT_EQ(appEngine().loopCount(), 9999);
    EXPECT_EQ(labelOf("loopCountLabel"), QStringLiteral("9999"));
    tap(childOf(stepper, "stepDown"));
    EXPECT_EQ(appEngine().loopCount(), 9998);
    // Not a stored setting: every start begins at 1 again.
    EXPECT_EQ(stored(QStringLiteral("loopCount")), QStringLiteral("<absent>"));
}

TEST_F(SettingsPage, SpeedSliderMovesInTensFromZeroTo1000)
{
    open();
    EXPECT_EQ(labelOf("speedLabel"), QStringLiteral("100%"));
    pressSliderAt(0.0);
    EXPECT_EQ(appEngine().playbackSpeed(), 0.0);
    EXPECT_EQ(labelOf("speedLabel"), QStringLiteral("0%"));
    pressSliderAt(1.0);
    EXPECT_EQ(appEngine().playbackSpeed(), 1000.0);
    EXPECT_EQ(labelOf("speedLabel"), QStringLiteral("1000%"));
    pressSliderAt(0.5);
    const double middle = appEngine().playbackSpeed();
    EXPECT_TRUE(middle > 0.0 && middle < 1000.0 && std::fmod(middle, 10.0) == 0.0) << middle;
    EXPECT_EQ(labelOf("speedLabel"), QString::number(middle) + QLatin1Char('%'));
    // The arrow keys step by 10 as well.
    appEngine().setPlaybackSpeed(500);
    drain();
    item("speedSlider")->forceActiveFocus();
    QTest::keyClick(window, Qt::Key_Right);
    EXPECT_EQ(appEngine().playbackSpeed(), 510.0);
    QTest::keyClick(window, Qt::Key_Left);
    QTest::keyClick(window, Qt::Key_Left);
    EXPECT_EQ(appEngine().playbackSpeed(), 490.0);
    EXPECT_EQ(stored(QStringLiteral("playbackSpeed")), QStringLiteral("<absent>"));

    // What the engine holds is shown as it is, rounded for the label.
    appEngine().setPlaybackSpeed(55.4);
    drain();
    EXPECT_EQ(labelOf("speedLabel"), QStringLiteral("55%"));
}

TEST_F(SettingsPage, FieldsTakeWholeNumbersAndHiddenRowsKeepTheirValues)
{
    open();
    EXPECT_FALSE(item("coordinateFields")->isVisible());
    EXPECT_FALSE(item("sizeFields")->isVisible());
    tap(item("customCoordinatesBox"));
    tap(item("boundariesBox"));
    ASSERT_TRUE(item("coordinateFields")->isVisible());
    ASSERT_TRUE(item("sizeFields")->isVisible());
    EXPECT_EQ(item("targetWidthField")->property("text").toString(), QStringLiteral("800"));

    type("targetXField", QStringLiteral("250"));
    EXPECT_EQ(appEngine().targetWindowX(), 250.0);
    EXPECT_EQ(stored(QStringLiteral("targetWindowX")), QStringLiteral("250"));
    type("targetYField", QStringLiteral("-40"));
    EXPECT_EQ(appEngine().targetWindowY(), -40.0);
    type("targetHeightField", QStringLiteral("720"));
    EXPECT_EQ(stored(QStringLiteral("targetWindowHeight")), QStringLiteral("720"));

    // Text that is not a whole number changes nothing and the field shows the value again.
    type("targetXField", QStringLiteral("12.5px"));
    EXPECT_EQ(appEngine().targetWindowX(), 250.0);
    EXPECT_EQ(item("targetXField")->property("text").toString(), QStringLiteral("250"));

    tap(item("customCoordinatesBox"));
    tap(item("boundariesBox"));
    EXPECT_FALSE(item("coordinateFields")->isVisible());
    EXPECT_FALSE(item("sizeFields")->isVisible());
    EXPECT_EQ(appEngine().targetWindowX(), 250.0);
    EXPECT_EQ(appEngine().targetWindowHeight(), 720.0);
    EXPECT_EQ(stored(QStringLiteral("targetWindowX")), QStringLiteral("250"));
    tap(item("customCoordinatesBox"));
    EXPECT_EQ(item("targetXField")->property("text").toString(), QStringLiteral("250"));

    // The loop stepper hides under "Loop Executions Infinitely" and keeps its count.
    appEngine().setLoopCount(7);
    tap(item("infiniteLoopBox"));
    EXPECT_FALSE(item("loopRow")->isVisible());
    EXPECT_EQ(appEngine().loopCount(), 7);
    tap(item("infiniteLoopBox"));
    EXPECT_TRUE(item("loopRow")->isVisible());
    EXPECT_EQ(labelOf("loopCountLabel"), QStringLiteral("7"));
}

TEST_F(SettingsPage, TargetMenuOffersTheRunningAppsAndLeavesAnUnknownNameUnselected)
{
    Start start;
    start.stored = {{QStringLiteral("targetAppName"), QStringLiteral("Ghost Editor")}};
    open(start);
    EXPECT_EQ(appEngine().targetAppName(), QStringLiteral("Ghost Editor"));
    EXPECT_EQ(item("targetAppMenu")->property("count").toInt(), 2);
    EXPECT_EQ(menuIndex("targetAppMenu"), -1);
    EXPECT_EQ(labelOf("targetAppMenu"), QString());

    choose("targetAppMenu", 1); // Files, Terminal in name order
    EXPECT_EQ(appEngine().targetAppName(), QStringLiteral("Terminal"));
    EXPECT_EQ(stored(QStringLiteral("targetAppName")), QStringLiteral("Terminal"));
    EXPECT_EQ(labelOf("targetAppMenu"), QStringLiteral("Terminal"));

    // Refresh: a new application sorts in front; the chosen one stays chosen at its new place.
    RunningApplication browser;
    browser.name = QStringLiteral("Browser");
    workspace->applications.push_back(browser);
    tap(item("refreshAppsButton"));
    drain();
    EXPECT_EQ(appEngine().runningApps(),
              (QStringList{QStringLiteral("Browser"), QStringLiteral("Files"), QStringLiteral("Terminal")}));
    EXPECT_EQ(menuIndex("targetAppMenu"), 2);
    EXPECT_EQ(labelOf("targetAppMenu"), QStringLiteral("Terminal"));

    // The chosen application quits: the name stays, the menu shows no entry.
    workspace->applications.erase(workspace->applications.begin());
    tap(item("refreshAppsButton"));
    drain();
    EXPECT_EQ(appEngine().targetAppName(), QStringLiteral("Terminal"));
    EXPECT_EQ(menuIndex("targetAppMenu"), -1);
    EXPECT_EQ(labelOf("targetAppMenu"), QString());
}

TEST_F(SettingsPage, CaptureButtonsTakeTheNextKeyAndResetClearsBoth)
{
    open();
    EXPECT_EQ(labelOf("recordCaptureButton"), unsetText());
    tap(item("recordCaptureButton"));
    EXPECT_EQ(labelOf("recordCaptureButton"), QStringLiteral("Press target keys..."));
    EXPECT_EQ(labelOf("playbackCaptureButton"), unsetText());
    EXPECT_TRUE(appEngine().isCapturingHotkey());

    // A capture started on the other row moves there.
    tap(item("playbackCaptureButton"));
    EXPECT_EQ(labelOf("recordCaptureButton"), unsetText());
    EXPECT_EQ(labelOf("playbackCaptureButton"), QStringLiteral("Press target keys..."));
    EXPECT_EQ(input->watchCount(), 1u);

    InputEvent press;
    press.kind = InputKind::keyDown;
    press.keyCode = 35;                        // P
    press.flags = 0x40000 | 0x20000 | 0x10000; // Control, Shift and Caps Lock, which is not kept
    input->deliver(press);
    drain();
    const Hotkey captured{35, 0x40000 | 0x20000};
    EXPECT_EQ(appEngine().playbackHotkey(), captured);
    EXPECT_EQ(labelOf("playbackCaptureButton"), QString::fromStdString(displayText(captured)));
    EXPECT_EQ(stored(QStringLiteral("playbackHotkey")),
              QStringLiteral(R"x("@ByteArray({\"keyCode\":35,\"modifiers\":393216})")x"));
    EXPECT_FALSE(appEngine().isCapturingHotkey());
    EXPECT_EQ(input->watchCount(), 0u);

    tap(item("resetHotkeysButton"));
    EXPECT_EQ(appEngine().playbackHotkey(), Hotkey::unset());
    EXPECT_EQ(labelOf("recordCaptureButton"), unsetText());
    EXPECT_EQ(labelOf("playbackCaptureButton"), unsetText());
    EXPECT_EQ(stored(QStringLiteral("playbackHotkey")),
              QStringLiteral(R"x("@ByteArray({\"keyCode\":65535,\"modifiers\":0})")x"));
}

TEST_F(SettingsPage, ClosingTheWindowEndsACapture)
{
    open();
    tap(item("recordCaptureButton"));
    ASSERT_EQ(input->watchCount(), 1u);
    ASSERT_TRUE(appEngine().isCapturingHotkey());
    window->close();
    drain();
    EXPECT_EQ(input->watchCount(), 0u);
    EXPECT_FALSE(appEngine().isCapturingHotkey());
}

} // namespace
} // namespace loopwren
