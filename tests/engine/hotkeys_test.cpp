#include "enginefixture.h"
#include "hotkeycapture.h"
#include "libraryhotkeys.h"

// Inputs are written with designated initializers that name only the fields that matter.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace loopwren {
namespace {

using Hotkeys = EngineFixture;

const Hotkey kRecord{40, modifier::control | modifier::alt};
const Hotkey kPlayback{38, modifier::control | modifier::alt};

// Each change binds both afresh; a refusal is logged with the service's number and tried again with
// the next change. Presses toggle after the callback and are ignored while capturing.
TEST_F(Hotkeys, BothAreBoundAfreshOnEachChangeAndTheirPressesToggle)
{
    prepare = [this] { hotkeys->bindCode = 10; };
    MacroEngine& e = build();
    logged.removeDuplicates(); // tried at every step of the start
    EXPECT_EQ(logged, QStringList({"Failed to register record hotkey: 10",
                                   "Failed to register playback hotkey: 10"}));
    hotkeys->bindCode = 0;
    journal->clear();
    e.setRecordHotkey(kRecord);
    EXPECT_EQ(journal->lines(), (QStringList{"bind 40 mods=0xc0000 -> 0", "bind 65535 mods=0x0 -> 0"}))
        << "nothing was bound to release";
    journal->clear();
    e.setPlaybackHotkey(kPlayback);
    EXPECT_EQ(journal->lines(), (QStringList{"unbind 1", "unbind 2", "bind 40 mods=0xc0000 -> 0",
                                             "bind 38 mods=0xc0000 -> 0"}));

    // Presses toggle after the callback, and none is heeded while a capture runs.
    hotkeys->press(kRecord);
    EXPECT_FALSE(e.isRecording()) << "the toggle runs after the callback returned";
    drain();
    EXPECT_TRUE(e.isRecording());
    // Something to play that would still be playing at the check below.
    input->deliver({.kind = InputKind::keyDown,
                    .timestamp = std::chrono::steady_clock::now() + std::chrono::minutes(1)});
    drain();
    hotkeys->press(kPlayback);
    drain();
    EXPECT_FALSE(e.isPlaying()) << "no playback starts during a recording";

    journal->clear();
    e.setIsCapturingHotkey(true);
    e.setRecordHotkey(Hotkey{0, modifier::super});
    EXPECT_EQ(journal->lines().filter("unbind").size(), 2);
    EXPECT_EQ(journal->lines().size(), 2) << "nothing is bound while capturing";
    hotkeys->press(kRecord);
    drain();
    EXPECT_TRUE(e.isRecording());
    e.setIsCapturingHotkey(false);
    EXPECT_TRUE(journal->lines().contains("bind 0 mods=0x100000 -> 0"));
    journal->clear();
    engine.reset();
    EXPECT_EQ(journal->lines().filter("unbind").size(), 2) << "the teardown releases both";
}

// The capture's check names the LoopWren hotkey a combination belongs to, other bits aside; the
// macros' hotkeys go with the two while a capture runs and come back, following the library's changes.
TEST_F(Hotkeys, LibraryMacrosAreBoundBesideTheTwoAndTheCheckSaysWhoseACombinationIs)
{
    MacroEngine& e = build();
    e.setPlaybackHotkey(kPlayback);
    LibraryHotkeys& library = e.libraryHotkeys();
    const Hotkey ctrl1{18, modifier::control};
    library.setEntries({{.file = "a.json", .name = "A", .hotkey = ctrl1}, {.file = "b.json", .name = "B"}});
    EXPECT_EQ(library.userOf({18, modifier::control | modifier::capsLock})->macro, "A");
    EXPECT_EQ(library.userOf(ctrl1, "a"), std::nullopt) << "a macro's own hotkey";
    EXPECT_EQ(LibraryHotkeys::takenText(kPlayback, *library.userOf(kPlayback)),
              "⌃ ⌥ J is already the playback hotkey");
    EXPECT_EQ(library.userOf(Hotkey::unset()), std::nullopt);
    journal->clear();
    e.setIsCapturingHotkey(true);
    library.setEntries({{.file = "a.json", .name = "A", .hotkey = ctrl1},
                        {.file = "b.json", .name = "B", .hotkey = kPlayback}});
    EXPECT_EQ(journal->lines().filter("unbind").size(), 3);
    EXPECT_EQ(journal->lines().size(), 3) << "nothing is bound while capturing";
    e.setIsCapturingHotkey(false);
    EXPECT_EQ(journal->lines().filter("bind 18 mods=0x40000").size(), 1);
    EXPECT_EQ(library.refusal("b"), "⌃ ⌥ J is already the playback hotkey");
}

// The next key press ends the capture: any key but Escape becomes the hotkey with the modifiers held
// and nothing else; Escape keeps the hotkey. A keyboard another program holds only costs the hiding of
// the combination, not the capture; one that can never be held (the input devices) is not reported.
TEST_F(Hotkeys, CaptureStoresThePressedCombinationAndEscapeKeepsTheHotkey)
{
    MacroEngine& e = build();
    e.setRecordHotkey(Hotkey{15, modifier::control});
    HotkeyCapture capture(e);
    const auto press = [this](std::uint16_t keyCode, std::uint64_t flags) {
        input->deliver({.kind = InputKind::keyDown, .keyCode = keyCode, .flags = flags});
        drain();
    };
    capture.startHotkeyCapture(EngineHotkeyRole::playback);
    EXPECT_TRUE(e.isCapturingHotkey());
    EXPECT_EQ(capture.recordingHotkeyForValue(), 1);
    journal->clear();
    press(25, modifier::super | modifier::shift | modifier::capsLock | modifier::numericPad);
    EXPECT_EQ(e.playbackHotkey(), (Hotkey{25, modifier::super | modifier::shift}));
    EXPECT_FALSE(e.isCapturingHotkey());
    EXPECT_FALSE(capture.recordingHotkeyFor());
    EXPECT_EQ(input->watchCount(), 0u);
    EXPECT_TRUE(journal->lines().contains("bind 25 mods=0x120000 -> 0"));
    EXPECT_EQ(journal->lines().filter("keyboard"), (QStringList{"release keyboard"}));

    hotkeys->holdCode = 1;
    journal->clear();
    capture.startHotkeyCapture(EngineHotkeyRole::record);
    EXPECT_EQ(logged, QStringList{"Failed to hold the keyboard for the hotkey capture: 1"});
    press(53, 0);
    EXPECT_EQ(e.recordHotkey(), (Hotkey{15, modifier::control}));
    EXPECT_FALSE(e.isCapturingHotkey());
    EXPECT_EQ(capture.recordingHotkeyForValue(), -1);
    EXPECT_FALSE(journal->lines().contains("release keyboard")) << "nothing was held";

    hotkeys->holdCode = 0;
    hotkeys->canHold = false;
    logged.clear();
    journal->clear();
    capture.startHotkeyCapture(EngineHotkeyRole::record);
    press(0, 0);
    EXPECT_EQ(e.recordHotkey(), (Hotkey{0, 0})) << "a plain key is accepted";
    EXPECT_TRUE(logged.isEmpty() && journal->lines().filter("keyboard").isEmpty());
}

} // namespace
} // namespace loopwren
