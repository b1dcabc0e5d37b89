#include "keycodetable.h"

#include "hotkey.h"

#include <linux/input-event-codes.h>

#include <array>

namespace loopwren {

namespace {

constexpr std::uint64_t pad = modifier::numericPad;
constexpr std::uint64_t fn = modifier::function;
// Arrow keys report both bits, as the keyboards the file key codes come from do.
constexpr std::uint64_t arrow = modifier::numericPad | modifier::function;

using R = ModifierRole;

// One row per key that has a file key code. Keys not listed get unmappedBase + evdev.
// Choices where a PC key has no exact twin: Insert is Help (114), Num Lock is the keypad's Clear (71),
// Menu is the contextual-menu key (110), the key left of Z on ISO keyboards is the section key (10),
// and the Korean/Japanese language keys LANG1/LANG2 are Kana (104) and Eisu (102). Print Screen,
// Scroll Lock and Pause keep their own Linux codes rather than borrowing F13-F15, so that F13-F20
// stay themselves in both directions.
constexpr KeyCodeTable::Entry kTable[] = {
    {KEY_A, 0, 0, R::none},
    {KEY_S, 1, 0, R::none},
    {KEY_D, 2, 0, R::none},
    {KEY_F, 3, 0, R::none},
    {KEY_H, 4, 0, R::none},
    {KEY_G, 5, 0, R::none},
    {KEY_Z, 6, 0, R::none},
    {KEY_X, 7, 0, R::none},
    {KEY_C, 8, 0, R::none},
    {KEY_V, 9, 0, R::none},
    {KEY_102ND, 10, 0, R::none},
    {KEY_B, 11, 0, R::none},
    {KEY_Q, 12, 0, R::none},
    {KEY_W, 13, 0, R::none},
    {KEY_E, 14, 0, R::none},
    {KEY_R, 15, 0, R::none},
    {KEY_Y, 16, 0, R::none},
    {KEY_T, 17, 0, R::none},
    {KEY_1, 18, 0, R::none},
    {KEY_2, 19, 0, R::none},
    {KEY_3, 20, 0, R::none},
    {KEY_4, 21, 0, R::none},
    {KEY_6, 22, 0, R::none},
    {KEY_5, 23, 0, R::none},
    {KEY_EQUAL, 24, 0, R::none},
    {KEY_9, 25, 0, R::none},
    {KEY_7, 26, 0, R::none},
    {KEY_MINUS, 27, 0, R::none},
    {KEY_8, 28, 0, R::none},
    {KEY_0, 29, 0, R::none},
    {KEY_RIGHTBRACE, 30, 0, R::none},
    {KEY_O, 31, 0, R::none},
    {KEY_U, 32, 0, R::none},
    {KEY_LEFTBRACE, 33, 0, R::none},
    {KEY_I, 34, 0, R::none},
    {KEY_P, 35, 0, R::none},
    {KEY_ENTER, 36, 0, R::none},
    {KEY_L, 37, 0, R::none},
    {KEY_J, 38, 0, R::none},
    {KEY_APOSTROPHE, 39, 0, R::none},
    {KEY_K, 40, 0, R::none},
    {KEY_SEMICOLON, 41, 0, R::none},
    {KEY_BACKSLASH, 42, 0, R::none},
    {KEY_COMMA, 43, 0, R::none},
    {KEY_SLASH, 44, 0, R::none},
    {KEY_N, 45, 0, R::none},
    {KEY_M, 46, 0, R::none},
    {KEY_DOT, 47, 0, R::none},
    {KEY_TAB, 48, 0, R::none},
    {KEY_SPACE, 49, 0, R::none},
    {KEY_GRAVE, 50, 0, R::none},
    {KEY_BACKSPACE, 51, 0, R::none},
    {KEY_ESC, 53, 0, R::none},
    {KEY_RIGHTMETA, 54, 0, R::super},
    {KEY_LEFTMETA, 55, 0, R::super},
    {KEY_LEFTSHIFT, 56, 0, R::shift},
    {KEY_CAPSLOCK, 57, 0, R::capsLock},
    {KEY_LEFTALT, 58, 0, R::alt},
    {KEY_LEFTCTRL, 59, 0, R::control},
    {KEY_RIGHTSHIFT, 60, 0, R::shift},
    {KEY_RIGHTALT, 61, 0, R::alt},
    {KEY_RIGHTCTRL, 62, 0, R::control},
    {KEY_FN, 63, 0, R::function},
    {KEY_F17, 64, fn, R::none},
    {KEY_KPDOT, 65, pad, R::none},
    {KEY_KPASTERISK, 67, pad, R::none},
    {KEY_KPPLUS, 69, pad, R::none},
    {KEY_NUMLOCK, 71, pad, R::numLock},
    {KEY_VOLUMEUP, 72, 0, R::none},
    {KEY_VOLUMEDOWN, 73, 0, R::none},
    {KEY_MUTE, 74, 0, R::none},
    {KEY_KPSLASH, 75, pad, R::none},
    {KEY_KPENTER, 76, pad, R::none},
    {KEY_KPMINUS, 78, pad, R::none},
    {KEY_F18, 79, fn, R::none},
    {KEY_F19, 80, fn, R::none},
    {KEY_KPEQUAL, 81, pad, R::none},
    {KEY_KP0, 82, pad, R::none},
    {KEY_KP1, 83, pad, R::none},
    {KEY_KP2, 84, pad, R::none},
    {KEY_KP3, 85, pad, R::none},
    {KEY_KP4, 86, pad, R::none},
    {KEY_KP5, 87, pad, R::none},
    {KEY_KP6, 88, pad, R::none},
    {KEY_KP7, 89, pad, R::none},
    {KEY_F20, 90, fn, R::none},
    {KEY_KP8, 91, pad, R::none},
    {KEY_KP9, 92, pad, R::none},
    {KEY_YEN, 93, 0, R::none},
    {KEY_RO, 94, 0, R::none},
    {KEY_KPCOMMA, 95, pad, R::none},
    {KEY_F5, 96, fn, R::none},
    {KEY_F6, 97, fn, R::none},
    {KEY_F7, 98, fn, R::none},
    {KEY_F3, 99, fn, R::none},
    {KEY_F8, 100, fn, R::none},
    {KEY_F9, 101, fn, R::none},
    {KEY_HANJA, 102, 0, R::none},
    {KEY_F11, 103, fn, R::none},
    {KEY_HANGEUL, 104, 0, R::none},
    {KEY_F13, 105, fn, R::none},
    {KEY_F16, 106, fn, R::none},
    {KEY_F14, 107, fn, R::none},
    {KEY_F10, 109, fn, R::none},
    {KEY_COMPOSE, 110, 0, R::none},
    {KEY_F12, 111, fn, R::none},
    {KEY_F15, 113, fn, R::none},
    {KEY_INSERT, 114, fn, R::none},
    {KEY_HOME, 115, fn, R::none},
    {KEY_PAGEUP, 116, fn, R::none},
    {KEY_DELETE, 117, fn, R::none},
    {KEY_F4, 118, fn, R::none},
    {KEY_END, 119, fn, R::none},
    {KEY_F2, 120, fn, R::none},
    {KEY_PAGEDOWN, 121, fn, R::none},
    {KEY_F1, 122, fn, R::none},
    {KEY_LEFT, 123, arrow, R::none},
    {KEY_RIGHT, 124, arrow, R::none},
    {KEY_DOWN, 125, arrow, R::none},
    {KEY_UP, 126, arrow, R::none},
};

constexpr std::uint16_t kNoEntry = 0xffff;
constexpr std::size_t kFileKeyCodeLimit = 128; // every listed file key code is below this

// Direct-indexed lookups, built once: the recorder translates every key event through them.
struct Index
{
    std::array<std::uint16_t, KeyCodeTable::maxEvdevCode + 1> byEvdev{};
    std::array<std::uint16_t, kFileKeyCodeLimit> byFileKeyCode{};

    Index()
    {
        byEvdev.fill(kNoEntry);
        byFileKeyCode.fill(kNoEntry);
        for (std::size_t i = 0; i < std::size(kTable); ++i) {
            byEvdev[kTable[i].evdev] = static_cast<std::uint16_t>(i);
            byFileKeyCode[kTable[i].fileKeyCode] = static_cast<std::uint16_t>(i);
        }
    }
};

const Index& index()
{
    static const Index instance;
    return instance;
}

const KeyCodeTable::Entry* entryForEvdev(std::uint16_t evdev)
{
    if (evdev > KeyCodeTable::maxEvdevCode)
        return nullptr;
    const auto i = index().byEvdev[evdev];
    return i == kNoEntry ? nullptr : &kTable[i];
}

} // namespace

FileKeyCode KeyCodeTable::fileKeyCode(std::uint16_t evdev)
{
    if (const auto* entry = entryForEvdev(evdev))
        return entry->fileKeyCode;
    return static_cast<FileKeyCode>(unmappedBase | (evdev & 0x7fff));
}

std::optional<std::uint16_t> KeyCodeTable::evdevCode(FileKeyCode code)
{
    if (code >= unmappedBase) {
        const auto evdev = static_cast<std::uint16_t>(code - unmappedBase);
        if (evdev > maxEvdevCode)
            return std::nullopt;
        return evdev;
    }
    if (code >= kFileKeyCodeLimit)
        return std::nullopt;
    const auto i = index().byFileKeyCode[code];
    if (i == kNoEntry)
        return std::nullopt;
    return kTable[i].evdev;
}

ModifierRole KeyCodeTable::modifierRole(std::uint16_t evdev)
{
    const auto* entry = entryForEvdev(evdev);
    return entry ? entry->role : ModifierRole::none;
}

std::uint64_t KeyCodeTable::keyFlags(std::uint16_t evdev)
{
    const auto* entry = entryForEvdev(evdev);
    return entry ? entry->keyFlags : 0;
}

std::span<const KeyCodeTable::Entry> KeyCodeTable::entries() { return kTable; }

} // namespace loopwren
