#include "hotkey.h"

#include <gtest/gtest.h>

#include <limits>

namespace loopwren {
namespace {

// Any integral form in any order is read, extra members are dropped; anything else is refused.
TEST(HotkeyJson, DecodesIntegralFormsAndRefusesEverythingElse)
{
    const std::pair<const char*, Hotkey> cases[] = {
        {R"({"modifiers":131072,"keyCode":0})", {0, 131072}},
        {" { \"keyCode\" : 96 ,\n \"modifiers\" : 0 } ", {96, 0}},
        {R"({"keyCode":5.0,"modifiers":1e2})", {5, 100}},
        {R"({"keyCode":65535,"modifiers":18446744073709551615})",
         {65535, std::numeric_limits<std::uint64_t>::max()}},
        {R"({"keyCode":1,"modifiers":2,"extra":{"nested":[true,null,"x"]}})", {1, 2}},
    };
    for (const auto& [json, hotkey] : cases)
        EXPECT_EQ(decodeHotkey(json), hotkey) << json;
    for (const char* json :
         {"", "{}", "[]", "null", R"({"keyCode":1})", R"({"modifiers":0})",
          R"({"keyCode":65536,"modifiers":0})", R"({"keyCode":1.5,"modifiers":0})",
          R"({"keyCode":-1,"modifiers":0})", R"({"keyCode":1,"modifiers":18446744073709551616})",
          R"({"keyCode":1,"modifiers":-1})", R"({"keyCode":null,"modifiers":0})",
          R"({"keyCode":"1","modifiers":0})", R"({"keyCode":1,"modifiers":0} x)",
          R"({"keyCode":1,"modifiers":0,"extra":tru})", R"({"keyCode":1,"modifiers":0)",
          R"({"keyCode":01,"modifiers":0})"})
        EXPECT_EQ(decodeHotkey(json), std::nullopt) << json;
}

} // namespace
} // namespace loopwren
