#include "x11inputposter.h"
#include "hotkey.h"
#include "x11inputposterfactory.h"
#include "x11probewindow.h"
#include "x11testsupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace loopwren {
namespace {

using Lines = std::vector<std::string>;

class X11InputPosterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(x11test::displayProblem(), "");
        std::string problem;
        m_probe = X11ProbeWindow::open(&problem);
        ASSERT_NE(m_probe, nullptr) << problem;
        m_probe->movePointer(5, 5);
        m_poster = X11InputPosterFactory().create();
        ASSERT_NE(m_poster, nullptr);
    }

    std::unique_ptr<X11ProbeWindow> m_probe;
    std::unique_ptr<InputPoster> m_poster;
};

// Posted input reaches windows as recorded, and nothing stays held.
TEST_F(X11InputPosterTest, PostedInputReachesWindowsAsRecorded)
{
    // The primary monitor is at +200+100, so model (100, 200) is root (300, 300).
    m_poster->warpPointer({100, 200});
    m_poster->postMouseMoved({110.4, 210.6}, 0);
    m_poster->postMouseButton(MouseButtonType::left, true, {110, 211}, 0);
    m_poster->postMouseMoved({150, 250}, 0);
    m_poster->postMouseButton(MouseButtonType::left, false, {150, 250}, 0);
    m_poster->postMouseButton(MouseButtonType::right, true, {-50, -50}, 0);
    m_poster->postMouseButton(MouseButtonType::right, false, {-50, -50}, 0);
    m_poster->postMouseButton(MouseButtonType::other, true, {-50, -50}, std::nullopt);
    m_poster->postMouseButton(MouseButtonType::other, false, {-50, -50}, std::nullopt);
    m_poster->postKey(9, true, modifier::super); // V
    m_poster->postKey(9, false, modifier::super);
    m_poster->postScrollNotch(ScrollDirection::up, 0);
    m_poster->postScrollNotch(ScrollDirection::down, 0);
    m_poster->postScrollNotch(ScrollDirection::left, 0);
    m_poster->postScrollNotch(ScrollDirection::right, 0);
    m_poster->postKey(36, true, modifier::control | modifier::alt | modifier::shift | modifier::capsLock);
    m_poster->postKey(36, false, modifier::shift);
    m_poster->postKey(0x8000 + 99, true, 0); // a key only Linux knows: Print
    m_poster->postKey(0x8000 + 99, false, 0);
    m_poster->postKey(52, true, std::nullopt); // no key has this code
    m_poster->postKey(0x7fff, true, std::nullopt);
    m_poster->warpPointer({std::nan(""), 10});
    // Far positions are clamped to the protocol's range; the server then keeps the pointer on screen.
    m_poster->postMouseMoved({1e300, -1e300}, std::nullopt);

    // clang-format off
    const Lines expected{
        "motion 300,300", "motion 310,311", "button 1 down 310,311 []", "motion 350,350",
        "button 1 up 350,350 [Button1]", "motion 150,50", "button 3 down 150,50 []",
        "button 3 up 150,50 [Button3]", "button 2 down 150,50 []", "button 2 up 150,50 [Button2]",
        "key Super_L down []", "key v down [Mod4]", "key v up [Mod4]", "key Super_L up [Mod4]",
        "button 4 down 150,50 []", "button 4 up 150,50 [Button4]", "button 5 down 150,50 []",
        "button 5 up 150,50 [Button5]", "button 6 down 150,50 []", "button 6 up 150,50 []",
        "button 7 down 150,50 []", "button 7 up 150,50 []", "key Shift_L down []",
        "key Control_L down [Shift]", "key Alt_L down [Shift Control]",
        "key Return down [Shift Control Mod1]", "key Control_L up [Shift Control Mod1]",
        "key Alt_L up [Shift Mod1]", "key Return up [Shift]", "key Shift_L up [Shift]", "key Print down []",
        "key Print up []", "motion 1919,0"};
    // clang-format on
    EXPECT_EQ(m_probe->waitForLines(expected.size()), expected);
    EXPECT_EQ(m_probe->client().heldInput(), "") << "still held";
    // The monitor (1600x900) is all the user sees of the root window (1920x1080).
    EXPECT_EQ(m_poster->reach({1599, 899}), PointerReach::onScreen);
    EXPECT_EQ(m_poster->reach({-50, -50}), PointerReach::offScreen) << "on the root, off the monitor";
    EXPECT_EQ(m_poster->reach({std::nan(""), 10}), PointerReach::skipped);

    // Release-all and the poster's end let go of everything held: keys up in the reverse order of their
    // presses, then buttons, then modifiers.
    m_probe->clear();
    m_poster->warpPointer({100, 200});
    m_poster->postKey(0, true, modifier::shift);  // A, Shift held for it
    m_poster->postKey(11, true, modifier::shift); // B
    m_poster->postMouseButton(MouseButtonType::right, true, {100, 200}, modifier::shift);
    m_poster->releaseAll();
    m_poster->postKey(2, true, modifier::alt); // D with Alt
    m_poster->postMouseButton(MouseButtonType::left, true, {100, 200}, std::nullopt);
    m_poster.reset();

    // clang-format off
    const Lines released{
        "motion 300,300", "key Shift_L down []", "key a down [Shift]", "key b down [Shift]",
        "button 3 down 300,300 [Shift]", "key b up [Shift Button3]", "key a up [Shift Button3]",
        "button 3 up 300,300 [Shift Button3]", "key Shift_L up [Shift]", "key Alt_L down []",
        "key d down [Mod1]", "button 1 down 300,300 [Mod1]", "key d up [Mod1 Button1]",
        "button 1 up 300,300 [Mod1 Button1]", "key Alt_L up [Mod1]"};
    // clang-format on
    EXPECT_EQ(m_probe->waitForLines(released.size()), released);
    EXPECT_EQ(m_probe->client().heldInput(), "") << "still held";
}

} // namespace
} // namespace loopwren
