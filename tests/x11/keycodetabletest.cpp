#include "keycodetable.h"

#include "eventtext.h"

#include <linux/input-event-codes.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace loopwren {
namespace {

// Every key the timeline names by its label is the Linux key carrying that label on a US keyboard:
// the rows of the main block, then the named keys off it.
TEST(KeyCodeTable, NamedKeysSitWhereAUsKeyboardHasThem)
{
    const std::pair<std::uint16_t, std::string_view> rows[] = {
        {KEY_1, "1234567890-="},
        {KEY_Q, "QWERTYUIOP[]"},
        {KEY_A, "ASDFGHJKL;'`"},
        {KEY_BACKSLASH, "\\ZXCVBNM,./"},
    };
    const std::pair<std::uint16_t, const char*> others[] = {
        // clang-format off
        {KEY_F11, "F11"}, {KEY_F12, "F12"}, {KEY_ENTER, "Return"}, {KEY_TAB, "Tab"}, {KEY_SPACE, "Space"},
        {KEY_BACKSPACE, "Delete"}, {KEY_ESC, "Escape"}, {KEY_LEFTMETA, "Command"}, {KEY_LEFTSHIFT, "Shift"},
        {KEY_CAPSLOCK, "Caps Lock"}, {KEY_LEFTALT, "Option"}, {KEY_LEFTCTRL, "Control"},
        {KEY_RIGHTSHIFT, "Right Shift"}, {KEY_RIGHTALT, "Right Option"}, {KEY_RIGHTCTRL, "Right Control"},
        {KEY_LEFT, "Left Arrow"}, {KEY_RIGHT, "Right Arrow"}, {KEY_DOWN, "Down Arrow"}, {KEY_UP, "Up Arrow"},
        // clang-format on
    };
    std::vector<std::pair<std::uint16_t, std::string>> keys(std::begin(others), std::end(others));
    for (const auto& [first, labels] : rows) {
        for (std::size_t i = 0; i < labels.size(); ++i)
            keys.emplace_back(static_cast<std::uint16_t>(first + i), std::string(1, labels[i]));
    }
    for (std::uint16_t i = 0; i < 10; ++i)
        keys.emplace_back(static_cast<std::uint16_t>(KEY_F1 + i), "F" + std::to_string(i + 1));
    ASSERT_EQ(keys.size(), 76u) << "every named code";
    for (const auto& [evdev, label] : keys)
        EXPECT_EQ(keyName(KeyCodeTable::modelCode(evdev)), label) << "evdev " << evdev;
}

// The codes chosen where a PC key has no exact twin, and the irregular stretches around them.
TEST(KeyCodeTable, KeysOutsideTheNameTableUseTheirUsualCodes)
{
    const std::pair<std::uint16_t, std::uint16_t> cases[] = {
        {KEY_102ND, 10},   {KEY_RIGHTMETA, 54}, {KEY_NUMLOCK, 71},  {KEY_KPENTER, 76}, {KEY_KP8, 91},
        {KEY_F13, 105},    {KEY_F16, 106},      {KEY_F17, 64},      {KEY_F20, 90},     {KEY_INSERT, 114},
        {KEY_DELETE, 117}, {KEY_COMPOSE, 110},  {KEY_VOLUMEUP, 72},
    };
    for (const auto& [evdev, model] : cases)
        EXPECT_EQ(KeyCodeTable::modelCode(evdev), model) << "evdev " << evdev;
    for (const std::uint16_t evdev : {KEY_SYSRQ, KEY_SCROLLLOCK, KEY_PAUSE, KEY_RESERVED})
        EXPECT_EQ(KeyCodeTable::modelCode(evdev), 0x8000 + evdev) << "no counterpart: its Linux code";
}

TEST(KeyCodeTable, EveryLinuxKeyRoundTrips)
{
    std::set<std::uint16_t> seen;
    for (std::uint16_t evdev = 0; evdev <= KeyCodeTable::maxEvdevCode; ++evdev) {
        const auto model = KeyCodeTable::modelCode(evdev);
        EXPECT_TRUE(seen.insert(model).second) << "model code " << model << " used twice";
        EXPECT_EQ(KeyCodeTable::evdevCode(model), evdev) << "evdev " << evdev;
    }
}

TEST(KeyCodeTable, EveryEntryRoundTripsAndModelCodesAreUnique)
{
    std::set<std::uint16_t> evdevs;
    std::set<std::uint16_t> models;
    for (const auto& entry : KeyCodeTable::entries()) {
        EXPECT_TRUE(evdevs.insert(entry.evdev).second) << "evdev " << entry.evdev << " listed twice";
        EXPECT_TRUE(models.insert(entry.model).second) << "model " << entry.model << " listed twice";
        EXPECT_LT(entry.model, KeyCodeTable::unmappedBase);
        EXPECT_EQ(KeyCodeTable::evdevCode(entry.model), entry.evdev);
    }
}

TEST(KeyCodeTable, CodesNamingNoKeyHaveNoLinuxKey)
{
    for (const std::uint16_t model : {52, 66, 68, 70, 77, 108, 112, 127, 200, 0x7fff, 0x8000 + 0x300, 0xffff})
        EXPECT_EQ(KeyCodeTable::evdevCode(model), std::nullopt) << model;
}

} // namespace
} // namespace loopwren
