#include "inputtranslator.h"
#include "inputeventtext.h"

#include <gtest/gtest.h>

// After gtest: X.h defines None, which gtest uses as a name.
#include <X11/X.h>
#include <linux/input-event-codes.h>

namespace loopwren {
namespace {

constexpr ScreenOrigin kOrigin{200, 100};
constexpr ClickSettings kClicks{400, 5};

RawDeviceEvent key(bool down, unsigned evdev, std::uint32_t time = 0)
{
    return {down ? KeyPress : KeyRelease, evdev + 8, 300, 300, time, {}};
}
RawDeviceEvent press(unsigned evdev) { return key(true, evdev); }
RawDeviceEvent release(unsigned evdev) { return key(false, evdev); }

RawDeviceEvent button(bool down, unsigned number, int rootX = 300, int rootY = 300, std::uint32_t time = 0)
{
    return {down ? ButtonPress : ButtonRelease, number, rootX, rootY, time, {}};
}

// A full click, down and up at the same place and server time.
std::vector<RawDeviceEvent> click(unsigned number, std::uint32_t time, int rootX = 300, int rootY = 300)
{
    return {button(true, number, rootX, rootY, time), button(false, number, rootX, rootY, time)};
}

RawDeviceEvent motion(int rootX, int rootY) { return {MotionNotify, 0, rootX, rootY, 0, {}}; }

std::vector<RawDeviceEvent> concat(std::initializer_list<std::vector<RawDeviceEvent>> parts)
{
    std::vector<RawDeviceEvent> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::vector<std::string> run(InputTranslator& translator, const std::vector<RawDeviceEvent>& input)
{
    std::vector<std::string> lines;
    for (const auto& raw : input) {
        if (const auto event = translator.translate(raw)) {
            EXPECT_TRUE(event->flags.has_value()) << "every X11 input carries flags";
            lines.push_back(InputEventText::describe(*event));
        }
    }
    return lines;
}

struct Case
{
    const char* name;
    std::vector<RawDeviceEvent> input;
    std::vector<std::string> expected;
};

class InputTranslatorCases : public ::testing::TestWithParam<Case>
{
};

TEST_P(InputTranslatorCases, Translates)
{
    InputTranslator translator(kOrigin, kClicks);
    EXPECT_EQ(run(translator, GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Streams, InputTranslatorCases,
    ::testing::Values(
        Case{"MotionKindFollowsTheHeldButton",
             {motion(210, 110), button(true, 1), motion(220, 120), button(true, 3), motion(230, 130),
              button(false, 1), motion(240, 140), button(false, 3), button(true, 2), motion(250, 150),
              button(false, 2), button(true, 8), motion(260, 160), button(false, 8), button(true, 4),
              motion(270, 170)},
             {"pointerMoved (10,10) flags=0x0", "buttonDown left (100,200) clicks=1 flags=0x0",
              "pointerMoved left (20,20) flags=0x0", "buttonDown right (100,200) clicks=1 flags=0x0",
              "pointerMoved left (30,30) flags=0x0", "buttonUp left (100,200) clicks=1 flags=0x0",
              "pointerMoved right (40,40) flags=0x0", "buttonUp right (100,200) clicks=1 flags=0x0",
              "buttonDown other (100,200) clicks=1 flags=0x0", "pointerMoved other (50,50) flags=0x0",
              "buttonUp other (100,200) clicks=1 flags=0x0", "buttonDown other (100,200) clicks=1 flags=0x0",
              "pointerMoved other (60,60) flags=0x0", "buttonUp other (100,200) clicks=1 flags=0x0",
              "scroll dx=0 dy=1 flags=0x0", "pointerMoved (70,70) flags=0x0"}},
        Case{"PositionsAreRelativeToThePrimaryMonitorAndMayBeNegative",
             {motion(200, 100), motion(150, 50), motion(0, 0), motion(1919, 1079)},
             {"pointerMoved (0,0) flags=0x0", "pointerMoved (-50,-50) flags=0x0",
              "pointerMoved (-200,-100) flags=0x0", "pointerMoved (1719,979) flags=0x0"}},
        Case{"KeysAreReportedByPositionWithTheirOwnBits",
             {press(KEY_A), release(KEY_A), press(KEY_ENTER), press(KEY_F1), press(KEY_HOME), press(KEY_KP1),
              press(KEY_UP), press(KEY_SYSRQ), press(KEY_NUMLOCK)},
             {"keyDown 0 flags=0x0", "keyUp 0 flags=0x0", "keyDown 36 flags=0x0",
              "keyDown 122 flags=0x800000", "keyDown 115 flags=0x800000", "keyDown 83 flags=0x200000",
              "keyDown 126 flags=0xa00000", "keyDown 32867 flags=0x0", "modifiersChanged 71 flags=0x200000"}},
        Case{"AutorepeatOfAHeldKeyIsDropped",
             {press(KEY_A), press(KEY_A), press(KEY_A), release(KEY_A), press(KEY_A), release(KEY_A)},
             {"keyDown 0 flags=0x0", "keyUp 0 flags=0x0", "keyDown 0 flags=0x0", "keyUp 0 flags=0x0"}},
        Case{"ModifierKeysAloneOnlyChangeFlags",
             {press(KEY_LEFTMETA), press(KEY_LEFTMETA), press(KEY_V), release(KEY_V), release(KEY_LEFTMETA),
              press(KEY_V)},
             {"modifiersChanged 55 flags=0x100000", "keyDown 9 flags=0x100000", "keyUp 9 flags=0x100000",
              "modifiersChanged 55 flags=0x0", "keyDown 9 flags=0x0"}},
        Case{"EitherShiftKeyKeepsShiftHeld",
             {press(KEY_LEFTSHIFT), press(KEY_RIGHTSHIFT), release(KEY_LEFTSHIFT), press(KEY_B),
              release(KEY_RIGHTSHIFT), release(KEY_B)},
             {"modifiersChanged 56 flags=0x20000", "modifiersChanged 60 flags=0x20000",
              "modifiersChanged 56 flags=0x20000", "keyDown 11 flags=0x20000",
              "modifiersChanged 60 flags=0x0", "keyUp 11 flags=0x0"}},
        Case{"AllModifiersCombine",
             {press(KEY_RIGHTCTRL), press(KEY_RIGHTALT), press(KEY_RIGHTMETA), press(KEY_LEFTSHIFT),
              press(KEY_R)},
             {"modifiersChanged 62 flags=0x40000", "modifiersChanged 61 flags=0xc0000",
              "modifiersChanged 54 flags=0x1c0000", "modifiersChanged 56 flags=0x1e0000",
              "keyDown 15 flags=0x1e0000"}},
        Case{"CapsLockTogglesOnItsPress",
             {press(KEY_CAPSLOCK), release(KEY_CAPSLOCK), press(KEY_A), press(KEY_CAPSLOCK),
              release(KEY_CAPSLOCK), release(KEY_A)},
             {"modifiersChanged 57 flags=0x10000", "modifiersChanged 57 flags=0x10000",
              "keyDown 0 flags=0x10000", "modifiersChanged 57 flags=0x0", "modifiersChanged 57 flags=0x0",
              "keyUp 0 flags=0x0"}},
        Case{"MouseInputCarriesHeldModifiers",
             concat({{press(KEY_LEFTCTRL), motion(300, 300)}, click(1, 0), click(4, 10)}),
             {"modifiersChanged 59 flags=0x40000", "pointerMoved (100,200) flags=0x40000",
              "buttonDown left (100,200) clicks=1 flags=0x40000",
              "buttonUp left (100,200) clicks=1 flags=0x40000", "scroll dx=0 dy=1 flags=0x40000"}},
        Case{"NotKeysOrButtonsAreIgnored",
             {{KeyPress, 5, 0, 0, 0, {}},
              {ButtonPress, 0, 0, 0, 0, {}},
              {ButtonPress, 300, 0, 0, 0, {}},
              {EnterNotify, 0, 0, 0, 0, {}}},
             {}}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// Click counts: the count of each press, read off its down line.
struct ClickCase
{
    const char* name;
    std::vector<RawDeviceEvent> input;
    std::vector<std::int64_t> counts; // of every down and up, in order
};

class ClickCountCases : public ::testing::TestWithParam<ClickCase>
{
};

TEST_P(ClickCountCases, Counts)
{
    InputTranslator translator(kOrigin, kClicks);
    std::vector<std::int64_t> counts;
    for (const auto& raw : GetParam().input) {
        if (const auto event = translator.translate(raw))
            counts.push_back(event->clickCount);
    }
    EXPECT_EQ(counts, GetParam().counts);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, ClickCountCases,
    ::testing::Values(
        ClickCase{"QuickClicksCountUp",
                  concat({click(1, 1000), click(1, 1100), click(1, 1200)}),
                  {1, 1, 2, 2, 3, 3}},
        ClickCase{"TheIntervalIsInclusive",
                  concat({click(1, 1000), click(1, 1400), click(1, 1801)}),
                  {1, 1, 2, 2, 1, 1}},
        ClickCase{"TheDistanceIsPerAxisAndInclusive",
                  concat({click(1, 0, 300, 300), click(1, 10, 305, 295), click(1, 20, 311, 295)}),
                  {1, 1, 2, 2, 1, 1}},
        ClickCase{"AnotherButtonStartsAfresh",
                  concat({click(1, 0), click(3, 10), click(3, 20), click(1, 30)}),
                  {1, 1, 1, 1, 2, 2, 1, 1}},
        ClickCase{"WheelNotchesDoNotBreakASequence",
                  concat({click(1, 0), click(4, 10), click(1, 20)}),
                  {1, 1, 0, 2, 2}},
        ClickCase{"TheServerClockMayWrap", concat({click(1, 0xffffff00u), click(1, 0x10u)}), {1, 1, 2, 2}},
        ClickCase{"AReleaseCarriesItsPressCount",
                  {button(true, 1, 300, 300, 0), button(false, 1, 300, 300, 0),
                   button(true, 1, 300, 300, 100), button(false, 1, 300, 300, 5000)},
                  {1, 1, 2, 2}}),
    [](const ::testing::TestParamInfo<ClickCase>& info) { return std::string(info.param.name); });

TEST(InputTranslator, StateHeldWhenWatchingBeganIsRespected)
{
    InputTranslator translator(kOrigin, kClicks);
    translator.seed({KEY_A + 8, KEY_LEFTSHIFT + 8}, {1}, true);
    const std::vector<RawDeviceEvent> input{press(KEY_A),     release(KEY_A),   press(KEY_B),
                                            motion(300, 300), button(false, 1), release(KEY_LEFTSHIFT),
                                            press(KEY_C)};
    EXPECT_EQ(run(translator, input),
              (std::vector<std::string>{"keyUp 0 flags=0x30000", "keyDown 11 flags=0x30000",
                                        "pointerMoved left (100,200) flags=0x30000",
                                        "buttonUp left (100,200) clicks=1 flags=0x30000",
                                        "modifiersChanged 56 flags=0x10000", "keyDown 8 flags=0x10000"}));
}

TEST(InputTranslator, AReleaseWithoutPressIsStillReported)
{
    InputTranslator translator(kOrigin, kClicks);
    EXPECT_EQ(run(translator, {release(KEY_R), button(false, 3), release(KEY_LEFTSHIFT), press(KEY_R)}),
              (std::vector<std::string>{"keyUp 15 flags=0x0", "buttonUp right (100,200) clicks=1 flags=0x0",
                                        "modifiersChanged 56 flags=0x0", "keyDown 15 flags=0x0"}));
}

} // namespace
} // namespace loopwren
