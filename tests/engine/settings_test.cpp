#include "enginefixture.h"

#include <QSignalSpy>

namespace loopwren {
namespace {

// clang-format off
const QStringList kStoredKeys = {
    "recordHotkey", "playbackHotkey", "targetAppName", "focusTargetAppBeforePlayback", "setTargetWindowPosition",
    "setTargetWindowSize", "appLanguage", "showDeleteConfirmation", "hideWhenRecording", "hideOnPlayback",
    "showCloseSavePrompt", "targetWindowX", "targetWindowY", "targetWindowWidth", "targetWindowHeight"};
// clang-format on

QByteArray hotkeyBytes(std::uint16_t keyCode, std::uint64_t modifiers)
{
    return QByteArray::fromStdString(encodeHotkey(Hotkey{keyCode, modifiers}));
}

using Settings = EngineFixture;

TEST_F(Settings, EmptyStoreGivesInitialValuesAndWritesEveryKeyBack)
{
    MacroEngine& e = build();
    drain();
    EXPECT_EQ(e.playbackSpeed(), 100.0);
    EXPECT_EQ(e.loopCount(), 1);
    EXPECT_FALSE(e.infiniteLoop());
    EXPECT_FALSE(e.recordMouseMovements());
    EXPECT_TRUE(e.showDeleteConfirmation());
    EXPECT_TRUE(e.showCloseSavePrompt());
    EXPECT_FALSE(e.hideWhenRecording());
    EXPECT_EQ(e.recordHotkey(), Hotkey::unset());
    EXPECT_EQ(e.playbackHotkey(), Hotkey::unset());
    EXPECT_EQ(e.targetWindowWidth(), 800.0);
    EXPECT_EQ(e.targetWindowHeight(), 600.0);
    EXPECT_EQ(e.language(), "English");
    EXPECT_EQ(e.targetAppName(), "");

    QStringList keys = store->values().keys();
    QStringList expected = kStoredKeys;
    keys.sort();
    expected.sort();
    EXPECT_EQ(keys, expected);
    const auto unset = decodeHotkey(store->values().value("recordHotkey").toByteArray().toStdString());
    ASSERT_TRUE(unset.has_value());
    EXPECT_EQ(*unset, Hotkey::unset());
}

TEST_F(Settings, PopulatedStoreLoadsValuesAndFallsBackForUnusableOnes)
{
    MacroEngine& e = build({
        {"recordHotkey", hotkeyBytes(15, modifier::command | modifier::shift)},
        {"playbackHotkey", QByteArray("not json")},
        {"targetAppName", QString("Firefox")},
        {"appLanguage", QString("Klingon")},
        {"showDeleteConfirmation", false},
        {"showCloseSavePrompt", QString("yes")},
        {"hideOnPlayback", true},
        {"targetWindowX", -40.5},
        {"targetWindowY", QString("twelve")},
        {"targetWindowWidth", 0.0},
        {"targetWindowHeight", -5.0},
    });
    EXPECT_EQ(e.recordHotkey(), (Hotkey{15, modifier::command | modifier::shift}));
    EXPECT_EQ(e.playbackHotkey(), Hotkey::unset());
    EXPECT_EQ(e.targetAppName(), "Firefox");
    EXPECT_EQ(e.language(), "Klingon");
    EXPECT_FALSE(e.showDeleteConfirmation());
    EXPECT_TRUE(e.showCloseSavePrompt()) << "a stored value that is not a Boolean counts as absent";
    EXPECT_TRUE(e.hideOnPlayback());
    EXPECT_EQ(e.targetWindowX(), -40.5);
    EXPECT_EQ(e.targetWindowY(), 0.0);
    EXPECT_EQ(e.targetWindowWidth(), 800.0);
    EXPECT_EQ(e.targetWindowHeight(), 600.0);
    EXPECT_EQ(store->values().value("targetWindowWidth").toDouble(), 800.0);
    EXPECT_EQ(store->values().value("showCloseSavePrompt").toBool(), true);
}

TEST_F(Settings, OldDefaultHotkeysAreDiscardedOnlyForTheirOwnSlot)
{
    MacroEngine& e = build({
        {"recordHotkey", hotkeyBytes(100, modifier::control)},
        {"playbackHotkey", hotkeyBytes(101, 0)},
    });
    EXPECT_EQ(e.recordHotkey(), Hotkey::unset());
    EXPECT_EQ(e.playbackHotkey(), Hotkey::unset());
    EXPECT_EQ(store->values().value("recordHotkey").toByteArray(), hotkeyBytes(65535, 0));
    engine.reset();

    MacroEngine& second = build({
        {"recordHotkey", hotkeyBytes(101, 0)},
        {"playbackHotkey", hotkeyBytes(100, 0)},
    });
    EXPECT_EQ(second.recordHotkey(), (Hotkey{101, 0}));
    EXPECT_EQ(second.playbackHotkey(), (Hotkey{100, 0}));
}

TEST_F(Settings, EveryAssignmentNotifiesAndStoresEvenWhenUnchanged)
{
    MacroEngine& e = build({{"targetAppName", QString("Mail")}});
    QSignalSpy nameSpy(&e, &MacroEngine::targetAppNameChanged);
    QSignalSpy speedSpy(&e, &MacroEngine::playbackSpeedChanged);
    const int writesBefore = store->writeCount();
    e.setTargetAppName("Mail");
    e.setPlaybackSpeed(e.playbackSpeed());
    EXPECT_EQ(nameSpy.count(), 1);
    EXPECT_EQ(speedSpy.count(), 1);
    EXPECT_EQ(store->writeCount(), writesBefore + 1);
}

TEST_F(Settings, UnstoredSettingsStartFreshEveryTime)
{
    MacroEngine& first = build();
    first.setPlaybackSpeed(250);
    first.setLoopCount(7);
    first.setInfiniteLoop(true);
    first.setRecordMouseMovements(true);
    const QVariantMap saved = store->values();
    engine.reset();
    MacroEngine& second = build(saved);
    EXPECT_EQ(second.playbackSpeed(), 100.0);
    EXPECT_EQ(second.loopCount(), 1);
    EXPECT_FALSE(second.infiniteLoop());
    EXPECT_FALSE(second.recordMouseMovements());
}

TEST_F(Settings, SharedPointsAtTheLiveEngine)
{
    MacroEngine& e = build();
    EXPECT_EQ(MacroEngine::shared(), &e);
    engine.reset();
    EXPECT_EQ(MacroEngine::shared(), nullptr);
}

TEST_F(Settings, ConstructionChecksAccessibilityListsAppsRegistersAndPublishesLater)
{
    prepare = [](FakeHotkeyService&, FakeWorkspace& ws) {
        ws.applications = {{QString("Mail"), RunningApplication::Policy::regular, 10, 0}};
    };
    MacroEngine& e = build();
    // Both published only after construction has returned.
    EXPECT_FALSE(e.isAccessibilityGranted());
    EXPECT_TRUE(e.runningApps().isEmpty());
    drain();
    EXPECT_TRUE(e.isAccessibilityGranted());
    EXPECT_EQ(e.runningApps(), QStringList{"Mail"});
    EXPECT_EQ(e.targetAppName(), "Mail");
    EXPECT_EQ(store->values().value("targetAppName").toString(), "Mail");
}

} // namespace
} // namespace loopwren
