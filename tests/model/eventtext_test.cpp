#include "eventtext.h"
#include "testevents.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>

namespace loopwren {
namespace {

TEST(EventDescription, DescribesEachType)
{
    using enum EventType;
    using enum MouseButtonType;
    using test::Event;
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double inf = std::numeric_limits<double>::infinity();
    const std::pair<MacroEvent, const char*> cases[] = {
        {Event(mouseDown).at(100, 200).button(left), "Left Click Down (100, 200)"},
        {Event(mouseDown).at(100, 200), "Left Click Down (100, 200)"},
        {Event(mouseUp).at(-10.7, 20.9).button(right), "Right Click Up (-10, 20)"},
        {Event(mouseUp).button(other), "Other Click Up "},
        {Event(mouseMoved), "Move mouse to "},
        {Event(mouseMoved).at(-0.5, 0.99), "Move mouse to (0, 0)"},
        // Beyond 64 bits and non-finite: shown as they are, never clamped.
        {Event(mouseMoved).at(1e20, -9223372036854775808.0),
         "Move mouse to (100000000000000000000, -9223372036854775808)"},
        {Event(mouseMoved).at(nan, -inf), "Move mouse to (nan, -inf)"},
        // Fields that are not part of the text change nothing.
        {Event(mouseDown, 3).at(1, 2).button(right).clicks(2).key(36).flags(0x40000),
         "Right Click Down (1, 2)"},
        {Event(keyDown).key(36), "Key Down 'Return'"},
        {Event(keyDown).key(54), "Key Down 'Key 54'"},
        {Event(keyDown), "Key Down 'Unknown'"},
        {Event(keyUp).key(0), "Key Up 'A'"},
        {Event(scroll).scroll(0, -3), "Scroll (dx: 0, dy: -3)"},
        {Event(scroll), "Scroll (dx: 0, dy: 0)"},
        {Event(scroll).scroll(-2147483647 - 1, 2147483647), "Scroll (dx: -2147483648, dy: 2147483647)"},
        {Event(wait, 1.5), "Wait 1.50s"},
        {Event(wait, 2), "Wait 2.00s"},
        {Event(wait, 0.125), "Wait 0.12s"},
        {Event(wait, 59.999), "Wait 60.00s"},
    };
    for (const auto& [event, text] : cases)
        EXPECT_EQ(eventDescription(event), text);
}

TEST(EventDescription, DecimalPointIgnoresTheLocale)
{
    // A locale with a decimal comma; scripts/install-deps.sh generates it where it is missing.
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "the de_DE.UTF-8 locale is not installed";
    EXPECT_EQ(eventDescription(test::Event(EventType::wait, 1.5)), "Wait 1.50s");
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(HotkeyText, ShowsModifierSymbolsInFixedOrder)
{
    const std::string control = "\u2303", option = "\u2325", shift = "\u21E7", command = "\u2318";
    const std::pair<Hotkey, std::string> cases[] = {
        {Hotkey::unset(), "(Click here to set hotkeys)"},
        {{65535, 0x1E0000}, "(Click here to set hotkeys)"},
        {{96, 0}, "F5"},
        {{15, modifier::control | modifier::shift}, control + " " + shift + " R"},
        {{0, 0x1E0000}, control + " " + option + " " + shift + " " + command + " A"},
        {{54, modifier::super}, command + " Key 54"},
        {{0, modifier::capsLock}, "A"},
        {{0, ~modifier::hotkeyMask}, "A"},
        {{53, modifier::alt | modifier::numericPad}, option + " Escape"},
    };
    for (const auto& [hotkey, text] : cases)
        EXPECT_EQ(displayText(hotkey), text) << hotkey.keyCode << " " << hotkey.modifiers;
}

} // namespace
} // namespace loopwren
