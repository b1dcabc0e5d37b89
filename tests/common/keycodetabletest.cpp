// The key code table: the macro file's key codes against the Linux keys.
#include "eventtext.h"
#include "keycodetable.h"

#include <linux/input-event-codes.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace loopwren {
namespace {

// Every key the timeline names by its label is the Linux key carrying that label on a US keyboard:
// the rows of the main block, then the named keys off it.
TEST(KeyCodeTable, NamedKeysSitWhereAUsKeyboardHasThem)
{
    // clang-format off
    std::vector<std::pair<std::uint16_t, std::string>> keys = {
        {KEY_F11, "F11"}, {KEY_F12, "F12"}, {KEY_ENTER, "Return"}, {KEY_TAB, "Tab"}, {KEY_SPACE, "Space"},
        {KEY_BACKSPACE, "Delete"}, {KEY_ESC, "Escape"}, {KEY_LEFTMETA, "Command"}, {KEY_LEFTSHIFT, "Shift"},
        {KEY_CAPSLOCK, "Caps Lock"}, {KEY_LEFTALT, "Option"}, {KEY_LEFTCTRL, "Control"},
        {KEY_RIGHTSHIFT, "Right Shift"}, {KEY_RIGHTALT, "Right Option"}, {KEY_RIGHTCTRL, "Right Control"},
        {KEY_LEFT, "Left Arrow"}, {KEY_RIGHT, "Right Arrow"}, {KEY_DOWN, "Down Arrow"}, {KEY_UP, "Up Arrow"}
    };
    // clang-format on
    const std::pair<std::uint16_t, std::string_view> rows[] = {{KEY_1, "1234567890-="},
                                                               {KEY_Q, "QWERTYUIOP[]"},
                                                               {KEY_A, "ASDFGHJKL;'`"},
                                                               {KEY_BACKSLASH, "\\ZXCVBNM,./"}};
    for (const auto& [first, labels] : rows) {
        for (std::size_t i = 0; i < labels.size(); ++i)
            keys.emplace_back(static_cast<std::uint16_t>(first + i), std::string(1, labels[i]));
    }
    for (std::uint16_t i = 0; i < 10; ++i)
        keys.emplace_back(static_cast<std::uint16_t>(KEY_F1 + i), "F" + std::to_string(i + 1));
    for (const auto& [evdev, label] : keys)
        EXPECT_EQ(keyName(KeyCodeTable::fileKeyCode(evdev)), label) << "evdev " << evdev;
}

// The codes chosen where a PC key has no exact twin, and the irregular stretches around them; a key
// without a counterpart keeps its Linux code. Every code goes there and back, and each key has its own.
TEST(KeyCodeTable, EveryLinuxKeyHasACodeOfItsOwnThatLeadsBack)
{
    // clang-format off
    const std::pair<std::uint16_t, std::uint16_t> cases[] = {
        {KEY_102ND, 10}, {KEY_RIGHTMETA, 54}, {KEY_NUMLOCK, 71}, {KEY_KPENTER, 76}, {KEY_KP8, 91},
        {KEY_F13, 105}, {KEY_F16, 106}, {KEY_F17, 64}, {KEY_F20, 90}, {KEY_INSERT, 114}, {KEY_DELETE, 117},
        {KEY_COMPOSE, 110}, {KEY_VOLUMEUP, 72}, {KEY_SYSRQ, 0x8063}, {KEY_PAUSE, 0x8077},
        {KEY_RESERVED, 0x8000}};
    // clang-format on
    for (const auto& [evdev, model] : cases)
        EXPECT_EQ(KeyCodeTable::fileKeyCode(evdev), model) << "evdev " << evdev;
    std::set<std::uint16_t> seen;
    for (std::uint16_t evdev = 0; evdev <= KeyCodeTable::maxEvdevCode; ++evdev) {
        const auto model = KeyCodeTable::fileKeyCode(evdev);
        EXPECT_TRUE(seen.insert(model).second) << "model code " << model << " used twice";
        EXPECT_EQ(KeyCodeTable::evdevCode(model), evdev) << "evdev " << evdev;
    }
    // An entry listed twice would leave one of its model codes leading to a key that records as another.
    for (const auto& entry : KeyCodeTable::entries())
        EXPECT_EQ(KeyCodeTable::fileKeyCode(entry.evdev), entry.fileKeyCode) << "evdev " << entry.evdev;
    for (const std::uint16_t model : {52, 66, 68, 70, 77, 108, 112, 127, 200, 0x7fff, 0x8000 + 0x300, 0xffff})
        EXPECT_EQ(KeyCodeTable::evdevCode(model), std::nullopt) << "names no key: " << model;
}

} // namespace
} // namespace loopwren
