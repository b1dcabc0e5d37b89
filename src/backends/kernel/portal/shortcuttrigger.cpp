#include "shortcuttrigger.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

namespace loopwren::shortcuttrigger {
namespace {

// xkb key names of the file key codes, which name keys by their place on a US keyboard.
const QHash<std::uint16_t, QString>& keyNames()
{
    static const QHash<std::uint16_t, QString> names = [] {
        // clang-format off
        const std::pair<std::uint16_t, const char*> entries[] = {
            {0, "a"}, {1, "s"}, {2, "d"}, {3, "f"}, {4, "h"}, {5, "g"}, {6, "z"}, {7, "x"}, {8, "c"},
            {9, "v"}, {11, "b"}, {12, "q"}, {13, "w"}, {14, "e"}, {15, "r"}, {16, "y"}, {17, "t"},
            {18, "1"}, {19, "2"}, {20, "3"}, {21, "4"}, {22, "6"}, {23, "5"}, {24, "equal"}, {25, "9"},
            {26, "7"}, {27, "minus"}, {28, "8"}, {29, "0"}, {30, "bracketright"}, {31, "o"}, {32, "u"},
            {33, "bracketleft"}, {34, "i"}, {35, "p"}, {36, "Return"}, {37, "l"}, {38, "j"},
            {39, "apostrophe"}, {40, "k"}, {41, "semicolon"}, {42, "backslash"}, {43, "comma"},
            {44, "slash"}, {45, "n"}, {46, "m"}, {47, "period"}, {48, "Tab"}, {49, "space"},
            {50, "grave"}, {51, "BackSpace"}, {53, "Escape"},
            {65, "KP_Decimal"}, {67, "KP_Multiply"}, {69, "KP_Add"}, {75, "KP_Divide"}, {76, "KP_Enter"},
            {78, "KP_Subtract"}, {81, "KP_Equal"}, {82, "KP_0"}, {83, "KP_1"}, {84, "KP_2"}, {85, "KP_3"},
            {86, "KP_4"}, {87, "KP_5"}, {88, "KP_6"}, {89, "KP_7"}, {91, "KP_8"}, {92, "KP_9"},
            {122, "F1"}, {120, "F2"}, {99, "F3"}, {118, "F4"}, {96, "F5"}, {97, "F6"}, {98, "F7"},
            {100, "F8"}, {101, "F9"}, {109, "F10"}, {103, "F11"}, {111, "F12"}, {105, "F13"},
            {107, "F14"}, {113, "F15"}, {106, "F16"}, {64, "F17"}, {79, "F18"}, {80, "F19"}, {90, "F20"},
            {114, "Insert"}, {115, "Home"}, {116, "Page_Up"}, {117, "Delete"}, {119, "End"},
            {121, "Page_Down"}, {123, "Left"}, {124, "Right"}, {125, "Down"}, {126, "Up"},
        };
        // clang-format on
        QHash<std::uint16_t, QString> table;
        for (const auto& [code, name] : entries)
            table.insert(code, QString::fromLatin1(name));
        return table;
    }();
    return names;
}

// One spelling per modifier and key, whichever words a desktop uses for them.
QString canonical(QString token)
{
    token = token.trimmed().toLower().replace(QLatin1Char(' '), QLatin1Char('_'));
    static const QHash<QString, QString> aliases = {
        {"control", "ctrl"},    {"primary", "ctrl"},      {"mod1", "alt"},         {"option", "alt"},
        {"meta", "logo"},       {"super", "logo"},        {"win", "logo"},         {"mod4", "logo"},
        {"enter", "return"},    {"esc", "escape"},        {"del", "delete"},       {"backspace", "backspace"},
        {"pgup", "page_up"},    {"prior", "page_up"},     {"pgdown", "page_down"}, {"next", "page_down"},
        {"=", "equal"},         {"-", "minus"},           {"[", "bracketleft"},    {"]", "bracketright"},
        {"'", "apostrophe"},    {";", "semicolon"},       {"\\", "backslash"},     {",", "comma"},
        {"/", "slash"},         {".", "period"},          {"`", "grave"},          {"+", "plus"},
        {"left_arrow", "left"}, {"right_arrow", "right"}, {"up_arrow", "up"},      {"down_arrow", "down"},
    };
    return aliases.value(token, token);
}

QSet<QString> keysOf(QString text)
{
    // "<Control><Shift>r", GTK's accelerator form, reads as "Control+Shift+r".
    static const QRegularExpression bracketed(QStringLiteral("<([A-Za-z0-9_]+)>"));
    text.replace(bracketed, QStringLiteral("\\1+"));
    QSet<QString> keys;
    // A trailing "++" names the plus key itself.
    if (text.endsWith(QLatin1String("++"))) {
        keys.insert(QStringLiteral("plus"));
        text.chop(2);
    }
    for (const QString& token : text.split(QLatin1Char('+'), Qt::SkipEmptyParts))
        keys.insert(canonical(token));
    return keys;
}

} // namespace

std::optional<QString> preferred(const Hotkey& hotkey)
{
    const auto name = keyNames().constFind(hotkey.keyCode);
    if (name == keyNames().constEnd())
        return std::nullopt;
    QStringList parts;
    const std::pair<std::uint64_t, const char*> modifiers[] = {{modifier::control, "CTRL"},
                                                               {modifier::alt, "ALT"},
                                                               {modifier::shift, "SHIFT"},
                                                               {modifier::super, "LOGO"}};
    for (const auto& [bit, word] : modifiers) {
        if (hotkey.modifiers & bit)
            parts << QString::fromLatin1(word);
    }
    parts << *name;
    return parts.join(QLatin1Char('+'));
}

bool describesSame(const std::optional<QString>& preferred, const QString& description)
{
    return keysOf(preferred.value_or(QString())) == keysOf(description);
}

std::optional<std::uint16_t> keyCodeOf(const QString& description)
{
    QSet<QString> keys = keysOf(description);
    for (const char* modifierName : {"ctrl", "alt", "shift", "logo"})
        keys.remove(QString::fromLatin1(modifierName));
    if (keys.size() != 1)
        return std::nullopt;
    static const QHash<QString, std::uint16_t> codes = [] {
        QHash<QString, std::uint16_t> byName;
        for (auto it = keyNames().cbegin(); it != keyNames().cend(); ++it)
            byName.insert(canonical(it.value()), it.key());
        return byName;
    }();
    const auto found = codes.constFind(*keys.cbegin());
    return found == codes.cend() ? std::nullopt : std::optional<std::uint16_t>(found.value());
}

} // namespace loopwren::shortcuttrigger
