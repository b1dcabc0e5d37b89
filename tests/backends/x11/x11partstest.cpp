// The X11 layer's parts that need no X server: modifier bits, the monitor origin and
// coordinates, server time stamps and autorepeat.
#include "eventtext.h"
#include "hotkey.h"
#include "inputclock.h"
#include "keyrepeatfilter.h"
#include "modifiermasks.h"
#include "primarymonitor.h"
#include "x11inputposter.h"

#include <linux/input-event-codes.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

namespace loopwren {
namespace {

TEST(ModifierMasks, RolesFollowTheKeysWhereverTheUserPutThem)
{
    constexpr std::uint32_t altL = 0xffe9, metaL = 0xffe7, superL = 0xffeb, numLock = 0xff7f;
    constexpr std::uint32_t other = 0xffe1; // Shift_L, standing for whatever else is bound
    using Keysyms = std::array<std::vector<std::uint32_t>, 8>;
    // Xorg's default: Alt and Meta on Mod1, Num Lock on Mod2, Super on Mod4, AltGr on Mod5.
    const auto usual = ModifierMasks::fromModifierKeysyms(
        Keysyms{{{other}, {other}, {other}, {altL, metaL}, {numLock}, {}, {superL}, {other}}});
    EXPECT_EQ(std::tuple(usual.alt(), usual.super(), usual.numLock()), std::tuple(0x08, 0x40, 0x10));
    EXPECT_EQ(usual.lockVariants(), (std::vector<std::uint16_t>{0, 0x02, 0x10, 0x12}));
    // A hotkey's shift, control, option and command; other bits are ignored.
    EXPECT_EQ(usual.fromModifiers(modifier::shift | modifier::super), 0x41);
    EXPECT_EQ(
        usual.fromModifiers(modifier::control | modifier::alt | modifier::capsLock | modifier::function),
        0x0c);
    // Caps Lock, Num Lock and a held pointer button do not change which combination was pressed.
    EXPECT_EQ(usual.significant(0x04 | 0x08 | 0x02 | 0x10 | 0x100), 0x0c);
    EXPECT_EQ(usual.significant(0x01 | 0x40 | 0x80), 0xc1);

    const auto moved = ModifierMasks::fromModifierKeysyms(
        Keysyms{{{other}, {other}, {other}, {}, {}, {superL}, {altL}, {numLock}}});
    EXPECT_EQ(std::tuple(moved.alt(), moved.super(), moved.numLock()), std::tuple(0x40, 0x20, 0x80));
    EXPECT_EQ(moved.fromModifiers(modifier::alt | modifier::super), 0x60);
    // Meta stands in for Alt only where no key is Alt.
    EXPECT_EQ(ModifierMasks::fromModifierKeysyms(Keysyms{{{}, {}, {}, {}, {}, {metaL}, {}, {}}}).alt(), 0x20);
    EXPECT_EQ(ModifierMasks::fromModifierKeysyms(Keysyms{{{}, {}, {}, {metaL}, {}, {altL}, {}, {}}}).alt(),
              0x20);
    // Without a Num Lock key only Caps Lock varies; the other roles keep their usual bits.
    const auto none = ModifierMasks::fromModifierKeysyms(Keysyms{});
    EXPECT_EQ(std::tuple(none.alt(), none.super(), none.numLock()), std::tuple(0x08, 0x40, 0));
    EXPECT_EQ(none.lockVariants(), (std::vector<std::uint16_t>{0, 0x02}));
    EXPECT_EQ(none.significant(0x10 | 0x02 | 0x04), 0x14);
}

TEST(PrimaryMonitor, ThePrimaryElseTheOneAtTheRootOriginElseTheFirst)
{
    const std::pair<std::vector<MonitorArea>, ScreenOrigin> cases[] = {
        {{{0, 0, 1920, 1080, false}, {1920, 0, 1280, 1024, true}}, {1920, 0}},
        {{{0, 0, 800, 600, false}, {-1280, 200, 1280, 1024, true}}, {-1280, 200}},
        {{{1920, 0, 1280, 1024, false}, {0, 0, 1920, 1080, false}}, {0, 0}},
        {{{500, 0, 100, 100, false}, {-100, -50, 101, 51, false}}, {-100, -50}}, // the top-left edge counts
        {{{300, 200, 800, 600, false}, {1100, 0, 800, 600, false}}, {300, 200}},
        {{}, {0, 0}}};
    for (const auto& [monitors, origin] : cases)
        EXPECT_TRUE(PrimaryMonitor::choose(monitors) == origin) << origin.x << "," << origin.y;
}

TEST(X11InputPoster, RootCoordinatesAreRoundedAndClampedToTheProtocolRange)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    const std::tuple<int, double, std::optional<int>> cases[] = {
        {200, 100.0, 300}, {200, 100.4, 300},   {200, 100.5, 301},      {200, -0.5, 200},
        {0, -0.5, -1},     {100, -250.0, -150}, {0, 1e300, 32767},      {0, -1e300, -32768},
        {0, inf, 32767},   {0, -inf, -32768},   {30000, 5000.0, 32767}, {0, std::nan(""), std::nullopt}};
    for (const auto& [origin, value, expected] : cases)
        EXPECT_EQ(X11InputPoster::rootCoordinate(origin, value), expected) << origin << " + " << value;
}

TEST(InputClock, PromptReadsKeepTheirPrecisionLateOnesFallBackToTheServersMillisecond)
{
    using namespace std::chrono_literals;
    // A read moment in the millisecond whose server stamp is ms, plus an offset.
    const auto at = [](std::int64_t ms, std::chrono::microseconds offset) {
        return InputClock::Clock::time_point{std::chrono::milliseconds(ms)} + offset;
    };
    InputClock clock;
    const std::int64_t ms = 5'000'123;
    EXPECT_EQ(clock.stamp(ms, at(ms, 250us)), at(ms, 250us));
    EXPECT_EQ(clock.stamp(ms + 10, at(ms + 11, 200us)), at(ms + 11, 200us)) << "within the slack";
    EXPECT_EQ(clock.stamp(ms + 20, at(ms + 37, 0us)), at(ms + 20, 500us))
        << "held back: the middle of its ms";
    // Read later, but stamped in an earlier millisecond by the server: no negative delay.
    EXPECT_EQ(clock.stamp(ms + 17, at(ms + 38, 0us)), at(ms + 20, 500us));

    // Our clock past 2^32 ms: the server's 32-bit stamp has wrapped.
    const std::int64_t wrapped = (std::int64_t{1} << 32) + 40;
    EXPECT_EQ(InputClock().stamp(30, at(wrapped, 0us)), at(wrapped - 10, 500us));
    EXPECT_EQ(InputClock().stamp(12345, at(900'000'000, 0us)), at(900'000'000, 0us)) << "a server hours away";
}

TEST(KeyRepeatFilter, RepeatsOfAHeldKeyAreNoNewPressesInEitherForm)
{
    KeyRepeatFilter filter;
    // Detectable autorepeat: further presses while the key is down.
    EXPECT_TRUE(filter.press(45, 1000));
    EXPECT_TRUE(filter.press(44, 1001)) << "keys are tracked apart";
    EXPECT_FALSE(filter.press(45, 1660));
    filter.release(45, 1720);
    filter.release(44, 1730);
    // Classic autorepeat: a release and a press with the same server time, not another key's release.
    EXPECT_TRUE(filter.press(45, 1730));
    filter.release(45, 2660);
    EXPECT_FALSE(filter.press(45, 2660));
    filter.release(45, 2712);
    // A real press, however quick, comes a moment after the release.
    EXPECT_TRUE(filter.press(45, 2713));
    filter.clear();
    EXPECT_TRUE(filter.press(45, 2800)) << "clear forgets held keys";
}

} // namespace
} // namespace loopwren
