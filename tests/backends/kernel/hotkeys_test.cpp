// Hotkeys read from the input devices' key stream.
#include "fakeplatform.h"
#include "kernelhotkeyservice.h"

#include <gtest/gtest.h>

#include <cerrno>

// Inputs are written with designated initializers that name only the fields that matter.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace loopwren {
namespace {

TEST(KernelHotkeyService, AKeyWithExactlyItsModifiersFiresAndTheDevicesAreReadOnlyWhileBound)
{
    auto owned = std::make_unique<FakeInputMonitor>();
    FakeInputMonitor& keys = *owned;
    KernelHotkeyService service(std::move(owned));
    int fired = 0;
    HotkeyService::Binding record = 0, unset = 0;
    ASSERT_TRUE(service
                    .bind(
                        EngineHotkeyRole::record, Hotkey::unset(), [&] { fired += 100; }, unset)
                    .ok());
    EXPECT_EQ(keys.watchCount(), 0u) << "nothing to watch for";
    ASSERT_TRUE(
        service
            .bind(
                EngineHotkeyRole::record, {15, modifier::control | modifier::alt}, [&] { ++fired; }, record)
            .ok());
    EXPECT_TRUE(keys.lastKinds == InputKinds{InputKind::keyDown});
    const auto press = [&](std::uint16_t key, std::uint64_t flags) {
        keys.deliver({.kind = InputKind::keyDown, .keyCode = key, .flags = flags});
    };
    press(15, modifier::control | modifier::alt | modifier::capsLock); // a lock does not count
    press(15, modifier::control);
    press(15, modifier::control | modifier::alt | modifier::shift);
    press(16, modifier::control | modifier::alt);
    EXPECT_EQ(fired, 1);
    service.unbind(record);
    EXPECT_EQ(keys.watchCount(), 0u);
    EXPECT_FALSE(service.canHoldKeyboard());
    EXPECT_EQ(service.holdKeyboard().code, EOPNOTSUPP);

    keys.refuse = true; // no access to the devices
    EXPECT_EQ(service
                  .bind(
                      EngineHotkeyRole::record, {15, 0}, [] {}, record)
                  .code,
              EACCES);
}

} // namespace
} // namespace loopwren
