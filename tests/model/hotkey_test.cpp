#include "hotkey.h"

#include <gtest/gtest.h>

#include <limits>

namespace loopwren {
namespace {

TEST(HotkeyJson, WritesCompactly)
{
    EXPECT_EQ(encodeHotkey(Hotkey::unset()), R"({"keyCode":65535,"modifiers":0})");
    EXPECT_EQ(encodeHotkey(Hotkey{15, 0x60000}), R"({"keyCode":15,"modifiers":393216})");
    EXPECT_EQ(encodeHotkey(*decodeHotkey(R"({"extra":1,"keyCode":1,"modifiers":2})")),
              R"({"keyCode":1,"modifiers":2})");
}

// Any integral form in any order is read, extra members are dropped; anything else is refused.
TEST(HotkeyJson, DecodesIntegralFormsAndRefusesEverythingElse)
{
    constexpr std::optional<Hotkey> refused;
    const std::pair<const char*, std::optional<Hotkey>> cases[] = {
        {R"({"modifiers":131072,"keyCode":0})", Hotkey{0, 131072}},
        {" { \"keyCode\" : 96 ,\n \"modifiers\" : 0 } ", Hotkey{96, 0}},
        {R"({"keyCode":5.0,"modifiers":1e2})", Hotkey{5, 100}},
        {R"({"keyCode":65535,"modifiers":18446744073709551615})",
         Hotkey{65535, std::numeric_limits<std::uint64_t>::max()}},
        {R"({"keyCode":1,"modifiers":2,"extra":{"nested":[true,null,"x"]}})", Hotkey{1, 2}},
        {"", refused},
        {"{}", refused},
        {"[]", refused},
        {"null", refused},
        {R"({"keyCode":1})", refused},
        {R"({"modifiers":0})", refused},
        {R"({"keyCode":65536,"modifiers":0})", refused},
        {R"({"keyCode":1.5,"modifiers":0})", refused},
        {R"({"keyCode":-1,"modifiers":0})", refused},
        {R"({"keyCode":1,"modifiers":18446744073709551616})", refused},
        {R"({"keyCode":1,"modifiers":-1})", refused},
        {R"({"keyCode":null,"modifiers":0})", refused},
        {R"({"keyCode":"1","modifiers":0})", refused},
        {R"({"keyCode":1,"modifiers":0} x)", refused},
        {R"({"keyCode":1,"modifiers":0,"extra":tru})", refused},
        {R"({"keyCode":1,"modifiers":0)", refused},
        {R"({"keyCode":01,"modifiers":0})", refused},
    };
    for (const auto& [json, hotkey] : cases)
        EXPECT_EQ(decodeHotkey(json), hotkey) << json;
}

} // namespace
} // namespace loopwren
