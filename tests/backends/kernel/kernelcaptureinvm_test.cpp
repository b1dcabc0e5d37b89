// KernelInputMonitor against the real kernel: a keyboard with a wheel and a device named as LoopWren's
// own replay device type and scroll, and the monitor sees exactly the keyboard's input.
#include "inputeventtext.h"
#include "kernelinputmonitor.h"
#include "replaydevice.h"
#include "testkeyboard.h"

namespace loopwren {
namespace {

bool sees(const KernelInputMonitor& monitor, const char* name)
{
    const auto devices = monitor.devices();
    return std::any_of(devices.begin(), devices.end(),
                       [&](const auto& device) { return device.name == name; });
}

TEST(KernelCaptureInVm, SeesTheKeyboardsKeysAndWheelAndNothingOfTheReplayDevice)
{
    constexpr const char* kKeyboard = "LoopWren VM check keyboard";
    // The monitor opens every device it may: one must exist before watching begins.
    TestKeyboard keyboard(true, kKeyboard, 0x0001, 0x0001);
    KernelInputMonitor monitor(nullptr, ClickSettings{});
    ASSERT_TRUE(QTest::qWaitFor([&] { return sees(monitor, kKeyboard); }, 120000));
    std::vector<std::string> seen;
    bool sentinel = false;
    const auto token =
        monitor.watch({InputKind::keyDown, InputKind::keyUp, InputKind::modifiersChanged, InputKind::scroll},
                      [&](const InputEvent& event) {
                          seen.push_back(test::describe(event));
                          sentinel = sentinel || (event.kind == InputKind::keyUp && event.keyCode == 6);
                      });
    ASSERT_TRUE(token) << "the monitor cannot watch";
    TestKeyboard replay(true, replaydevice::name, replaydevice::vendor, replaydevice::product);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sees(monitor, replaydevice::name); }, 120000));

    keyboard.send(KEY_LEFTSHIFT, 1);
    keyboard.send(KEY_A, 1);
    replay.send(KEY_B, 1);
    keyboard.send(KEY_A, 0);
    keyboard.send(KEY_LEFTSHIFT, 0);
    replay.send(KEY_B, 0);
    replay.send(REL_WHEEL, 1, EV_REL);
    keyboard.send(REL_WHEEL, -1, EV_REL);
    keyboard.send(REL_WHEEL, 2, EV_REL);
    keyboard.send(REL_HWHEEL, 1, EV_REL);
    keyboard.tap({KEY_Z}); // the last key
    ASSERT_TRUE(QTest::qWaitFor([&] { return sentinel; }, 120000));
    monitor.finishWatching(*token);
    EXPECT_EQ(seen,
              (std::vector<std::string>{"modifiersChanged 56 flags=0x20000", "keyDown 0 flags=0x20000",
                                        "keyUp 0 flags=0x20000", "modifiersChanged 56", "scroll dx=0 dy=-1",
                                        "scroll dx=0 dy=2", "scroll dx=-1 dy=0", "keyDown 6", "keyUp 6"}));
}

} // namespace
} // namespace loopwren
