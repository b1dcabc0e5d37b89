#include "enginefixture.h"
#include "hotkeycapture.h"

namespace loopwren {
namespace {

class Capture : public EngineFixture
{
protected:
    void press(std::uint16_t keyCode, std::uint64_t flags)
    {
        InputEvent e;
        e.kind = InputKind::keyDown;
        e.keyCode = keyCode;
        e.flags = flags;
        input->deliver(e);
        drain();
    }
};

TEST_F(Capture, StoresThePressedCombinationWithoutOtherBits)
{
    MacroEngine& e = build();
    HotkeyCapture capture(e);
    capture.startHotkeyCapture(HotkeyTarget::playback);
    EXPECT_TRUE(e.isCapturingHotkey());
    EXPECT_EQ(capture.recordingHotkeyForValue(), 1);
    journal->clear();
    press(25, modifier::command | modifier::shift | modifier::capsLock | modifier::numericPad);
    EXPECT_EQ(e.playbackHotkey(), (Hotkey{25, modifier::command | modifier::shift}));
    EXPECT_FALSE(e.isCapturingHotkey());
    EXPECT_FALSE(capture.recordingHotkeyFor());
    EXPECT_EQ(input->watchCount(), 0u);
    EXPECT_TRUE(journal->lines().contains("bind 25 mods=0x120000 -> 0"));
    EXPECT_EQ(journal->lines().filter("keyboard"), (QStringList{"release keyboard"}));

    capture.startHotkeyCapture(HotkeyTarget::record);
    press(0, 0);
    EXPECT_EQ(e.recordHotkey(), (Hotkey{0, 0})) << "a plain key is accepted";
}

// A keyboard another program holds only costs the hiding of the combination, not the capture.
TEST_F(Capture, EscapeEndsTheCaptureAndKeepsTheHotkeyAndARefusedHoldIsLogged)
{
    MacroEngine& e = build();
    e.setRecordHotkey(Hotkey{15, modifier::control});
    hotkeys->holdCode = 1;
    HotkeyCapture capture(e);
    capture.startHotkeyCapture(HotkeyTarget::record);
    EXPECT_EQ(logged, QStringList{"Failed to hold the keyboard for the hotkey capture: 1"});
    press(53, 0);
    EXPECT_EQ(e.recordHotkey(), (Hotkey{15, modifier::control}));
    EXPECT_FALSE(e.isCapturingHotkey());
    EXPECT_FALSE(capture.recordingHotkeyFor());
    EXPECT_FALSE(journal->lines().contains("release keyboard")) << "nothing was held";
}

} // namespace
} // namespace loopwren
