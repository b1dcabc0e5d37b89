#include "keycodetable.h"

#include "hotkey.h"

#include <linux/input-event-codes.h>

#include <gtest/gtest.h>

#include <set>

namespace loopwren {
namespace {

struct Named
{
    std::uint16_t evdev;
    std::uint16_t model;
    const char* key;
};

// The key-name table's codes, by the Linux key at the same place on a US keyboard.
const Named kNamedKeys[] = {
    {KEY_A, 0, "A"},
    {KEY_S, 1, "S"},
    {KEY_D, 2, "D"},
    {KEY_F, 3, "F"},
    {KEY_H, 4, "H"},
    {KEY_G, 5, "G"},
    {KEY_Z, 6, "Z"},
    {KEY_X, 7, "X"},
    {KEY_C, 8, "C"},
    {KEY_V, 9, "V"},
    {KEY_B, 11, "B"},
    {KEY_Q, 12, "Q"},
    {KEY_W, 13, "W"},
    {KEY_E, 14, "E"},
    {KEY_R, 15, "R"},
    {KEY_Y, 16, "Y"},
    {KEY_T, 17, "T"},
    {KEY_1, 18, "1"},
    {KEY_2, 19, "2"},
    {KEY_3, 20, "3"},
    {KEY_4, 21, "4"},
    {KEY_6, 22, "6"},
    {KEY_5, 23, "5"},
    {KEY_EQUAL, 24, "="},
    {KEY_9, 25, "9"},
    {KEY_7, 26, "7"},
    {KEY_MINUS, 27, "-"},
    {KEY_8, 28, "8"},
    {KEY_0, 29, "0"},
    {KEY_RIGHTBRACE, 30, "]"},
    {KEY_O, 31, "O"},
    {KEY_U, 32, "U"},
    {KEY_LEFTBRACE, 33, "["},
    {KEY_I, 34, "I"},
    {KEY_P, 35, "P"},
    {KEY_ENTER, 36, "Return"},
    {KEY_L, 37, "L"},
    {KEY_J, 38, "J"},
    {KEY_APOSTROPHE, 39, "'"},
    {KEY_K, 40, "K"},
    {KEY_SEMICOLON, 41, ";"},
    {KEY_BACKSLASH, 42, "\\"},
    {KEY_COMMA, 43, ","},
    {KEY_SLASH, 44, "/"},
    {KEY_N, 45, "N"},
    {KEY_M, 46, "M"},
    {KEY_DOT, 47, "."},
    {KEY_TAB, 48, "Tab"},
    {KEY_SPACE, 49, "Space"},
    {KEY_GRAVE, 50, "`"},
    {KEY_BACKSPACE, 51, "Delete"},
    {KEY_ESC, 53, "Escape"},
    {KEY_LEFTMETA, 55, "Command"},
    {KEY_LEFTSHIFT, 56, "Shift"},
    {KEY_CAPSLOCK, 57, "Caps Lock"},
    {KEY_LEFTALT, 58, "Option"},
    {KEY_LEFTCTRL, 59, "Control"},
    {KEY_RIGHTSHIFT, 60, "Right Shift"},
    {KEY_RIGHTALT, 61, "Right Option"},
    {KEY_RIGHTCTRL, 62, "Right Control"},
    {KEY_F5, 96, "F5"},
    {KEY_F6, 97, "F6"},
    {KEY_F7, 98, "F7"},
    {KEY_F3, 99, "F3"},
    {KEY_F8, 100, "F8"},
    {KEY_F9, 101, "F9"},
    {KEY_F11, 103, "F11"},
    {KEY_F10, 109, "F10"},
    {KEY_F12, 111, "F12"},
    {KEY_F4, 118, "F4"},
    {KEY_F2, 120, "F2"},
    {KEY_F1, 122, "F1"},
    {KEY_LEFT, 123, "Left Arrow"},
    {KEY_RIGHT, 124, "Right Arrow"},
    {KEY_DOWN, 125, "Down Arrow"},
    {KEY_UP, 126, "Up Arrow"},
};

TEST(KeyCodeTable, NamedKeysSitWhereAUsKeyboardHasThem)
{
    EXPECT_EQ(std::size(kNamedKeys), 76u);
    for (const auto& named : kNamedKeys) {
        SCOPED_TRACE(named.key);
        EXPECT_EQ(KeyCodeTable::modelCode(named.evdev), named.model);
        EXPECT_EQ(KeyCodeTable::evdevCode(named.model), named.evdev);
    }
}

TEST(KeyCodeTable, KeysOutsideTheNameTableUseTheirUsualCodes)
{
    const std::pair<std::uint16_t, std::uint16_t> cases[] = {
        {KEY_102ND, 10},     {KEY_RIGHTMETA, 54}, {KEY_KPDOT, 65},      {KEY_KPASTERISK, 67},
        {KEY_KPPLUS, 69},    {KEY_NUMLOCK, 71},   {KEY_KPSLASH, 75},    {KEY_KPENTER, 76},
        {KEY_KPMINUS, 78},   {KEY_KPEQUAL, 81},   {KEY_KP0, 82},        {KEY_KP5, 87},
        {KEY_KP7, 89},       {KEY_KP8, 91},       {KEY_KP9, 92},        {KEY_F13, 105},
        {KEY_F14, 107},      {KEY_F15, 113},      {KEY_F16, 106},       {KEY_F17, 64},
        {KEY_F18, 79},       {KEY_F19, 80},       {KEY_F20, 90},        {KEY_INSERT, 114},
        {KEY_HOME, 115},     {KEY_PAGEUP, 116},   {KEY_DELETE, 117},    {KEY_END, 119},
        {KEY_PAGEDOWN, 121}, {KEY_MUTE, 74},      {KEY_VOLUMEDOWN, 73}, {KEY_VOLUMEUP, 72},
        {KEY_COMPOSE, 110},
    };
    for (const auto& [evdev, model] : cases) {
        SCOPED_TRACE(evdev);
        EXPECT_EQ(KeyCodeTable::modelCode(evdev), model);
        EXPECT_EQ(KeyCodeTable::evdevCode(model), evdev);
    }
}

TEST(KeyCodeTable, KeysWithoutCounterpartKeepTheirLinuxCode)
{
    for (const std::uint16_t evdev :
         {KEY_SYSRQ, KEY_SCROLLLOCK, KEY_PAUSE, KEY_HELP, KEY_CALC, KEY_RESERVED}) {
        SCOPED_TRACE(evdev);
        EXPECT_EQ(KeyCodeTable::modelCode(evdev), 0x8000 + evdev);
        EXPECT_EQ(KeyCodeTable::evdevCode(static_cast<std::uint16_t>(0x8000 + evdev)), evdev);
    }
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
        EXPECT_EQ(KeyCodeTable::modelCode(entry.evdev), entry.model);
        EXPECT_EQ(KeyCodeTable::evdevCode(entry.model), entry.evdev);
    }
}

TEST(KeyCodeTable, CodesNamingNoKeyHaveNoLinuxKey)
{
    for (const std::uint16_t model :
         {52, 66, 68, 70, 77, 108, 112, 127, 200, 0x7fff, 0x8000 + 0x300, 0xffff}) {
        SCOPED_TRACE(model);
        EXPECT_EQ(KeyCodeTable::evdevCode(model), std::nullopt);
    }
}

TEST(KeyCodeTable, ModifierRolesAndKeyFlags)
{
    const std::pair<std::uint16_t, ModifierRole> roles[] = {
        {KEY_LEFTSHIFT, ModifierRole::shift},
        {KEY_RIGHTSHIFT, ModifierRole::shift},
        {KEY_LEFTCTRL, ModifierRole::control},
        {KEY_RIGHTCTRL, ModifierRole::control},
        {KEY_LEFTALT, ModifierRole::option},
        {KEY_RIGHTALT, ModifierRole::option},
        {KEY_LEFTMETA, ModifierRole::command},
        {KEY_RIGHTMETA, ModifierRole::command},
        {KEY_CAPSLOCK, ModifierRole::capsLock},
        {KEY_NUMLOCK, ModifierRole::numLock},
        {KEY_A, ModifierRole::none},
        {KEY_F1, ModifierRole::none},
        {KEY_SYSRQ, ModifierRole::none},
    };
    for (const auto& [evdev, role] : roles)
        EXPECT_EQ(KeyCodeTable::modifierRole(evdev), role) << "evdev " << evdev;

    const std::pair<std::uint16_t, std::uint64_t> flags[] = {
        {KEY_A, 0},
        {KEY_ENTER, 0},
        {KEY_KP1, modifier::numericPad},
        {KEY_KPENTER, modifier::numericPad},
        {KEY_F1, modifier::function},
        {KEY_F20, modifier::function},
        {KEY_HOME, modifier::function},
        {KEY_DELETE, modifier::function},
        {KEY_UP, modifier::function | modifier::numericPad},
        {KEY_SYSRQ, 0},
    };
    for (const auto& [evdev, bits] : flags)
        EXPECT_EQ(KeyCodeTable::keyFlags(evdev), bits) << "evdev " << evdev;
}

} // namespace
} // namespace loopwren
