#include "eventtext.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

namespace loopwren {
namespace {

// Names by US-keyboard position; codes without an entry are named "Key N".
constexpr std::array<std::string_view, 127> kKeyNames = [] {
    std::array<std::string_view, 127> names{};
    const std::pair<std::uint16_t, std::string_view> entries[] = {
        // clang-format off
        {0, "A"}, {1, "S"}, {2, "D"}, {3, "F"}, {4, "H"}, {5, "G"}, {6, "Z"}, {7, "X"}, {8, "C"}, {9, "V"},
        {11, "B"}, {12, "Q"}, {13, "W"}, {14, "E"}, {15, "R"}, {16, "Y"}, {17, "T"}, {18, "1"}, {19, "2"},
        {20, "3"}, {21, "4"}, {22, "6"}, {23, "5"}, {24, "="}, {25, "9"}, {26, "7"}, {27, "-"}, {28, "8"},
        {29, "0"}, {30, "]"}, {31, "O"}, {32, "U"}, {33, "["}, {34, "I"}, {35, "P"}, {36, "Return"},
        {37, "L"}, {38, "J"}, {39, "'"}, {40, "K"}, {41, ";"}, {42, "\\"}, {43, ","}, {44, "/"}, {45, "N"},
        {46, "M"}, {47, "."}, {48, "Tab"}, {49, "Space"}, {50, "`"}, {51, "Delete"}, {53, "Escape"},
        {55, "Command"}, {56, "Shift"}, {57, "Caps Lock"}, {58, "Option"}, {59, "Control"},
        {60, "Right Shift"}, {61, "Right Option"}, {62, "Right Control"},
        {96, "F5"}, {97, "F6"}, {98, "F7"}, {99, "F3"}, {100, "F8"}, {101, "F9"}, {103, "F11"},
        {109, "F10"}, {111, "F12"}, {118, "F4"}, {120, "F2"}, {122, "F1"},
        {123, "Left Arrow"}, {124, "Right Arrow"}, {125, "Down Arrow"}, {126, "Up Arrow"}
        // clang-format on
    };
    for (const auto& [code, name] : entries)
        names[code] = name;
    return names;
}();

// Enough for the integer part of any double (at most 309 digits) with sign and two decimals.
constexpr std::size_t kNumberBuffer = 400;

void appendInteger(std::string& text, std::int64_t value)
{
    char buffer[24];
    text.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

// A recording never yields a non-finite or huge coordinate, but a file or the editor can. Such values are
// shown as they are rather than clamped, so the row never claims a position the event does not hold:
// "nan", "inf" and "-inf" for the non-finite ones, and the exact decimal of the truncated value beyond
// the 64-bit range.
void appendCoordinate(std::string& text, double value)
{
    if (std::isnan(value)) {
        text += "nan";
        return;
    }
    if (std::isinf(value)) {
        text += value < 0 ? "-inf" : "inf";
        return;
    }
    const double whole = std::trunc(value);
    constexpr double limit = 9223372036854775808.0; // 2^63, exactly representable
    if (whole >= -limit && whole < limit) {
        appendInteger(text, static_cast<std::int64_t>(whole));
        return;
    }
    char buffer[kNumberBuffer];
    text.append(buffer,
                std::to_chars(buffer, buffer + sizeof buffer, whole, std::chars_format::fixed, 0).ptr);
}

std::string locationText(const MacroEvent& event)
{
    if (!event.location)
        return {};
    std::string text = "(";
    appendCoordinate(text, event.location->x);
    text += ", ";
    appendCoordinate(text, event.location->y);
    text += ")";
    return text;
}

std::string buttonWord(const MacroEvent& event)
{
    std::string word(rawValue(event.mouseButton.value_or(MouseButtonType::left)));
    word[0] = static_cast<char>(word[0] - 'a' + 'A');
    return word;
}

std::string keyText(const MacroEvent& event) { return event.keyCode ? keyName(*event.keyCode) : "Unknown"; }

// "%.2f" without printf, whose decimal point follows the user's locale.
std::string delayText(double seconds)
{
    char buffer[kNumberBuffer];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, seconds, std::chars_format::fixed, 2).ptr;
    return std::string(buffer, end) + "s";
}

} // namespace

std::string keyName(std::uint16_t keyCode)
{
    if (keyCode < kKeyNames.size() && !kKeyNames[keyCode].empty())
        return std::string(kKeyNames[keyCode]);
    std::string text = "Key ";
    appendInteger(text, keyCode);
    return text;
}

std::string eventDescription(const MacroEvent& event)
{
    switch (event.type) {
    case EventType::mouseDown:
        return buttonWord(event) + " Click Down " + locationText(event);
    case EventType::mouseUp:
        return buttonWord(event) + " Click Up " + locationText(event);
    case EventType::mouseMoved:
        return "Move mouse to " + locationText(event);
    case EventType::keyDown:
        return "Key Down '" + keyText(event) + "'";
    case EventType::keyUp:
        return "Key Up '" + keyText(event) + "'";
    case EventType::scroll: {
        std::string text = "Scroll (dx: ";
        appendInteger(text, event.scrollDeltaX.value_or(0));
        text += ", dy: ";
        appendInteger(text, event.scrollDeltaY.value_or(0));
        return text + ")";
    }
    case EventType::wait:
        return "Wait " + delayText(event.delaySincePrevious);
    }
    return {};
}

std::string displayText(const Hotkey& hotkey)
{
    if (hotkey.keyCode == Hotkey::unsetKeyCode)
        return "(Click here to set hotkeys)";
    // The order is the conventional reading order of the symbols, not the order of the bits.
    static constexpr std::pair<std::uint64_t, std::string_view> kSymbols[] = {
        {modifier::control, "\u2303"},
        {modifier::alt, "\u2325"},
        {modifier::shift, "\u21E7"},
        {modifier::super, "\u2318"},
    };
    std::string text;
    for (const auto& [bit, symbol] : kSymbols) {
        if (hotkey.modifiers & bit) {
            text += symbol;
            text += ' ';
        }
    }
    return text + keyName(hotkey.keyCode);
}

} // namespace loopwren
