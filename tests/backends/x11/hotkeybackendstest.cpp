// The services that bind hotkeys from the keys themselves read a hotkey alike: X11 on the test's X
// server, the kernel's key stream on the fake input monitor its own tests use.
#include "fakeplatform.h"
#include "hotkeybinding.h"
#include "kernelhotkeyservice.h"
#include "logline.h"
#include "x11hotkeyservice.h"
#include "x11testsupport.h"

#include <gtest/gtest.h>

// Inputs are written with designated initializers that name only the fields that matter.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace loopwren {
namespace {

using namespace x11test;
using namespace test;

// Bits beside the four modifiers, which a stored hotkey may hold, do not count; and one combination
// cannot stand for both hotkeys (stopping a recording would start a playback at once): the second is
// refused, with the same line on either.
TEST(HotkeyBackends, IgnoreOtherBitsAndRefuseOneCombinationForBothHotkeys)
{
    ASSERT_EQ(displayProblem(), "");
    QStringList logged;
    const LogSink previous = setLogSink([&](const QString& line) { logged.append(line); });
    auto keyStream = std::make_unique<FakeInputMonitor>();
    FakeInputMonitor* const keys = keyStream.get();
    KernelHotkeyService kernel(std::move(keyStream));
    X11HotkeyService x11;
    constexpr std::uint64_t controlOption = modifier::control | modifier::alt;
    for (HotkeyService* service : {static_cast<HotkeyService*>(&x11), static_cast<HotkeyService*>(&kernel)}) {
        int records = 0, playbacks = 0;
        HotkeyBinding binding(
            *service, [&] { ++records; }, [&] { ++playbacks; });
        binding.bind({40, controlOption | modifier::capsLock | (1ull << 40)}, {40, controlOption});
        if (service == &x11)
            EXPECT_TRUE(xdotool({"key", "ctrl+alt+k"}));
        else
            keys->deliver({.kind = InputKind::keyDown, .keyCode = 40, .flags = controlOption});
        EXPECT_TRUE(eventually([&] { return records == 1; })) << (service == &x11 ? "X11" : "kernel");
        settle();
        EXPECT_EQ(playbacks, 0);
    }
    EXPECT_EQ(logged, QStringList(2, "Failed to register playback hotkey: 10"));
    setLogSink(previous);
}

} // namespace
} // namespace loopwren
