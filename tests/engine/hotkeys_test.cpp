#include "enginefixture.h"

namespace loopwren {
namespace {

using Hotkeys = EngineFixture;

TEST(CarbonModifierMask, ConvertsTheFourModifiersAndIgnoresOtherBits)
{
    EXPECT_EQ(MacroEngine::carbonModifierMask(modifier::control | modifier::option), 0x1800u);
    EXPECT_EQ(MacroEngine::carbonModifierMask(modifier::command), 0x100u);
    EXPECT_EQ(MacroEngine::carbonModifierMask(modifier::shift), 0x200u);
    EXPECT_EQ(MacroEngine::carbonModifierMask(modifier::capsLock | modifier::function | (1ull << 40)), 0u);
}

TEST_F(Hotkeys, RegistersBothWithTheirIdentifiersAndInstallsOneHandler)
{
    MacroEngine& e = build();
    journal->clear();
    e.setRecordHotkey(Hotkey{40, modifier::control | modifier::option});
    e.registerHotkeys();
    const QStringList lines = journal->lines();
    EXPECT_EQ(lines.filter("install handler").size(), 0) << "the handler was installed at construction";
    EXPECT_TRUE(lines.contains("register 40 mods=0x1800 id=(1111, 1) -> 0"));
    EXPECT_TRUE(lines.contains("register 65535 mods=0x0 id=(2222, 2) -> 0"));
    EXPECT_EQ(lines.filter("unregister").size(), 4) << "each registration first releases both";
}

TEST_F(Hotkeys, RefusedRegistrationsAreLoggedAndRetriedNextTime)
{
    prepare = [](FakeHotkeyService& service, FakeWorkspace&) {
        service.installStatus = -50;
        service.registerStatus = 10;
    };
    MacroEngine& e = build();
    EXPECT_TRUE(logged.contains("Failed to install Carbon event handler: -50"));
    EXPECT_TRUE(logged.contains("Failed to register record hotkey: 10"));
    EXPECT_TRUE(logged.contains("Failed to register playback hotkey: 10"));
    hotkeys->installStatus = 0;
    journal->clear();
    e.registerHotkeys();
    EXPECT_EQ(journal->lines().filter("install handler").size(), 1);
    EXPECT_EQ(journal->lines().filter("unregister").size(), 0) << "nothing was registered to release";
}

TEST_F(Hotkeys, HandlerRoutesByNumberAndPassesOnWhatItDoesNotTake)
{
    MacroEngine& e = build();
    e.setRecordedEvents({makeEvent(EventType::wait, 0)});
    EXPECT_EQ(hotkeys->press(HotkeyIdentifier{0, 3}), -9874);
    EXPECT_EQ(hotkeys->press(std::nullopt), -9874);
    EXPECT_EQ(hotkeys->press(HotkeyIdentifier{9999, 1}), 0) << "the signature is not looked at";
    EXPECT_FALSE(e.isRecording()) << "the toggle runs after the handler returned";
    drain();
    EXPECT_TRUE(e.isRecording());

    EXPECT_EQ(hotkeys->press(HotkeyIdentifier{2222, 2}), 0);
    drain();
    EXPECT_FALSE(e.isPlaying()) << "no playback starts during a recording";

    e.setIsCapturingHotkey(true);
    EXPECT_EQ(hotkeys->press(HotkeyIdentifier{1111, 1}), -9874);
    drain();
    EXPECT_TRUE(e.isRecording());
}

TEST_F(Hotkeys, CapturingReleasesTheGrabsAndRegistersAgainAfterwards)
{
    MacroEngine& e = build();
    journal->clear();
    e.setIsCapturingHotkey(true);
    EXPECT_EQ(journal->lines().filter("unregister").size(), 2);
    journal->clear();
    e.setRecordHotkey(Hotkey{0, modifier::command});
    EXPECT_TRUE(journal->lines().filter("register ").isEmpty()) << "nothing is registered while capturing";
    EXPECT_EQ(decodeHotkey(store->values().value("recordHotkey").toByteArray().toStdString()),
              (Hotkey{0, modifier::command}));
    e.setIsCapturingHotkey(false);
    EXPECT_TRUE(journal->lines().contains("register 0 mods=0x100 id=(1111, 1) -> 0"));
}

TEST_F(Hotkeys, TeardownReleasesEverything)
{
    build();
    journal->clear();
    engine.reset();
    EXPECT_EQ(journal->lines().filter("unregister").size(), 2);
    EXPECT_EQ(journal->lines().last(), "remove handler");
}

} // namespace
} // namespace loopwren
