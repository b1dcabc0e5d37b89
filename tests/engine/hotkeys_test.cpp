#include "enginefixture.h"

#include <QRegularExpression>

namespace loopwren {
namespace {

using Hotkeys = EngineFixture;

const Hotkey kRecord{40, modifier::control | modifier::option};
const Hotkey kPlayback{38, modifier::control | modifier::option};

// Each change binds both afresh; a refusal is logged with the service's number and tried again with
// the next change.
TEST_F(Hotkeys, BothAreBoundAfreshOnEachChangeAndRefusalsLogged)
{
    prepare = [](FakeHotkeyService& service, FakeWorkspace&) { service.bindCode = 10; };
    MacroEngine& e = build();
    EXPECT_TRUE(logged.contains("Failed to register record hotkey: 10"));
    EXPECT_TRUE(logged.contains("Failed to register playback hotkey: 10"));
    hotkeys->bindCode = 0;
    journal->clear();
    e.setRecordHotkey(kRecord);
    EXPECT_EQ(journal->lines(), (QStringList{"bind 40 mods=0xc0000 -> 0", "bind 65535 mods=0x0 -> 0"}))
        << "nothing was bound to release";
    journal->clear();
    e.setPlaybackHotkey(kPlayback);
    EXPECT_EQ(journal->lines().filter("unbind").size(), 2);
}

TEST_F(Hotkeys, PressesToggleAfterTheCallbackAndAreIgnoredWhileCapturing)
{
    MacroEngine& e = build();
    e.setRecordHotkey(kRecord);
    e.setPlaybackHotkey(kPlayback);
    e.setRecordedEvents({makeEvent(EventType::wait, 0)});
    hotkeys->press(kRecord);
    EXPECT_FALSE(e.isRecording()) << "the toggle runs after the callback returned";
    drain();
    EXPECT_TRUE(e.isRecording());
    hotkeys->press(kPlayback);
    drain();
    EXPECT_FALSE(e.isPlaying()) << "no playback starts during a recording";

    journal->clear();
    e.setIsCapturingHotkey(true);
    EXPECT_EQ(journal->lines().filter("unbind").size(), 2);
    e.setRecordHotkey(Hotkey{0, modifier::command});
    EXPECT_TRUE(journal->lines().filter(QRegularExpression("^bind ")).isEmpty())
        << "nothing is bound while capturing";
    hotkeys->press(kRecord);
    drain();
    EXPECT_TRUE(e.isRecording());
    e.setIsCapturingHotkey(false);
    EXPECT_TRUE(journal->lines().contains("bind 0 mods=0x100000 -> 0"));

    journal->clear();
    engine.reset();
    EXPECT_EQ(journal->lines().filter("unbind").size(), 2) << "the teardown releases both";
}

} // namespace
} // namespace loopwren
