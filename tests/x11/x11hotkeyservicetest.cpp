#include "x11hotkeyservice.h"
#include "keygrabber.h"
#include "keypresswitness.h"
#include "x11connection.h"
#include "x11testenvironment.h"

// gtest before Xlib, whose macros (None, Bool) break gtest's declarations.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <thread>

namespace loopwren {
namespace {

// Model key codes (US positions) and modifier bits.
constexpr std::uint16_t kKeyK = 40;
constexpr std::uint16_t kKeyJ = 38;
constexpr std::uint16_t kKeyL = 37;
constexpr std::uint64_t kShift = modifier::shift;
constexpr std::uint64_t kControl = modifier::control;
constexpr std::uint64_t kOption = modifier::option;
constexpr std::uint64_t kCommand = modifier::command;
constexpr std::uint64_t kControlOption = kControl | kOption;

using Numbers = std::vector<std::uint32_t>;

// The keyboard map's keycode for a keysym, looked up with plain Xlib rather than the key table.
unsigned keycodeOf(const char* keysymName)
{
    const auto connection = X11Connection::open({});
    return connection ? XKeysymToKeycode(connection->display(), XStringToKeysym(keysymName)) : 0;
}

unsigned modifierState() { return X11TestEnvironment::pointer().mask; }

// Turns Caps Lock and Num Lock off again, whatever a test left on.
class LocksOff
{
public:
    ~LocksOff()
    {
        const unsigned state = modifierState();
        if (state & LockMask)
            X11TestEnvironment::xdotool({"key", "Caps_Lock"});
        if (state & Mod2Mask)
            X11TestEnvironment::xdotool({"key", "Num_Lock"});
    }
};

class X11HotkeyServiceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto problem = X11TestEnvironment::displayProblem();
        ASSERT_TRUE(problem.empty()) << problem;
        m_service = std::make_unique<X11HotkeyService>();
    }

    void TearDown() override { m_service.reset(); }

    // Binds the combination so that its presses note number; the service's answer.
    ServiceResult bind(std::uint16_t keyCode, std::uint64_t modifiers, std::uint32_t number,
                       HotkeyService::Binding* binding = nullptr)
    {
        HotkeyService::Binding bound = 0;
        const ServiceResult result = m_service->bind(
            Hotkey{keyCode, modifiers}, [this, number] { m_calls.push_back(number); }, bound);
        if (binding)
            *binding = bound;
        return result;
    }

    // Types with xdotool, waits until the callbacks have run `total` times in all, and a little longer,
    // so that calls which should not happen have their chance to.
    Numbers press(const std::vector<std::string>& keys, std::size_t total)
    {
        for (const auto& key : keys)
            EXPECT_TRUE(X11TestEnvironment::xdotool({"key", key})) << key;
        EXPECT_TRUE(X11TestEnvironment::waitUntil([&] { return m_calls.size() >= total; }))
            << "the callbacks ran " << m_calls.size() << " times, not " << total;
        X11TestEnvironment::settle();
        return m_calls;
    }

    std::unique_ptr<X11HotkeyService> m_service;
    Numbers m_calls;
};

TEST_F(X11HotkeyServiceTest, RunsTheCallbackOfThePressedCombinationOnce)
{
    bind(kKeyK, kControlOption, 1);
    bind(kKeyJ, kControlOption, 2);
    EXPECT_EQ(press({"ctrl+alt+k"}, 1), (Numbers{1}));
    EXPECT_EQ(press({"ctrl+alt+j"}, 2), (Numbers{1, 2}));
    // Grabs match the modifiers exactly: fewer or more are other combinations.
    EXPECT_EQ(press({"k", "ctrl+k", "alt+k", "ctrl+alt+shift+k", "ctrl+alt+super+k", "ctrl+alt+l"}, 2),
              (Numbers{1, 2}));
}

TEST_F(X11HotkeyServiceTest, EachModifierIsItsXModifier)
{
    const std::vector<std::pair<std::uint64_t, std::string>> cases{
        {kShift, "shift+l"},
        {kControl, "ctrl+l"},
        {kOption, "alt+l"},
        {kCommand, "super+l"},
        {kShift | kControl | kOption | kCommand, "shift+ctrl+alt+super+l"},
    };
    std::size_t expected = 0;
    for (const auto& [modifiers, keys] : cases) {
        HotkeyService::Binding binding = 0;
        ASSERT_TRUE(bind(kKeyL, modifiers, 3, &binding).ok());
        // A different modifier first: it must not fire.
        const std::string other = modifiers == kOption ? "super+l" : "alt+l";
        ++expected;
        EXPECT_EQ(press({other, keys}, expected).size(), expected) << keys;
        m_service->unbind(binding);
    }
}

TEST_F(X11HotkeyServiceTest, LockKeysDoNotStopAHotkey)
{
    bind(kKeyK, kControlOption, 1);
    const LocksOff locksOff;
    ASSERT_EQ(modifierState() & (LockMask | Mod2Mask), 0u) << "a lock was already on";

    ASSERT_TRUE(X11TestEnvironment::xdotool({"key", "Num_Lock"}));
    ASSERT_TRUE(X11TestEnvironment::waitUntil([] { return (modifierState() & Mod2Mask) != 0; }));
    EXPECT_EQ(press({"ctrl+alt+k"}, 1), (Numbers{1}));

    ASSERT_TRUE(X11TestEnvironment::xdotool({"key", "Caps_Lock"}));
    ASSERT_TRUE(X11TestEnvironment::waitUntil([] { return (modifierState() & LockMask) != 0; }));
    EXPECT_EQ(press({"ctrl+alt+k"}, 2), (Numbers{1, 1}));

    ASSERT_TRUE(X11TestEnvironment::xdotool({"key", "Num_Lock"}));
    ASSERT_TRUE(X11TestEnvironment::waitUntil([] { return (modifierState() & Mod2Mask) == 0; }));
    EXPECT_EQ(press({"ctrl+alt+k"}, 3), (Numbers{1, 1, 1}));
}

TEST_F(X11HotkeyServiceTest, HoldingAHotkeyRunsItOnce)
{
    bind(kKeyK, kControlOption, 1);
    const unsigned keycodeK = keycodeOf("k");
    const auto witness = KeyPressWitness::start(keycodeK);
    ASSERT_NE(witness, nullptr);

    // Held until the server's autorepeat has repeated it a few times. (XTEST cannot fake a repeat: the
    // server drops a press of a key that is down already.)
    ASSERT_TRUE(X11TestEnvironment::xdotool({"keydown", "ctrl+alt+k"}));
    EXPECT_TRUE(X11TestEnvironment::waitUntil([&] { return witness->presses() >= 4; }))
        << "the held key did not repeat: " << witness->presses() << " presses";
    ASSERT_TRUE(X11TestEnvironment::xdotool({"keyup", "k", "keyup", "alt", "keyup", "ctrl"}));
    X11TestEnvironment::settle();
    EXPECT_EQ(m_calls, (Numbers{1}));

    // Once released, the next press counts again.
    EXPECT_EQ(press({"ctrl+alt+k"}, 2), (Numbers{1, 1}));
}

TEST_F(X11HotkeyServiceTest, UnbindingOrDestroyingReleasesEveryLockVariant)
{
    const auto keycode = static_cast<std::uint8_t>(keycodeOf("k"));
    HotkeyService::Binding binding = 0;
    bind(kKeyK, kControlOption, 1, &binding);
    bind(kKeyJ, kControlOption, 2);
    m_service->unbind(binding);
    EXPECT_EQ(press({"ctrl+alt+k"}, 0), Numbers{});
    const auto other = KeyGrabber::connect();
    ASSERT_NE(other, nullptr);
    for (const std::uint16_t locks : {0, LockMask, Mod2Mask, LockMask | Mod2Mask})
        EXPECT_TRUE(other->grab(keycode, static_cast<std::uint16_t>(ControlMask | Mod1Mask | locks)))
            << locks;

    m_service.reset();
    EXPECT_TRUE(other->grab(static_cast<std::uint8_t>(keycodeOf("j")), ControlMask | Mod1Mask));
}

TEST_F(X11HotkeyServiceTest, ACombinationHeldElsewhereIsRefusedWithBadAccessAndNothingOfItKept)
{
    const auto keycode = static_cast<std::uint8_t>(keycodeOf("k"));
    const auto other = KeyGrabber::connect();
    ASSERT_NE(other, nullptr);
    ASSERT_TRUE(other->grab(keycode, ControlMask | Mod1Mask));
    EXPECT_EQ(bind(kKeyK, kControlOption, 1).code, 10);

    // Held only with both locks on, the variant the service asks for last: the others it got are
    // given back, so a third client can have them.
    const unsigned controlShiftAlt = ControlMask | ShiftMask | Mod1Mask;
    ASSERT_TRUE(other->grab(keycode, static_cast<std::uint16_t>(controlShiftAlt | LockMask | Mod2Mask)));
    EXPECT_EQ(bind(kKeyK, kControlOption | kShift, 1).code, 10);
    const auto third = KeyGrabber::connect();
    ASSERT_NE(third, nullptr);
    for (const std::uint16_t locks : {0, LockMask, Mod2Mask})
        EXPECT_TRUE(third->grab(keycode, static_cast<std::uint16_t>(controlShiftAlt | locks))) << locks;

    // Other hotkeys still bind and work.
    bind(kKeyJ, kControlOption, 2);
    EXPECT_EQ(press({"ctrl+alt+k", "ctrl+alt+j"}, 1), (Numbers{2}));
}

TEST_F(X11HotkeyServiceTest, OneCombinationTwiceIsRefusedAndKeysWithoutAnXKeyGrabNothing)
{
    bind(kKeyK, kControlOption, 1);
    EXPECT_EQ(bind(kKeyK, kControlOption, 2).code, 10);

    // The unset key code, and a code past X's 255 keycodes (evdev 0x200): success, nothing grabbed.
    HotkeyService::Binding unset = 0;
    HotkeyService::Binding beyond = 0;
    EXPECT_TRUE(bind(65535, kControlOption, 2, &unset).ok());
    EXPECT_TRUE(bind(0x8000 + 0x200, 0, 3, &beyond).ok());
    EXPECT_NE(unset, beyond);
    m_service->unbind(unset);
    m_service->unbind(beyond);
    EXPECT_EQ(press({"ctrl+alt+k"}, 1), (Numbers{1}));
}

TEST(X11HotkeyServiceWithoutDisplayTest, RefusesWithoutAConnection)
{
    X11HotkeyService service(":9999");
    HotkeyService::Binding binding = 0;
    EXPECT_EQ(service
                  .bind(
                      Hotkey{kKeyK, kControlOption}, [] {}, binding)
                  .code,
              X11HotkeyService::noConnection);
    EXPECT_FALSE(service.holdKeyboard().ok());
    service.unbind(binding); // harmless
}

} // namespace
} // namespace loopwren
