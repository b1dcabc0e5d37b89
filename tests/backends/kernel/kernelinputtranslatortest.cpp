#include "inputeventtext.h"
#include "kernelinputtranslator.h"
#include "replaydevicefilter.h"

#include <gtest/gtest.h>

#include <linux/input-event-codes.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace loopwren {
namespace {

using Step = std::function<std::optional<InputEvent>(KernelInputTranslator&)>;
using Micros = KernelInputTranslator::Micros;
using Lines = std::vector<std::string>;

constexpr Point kAt{100, 200};

Step press(std::uint32_t key)
{
    return [=](auto& t) { return t.key(0, key, true); };
}
Step release(std::uint32_t key)
{
    return [=](auto& t) { return t.key(0, key, false); };
}
Step button(std::uint32_t code, bool down, Micros time = 0, std::optional<Point> at = kAt)
{
    return [=](auto& t) { return t.button(time, code, down, at); };
}
Step motion(std::optional<Point> at = kAt)
{
    return [=](auto& t) { return t.motion(0, at); };
}
Step wheel(std::optional<double> down, std::optional<double> right = {})
{
    return [=](auto& t) { return t.wheel(0, down, right); };
}
Step finger(std::optional<double> down, std::optional<double> right = {})
{
    return [=](auto& t) { return t.fingerScroll(0, down, right); };
}

Lines run(const std::vector<Step>& steps)
{
    KernelInputTranslator translator(ClickSettings{400, 5});
    Lines lines;
    for (const auto& step : steps) {
        if (const auto event = step(translator))
            lines.push_back(test::describe(*event));
    }
    return lines;
}

TEST(KernelInputTranslator, TurnsDeviceInputIntoInputs)
{
    struct Case
    {
        const char* name;
        std::vector<Step> input;
        Lines expected;
    };
    const Case cases[] = {
        {"keys by position, with their own bits",
         {press(KEY_A), release(KEY_A), press(KEY_F1), press(KEY_KP1), press(KEY_UP)},
         {"keyDown 0", "keyUp 0", "keyDown 122 flags=0x800000", "keyDown 83 flags=0x200000",
          "keyDown 126 flags=0xa00000"}},
        {"a key already down is not pressed again",
         {press(KEY_A), press(KEY_A), release(KEY_A), press(KEY_A)},
         {"keyDown 0", "keyUp 0", "keyDown 0"}},
        {"modifier keys alone change flags; either Shift keeps Shift held",
         {press(KEY_LEFTMETA), press(KEY_V), release(KEY_LEFTMETA), press(KEY_LEFTSHIFT),
          press(KEY_RIGHTSHIFT), release(KEY_LEFTSHIFT), press(KEY_B), release(KEY_RIGHTSHIFT),
          release(KEY_B)},
         {"modifiersChanged 55 flags=0x100000", "keyDown 9 flags=0x100000", "modifiersChanged 55",
          "modifiersChanged 56 flags=0x20000", "modifiersChanged 60 flags=0x20000",
          "modifiersChanged 56 flags=0x20000", "keyDown 11 flags=0x20000", "modifiersChanged 60",
          "keyUp 11"}},
        {"Control and Alt combine, Caps Lock toggles on its press",
         {press(KEY_LEFTCTRL), press(KEY_LEFTALT), press(KEY_CAPSLOCK), release(KEY_CAPSLOCK), press(KEY_R)},
         {"modifiersChanged 59 flags=0x40000", "modifiersChanged 58 flags=0xc0000",
          "modifiersChanged 57 flags=0xd0000", "modifiersChanged 57 flags=0xd0000",
          "keyDown 15 flags=0xd0000"}},
        {"buttons, and drags by the button held",
         {button(BTN_LEFT, true), motion(), button(BTN_RIGHT, true), button(BTN_LEFT, false), motion(),
          button(BTN_RIGHT, false), button(BTN_MIDDLE, true), button(BTN_MIDDLE, true), motion(),
          button(BTN_MIDDLE, false), button(BTN_SIDE, false)},
         {"buttonDown left (100,200) clicks=1", "pointerMoved left (100,200)",
          "buttonDown right (100,200) clicks=1", "buttonUp left (100,200) clicks=1",
          "pointerMoved right (100,200)", "buttonUp right (100,200) clicks=1",
          "buttonDown other (100,200) clicks=1", "pointerMoved other (100,200)",
          "buttonUp other (100,200) clicks=1", "buttonUp other (100,200) clicks=1"}},
        {"without a position source the pointer is nowhere",
         {motion(std::nullopt), button(BTN_LEFT, true, 0, std::nullopt),
          button(BTN_LEFT, false, 0, std::nullopt)},
         {"pointerMoved nowhere", "buttonDown left nowhere clicks=1", "buttonUp left nowhere clicks=1"}},
        {"wheel notches: up and left count positive, as X's wheel buttons 4 and 6",
         {wheel(-120), wheel(120), wheel(std::nullopt, -120), wheel(std::nullopt, 240), wheel(-120, -120)},
         {"scroll dx=0 dy=1", "scroll dx=0 dy=-1", "scroll dx=1 dy=0", "scroll dx=-2 dy=0",
          "scroll dx=1 dy=1"}},
        {"high-resolution wheels add up to notches; a turn back starts afresh",
         {wheel(30), wheel(30), wheel(30), wheel(30), wheel(60), wheel(-60), wheel(-60)},
         {"scroll dx=0 dy=-1", "scroll dx=0 dy=1"}},
        {"finger scrolling makes a notch of every 15 units; the end of a sequence drops the rest",
         {finger(10), finger(10), finger(0), finger(10), finger(-50, 14), finger(std::nullopt, 0),
          finger(std::nullopt, 14)},
         {"scroll dx=0 dy=-1", "scroll dx=0 dy=3"}},
        {"mouse input carries held modifiers",
         {press(KEY_LEFTCTRL), motion(), button(BTN_LEFT, true), wheel(120)},
         {"modifiersChanged 59 flags=0x40000", "pointerMoved (100,200) flags=0x40000",
          "buttonDown left (100,200) clicks=1 flags=0x40000", "scroll dx=0 dy=-1 flags=0x40000"}},
    };
    for (const auto& [name, input, expected] : cases)
        EXPECT_EQ(run(input), expected) << name;
}

// Presses within 400 ms and 5 pixels on each axis of the same button count up; a release carries its
// press's count.
TEST(KernelInputTranslator, CountsClicksFromTheDevicesTimes)
{
    const auto click = [](std::uint32_t code, Micros ms, Point at) {
        return std::vector<Step>{button(code, true, ms * 1000, at), button(code, false, ms * 1000, at)};
    };
    const auto counts = [](const std::vector<std::vector<Step>>& clicks) {
        KernelInputTranslator translator(ClickSettings{400, 5});
        std::vector<std::int64_t> result;
        for (const auto& steps : clicks)
            for (const auto& step : steps)
                result.push_back(step(translator)->clickCount);
        return result;
    };
    using Counts = std::vector<std::int64_t>;
    EXPECT_EQ(counts({click(BTN_LEFT, 1000, kAt), click(BTN_LEFT, 1400, kAt), click(BTN_LEFT, 1801, kAt)}),
              (Counts{1, 1, 2, 2, 1, 1}));
    EXPECT_EQ(counts({click(BTN_LEFT, 0, {300, 300}), click(BTN_LEFT, 10, {305, 295}),
                      click(BTN_LEFT, 20, {311, 295})}),
              (Counts{1, 1, 2, 2, 1, 1}));
    EXPECT_EQ(counts({click(BTN_LEFT, 0, kAt), click(BTN_RIGHT, 10, kAt), click(BTN_RIGHT, 20, kAt)}),
              (Counts{1, 1, 1, 1, 2, 2}));
}

TEST(KernelInputTranslator, StampsInputsWithTheDevicesMonotonicTimeNeverGoingBack)
{
    KernelInputTranslator translator(ClickSettings{});
    using std::chrono::microseconds;
    using TimePoint = std::chrono::steady_clock::time_point;
    EXPECT_EQ(translator.key(5'000'123, KEY_A, true)->timestamp, TimePoint(microseconds(5'000'123)));
    // Another device's earlier stamp, read after.
    EXPECT_EQ(translator.motion(5'000'100, std::nullopt).timestamp, TimePoint(microseconds(5'000'123)));
    EXPECT_EQ(translator.key(6'000'000, KEY_A, false)->timestamp, TimePoint(microseconds(6'000'000)));
    EXPECT_FALSE(translator.key(0, 0x300, true)) << "beyond the kernel's key codes";
}

TEST(ReplayDeviceFilter, KnowsTheReplayDeviceByNameOrByVendorAndProduct)
{
    EXPECT_TRUE(ReplayDeviceFilter::matches("LoopWren virtual input", 0, 0));
    EXPECT_TRUE(ReplayDeviceFilter::matches("renamed", replaydevice::vendor, replaydevice::product));
    EXPECT_FALSE(ReplayDeviceFilter::matches("LoopWren virtual input 2", replaydevice::vendor, 0x0002));
    EXPECT_FALSE(ReplayDeviceFilter::matches("AT Translated Set 2 keyboard", 0x0001, 0x0001));
}

} // namespace
} // namespace loopwren
