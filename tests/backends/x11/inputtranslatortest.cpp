#include "inputtranslator.h"
#include "x11testsupport.h"

#include <gtest/gtest.h>

// After gtest: X.h defines None, which gtest uses as a name.
#include <X11/X.h>
#include <linux/input-event-codes.h>

namespace loopwren {
namespace {

using Raw = std::vector<RawDeviceEvent>;

RawDeviceEvent press(unsigned evdev) { return {KeyPress, evdev + 8, 300, 300, 0, {}}; }
RawDeviceEvent release(unsigned evdev) { return {KeyRelease, evdev + 8, 300, 300, 0, {}}; }
RawDeviceEvent button(bool down, unsigned number, std::uint32_t time = 0, int rootX = 300, int rootY = 300)
{
    return {down ? ButtonPress : ButtonRelease, number, rootX, rootY, time, {}};
}
RawDeviceEvent motion(int rootX, int rootY) { return {MotionNotify, 0, rootX, rootY, 0, {}}; }

// A full click, down and up at the same place and server time.
Raw clicks(std::initializer_list<std::tuple<unsigned, std::uint32_t, int, int>> list)
{
    Raw all;
    for (const auto& [number, time, x, y] : list)
        all.insert(all.end(), {button(true, number, time, x, y), button(false, number, time, x, y)});
    return all;
}

// What a fresh translator makes of the input; with seeded, A and Shift were down when watching began,
// Caps Lock on and the left button held.
std::vector<std::string> run(const Raw& input, bool seeded = false)
{
    InputTranslator translator(ScreenOrigin{200, 100}, ClickSettings{400, 5});
    if (seeded)
        translator.seed({KEY_A + 8, KEY_LEFTSHIFT + 8}, {1}, true);
    std::vector<std::string> lines;
    for (const auto& raw : input) {
        if (const auto event = translator.translate(raw))
            lines.push_back(test::describe(*event));
    }
    return lines;
}

TEST(InputTranslator, TurnsDeviceEventsIntoInputs)
{
    struct Case
    {
        const char* name;
        Raw input;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"the motion kind follows the held button",
         {motion(210, 110), button(true, 1), motion(220, 120), button(true, 3), motion(230, 130),
          button(false, 1), motion(240, 140), button(false, 3), button(true, 2), motion(250, 150),
          button(false, 2), button(true, 8), motion(260, 160), button(false, 8), button(true, 4),
          motion(270, 170), button(true, 5), button(true, 6), button(true, 7)},
         {"pointerMoved (10,10)", "buttonDown left (100,200) clicks=1", "pointerMoved left (20,20)",
          "buttonDown right (100,200) clicks=1", "pointerMoved left (30,30)",
          "buttonUp left (100,200) clicks=1", "pointerMoved right (40,40)",
          "buttonUp right (100,200) clicks=1", "buttonDown other (100,200) clicks=1",
          "pointerMoved other (50,50)", "buttonUp other (100,200) clicks=1",
          "buttonDown other (100,200) clicks=1", "pointerMoved other (60,60)",
          "buttonUp other (100,200) clicks=1", "scroll dx=0 dy=1", "pointerMoved (70,70)",
          "scroll dx=0 dy=-1", "scroll dx=1 dy=0", "scroll dx=-1 dy=0"}},
        {"positions are relative to the primary monitor and may be negative",
         {motion(200, 100), motion(0, 0), motion(1919, 1079)},
         {"pointerMoved (0,0)", "pointerMoved (-200,-100)", "pointerMoved (1719,979)"}},
        {"keys are reported by position with their own bits",
         {press(KEY_A), release(KEY_A), press(KEY_ENTER), press(KEY_F1), press(KEY_HOME), press(KEY_KP1),
          press(KEY_UP), press(KEY_SYSRQ), press(KEY_NUMLOCK)},
         {"keyDown 0", "keyUp 0", "keyDown 36", "keyDown 122 flags=0x800000", "keyDown 115 flags=0x800000",
          "keyDown 83 flags=0x200000", "keyDown 126 flags=0xa00000", "keyDown 32867",
          "modifiersChanged 71 flags=0x200000"}},
        {"the autorepeat of a held key is dropped",
         {press(KEY_A), press(KEY_A), press(KEY_A), release(KEY_A), press(KEY_A), release(KEY_A)},
         {"keyDown 0", "keyUp 0", "keyDown 0", "keyUp 0"}},
        {"modifier keys alone only change flags; either Shift key keeps Shift held",
         {press(KEY_LEFTMETA), press(KEY_LEFTMETA), press(KEY_V), release(KEY_LEFTMETA), press(KEY_LEFTSHIFT),
          press(KEY_RIGHTSHIFT), release(KEY_LEFTSHIFT), press(KEY_B), release(KEY_RIGHTSHIFT),
          release(KEY_B)},
         {"modifiersChanged 55 flags=0x100000", "keyDown 9 flags=0x100000", "modifiersChanged 55",
          "modifiersChanged 56 flags=0x20000", "modifiersChanged 60 flags=0x20000",
          "modifiersChanged 56 flags=0x20000", "keyDown 11 flags=0x20000", "modifiersChanged 60",
          "keyUp 11"}},
        {"all modifiers combine",
         {press(KEY_RIGHTCTRL), press(KEY_RIGHTALT), press(KEY_RIGHTMETA), press(KEY_LEFTSHIFT),
          press(KEY_R)},
         {"modifiersChanged 62 flags=0x40000", "modifiersChanged 61 flags=0xc0000",
          "modifiersChanged 54 flags=0x1c0000", "modifiersChanged 56 flags=0x1e0000",
          "keyDown 15 flags=0x1e0000"}},
        {"Caps Lock toggles on its press",
         {press(KEY_CAPSLOCK), release(KEY_CAPSLOCK), press(KEY_A), press(KEY_CAPSLOCK),
          release(KEY_CAPSLOCK), release(KEY_A)},
         {"modifiersChanged 57 flags=0x10000", "modifiersChanged 57 flags=0x10000", "keyDown 0 flags=0x10000",
          "modifiersChanged 57", "modifiersChanged 57", "keyUp 0"}},
        {"mouse input carries held modifiers",
         {press(KEY_LEFTCTRL), motion(300, 300), button(true, 1), button(false, 1), button(true, 4)},
         {"modifiersChanged 59 flags=0x40000", "pointerMoved (100,200) flags=0x40000",
          "buttonDown left (100,200) clicks=1 flags=0x40000",
          "buttonUp left (100,200) clicks=1 flags=0x40000", "scroll dx=0 dy=1 flags=0x40000"}},
        {"releases without a press are still reported",
         {release(KEY_R), button(false, 3), release(KEY_LEFTSHIFT), press(KEY_R)},
         {"keyUp 15", "buttonUp right (100,200) clicks=1", "modifiersChanged 56", "keyDown 15"}},
        {"what is not a key or a button is ignored",
         {{KeyPress, 5, 0, 0, 0, {}},
          {ButtonPress, 0, 0, 0, 0, {}},
          {ButtonPress, 300, 0, 0, 0, {}},
          {EnterNotify, 0, 0, 0, 0, {}}},
         {}}};
    for (const auto& [name, input, expected] : cases)
        EXPECT_EQ(run(input), expected) << name;
    // Held keys are not reported again when they repeat.
    EXPECT_EQ(run({press(KEY_A), release(KEY_A), press(KEY_B), motion(300, 300), button(false, 1),
                   release(KEY_LEFTSHIFT), press(KEY_C)},
                  true),
              (std::vector<std::string>{"keyUp 0 flags=0x30000", "keyDown 11 flags=0x30000",
                                        "pointerMoved left (100,200) flags=0x30000",
                                        "buttonUp left (100,200) clicks=1 flags=0x30000",
                                        "modifiersChanged 56 flags=0x10000", "keyDown 8 flags=0x10000"}));
}

// The click count of every down and up: presses within 400 ms and 5 pixels on each axis (both
// inclusive) of the same button count up.
TEST(InputTranslator, CountsClicksFromTheServersTimes)
{
    const std::pair<Raw, std::vector<std::int64_t>> cases[] = {
        {clicks({{1, 1000, 300, 300}, {1, 1100, 300, 300}, {1, 1200, 300, 300}}), {1, 1, 2, 2, 3, 3}},
        {clicks({{1, 1000, 300, 300}, {1, 1400, 300, 300}, {1, 1801, 300, 300}}), {1, 1, 2, 2, 1, 1}},
        {clicks({{1, 0, 300, 300}, {1, 10, 305, 295}, {1, 20, 311, 295}}), {1, 1, 2, 2, 1, 1}},
        {clicks({{1, 0, 300, 300}, {3, 10, 300, 300}, {3, 20, 300, 300}, {1, 30, 300, 300}}),
         {1, 1, 1, 1, 2, 2, 1, 1}},
        // Wheel notches do not break a sequence; the server's clock may wrap.
        {clicks({{1, 0, 300, 300}, {4, 10, 300, 300}, {1, 20, 300, 300}}), {1, 1, 0, 2, 2}},
        {clicks({{1, 0xffffff00u, 300, 300}, {1, 0x10u, 300, 300}}), {1, 1, 2, 2}},
        // A release carries its press's count, however late it comes.
        {{button(true, 1, 0), button(false, 1, 0), button(true, 1, 100), button(false, 1, 5000)},
         {1, 1, 2, 2}}};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        InputTranslator translator(ScreenOrigin{200, 100}, ClickSettings{400, 5});
        std::vector<std::int64_t> counts;
        for (const auto& raw : cases[i].first) {
            if (const auto event = translator.translate(raw))
                counts.push_back(event->clickCount);
        }
        EXPECT_EQ(counts, cases[i].second) << "case " << i;
    }
}

} // namespace
} // namespace loopwren
