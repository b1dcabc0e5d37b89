#include "macrofile.h"
#include "testevents.h"

#include <gtest/gtest.h>

namespace loopwren {
namespace {

using enum EventType;
using test::kIdText;

const std::string kRequired = R"("type":"wait","delaySincePrevious":1)";

// A one-event document whose event holds the test identifier and `members`.
std::string doc(const std::string& members)
{
    return std::string(R"([{"id":")") + kIdText + "\"," + members + "}]";
}

TEST(MacroFileRead, ReadsValidForms)
{
    const Uuid id = test::testId();
    using test::Event;
    const std::pair<std::string, Timeline> cases[] = {
        {"[]", {}},
        {" \n\t[ ]\r\n ", {}},
        {doc(kRequired), {Event(wait, 1, id)}},
        // Any member order, lower-case identifiers.
        {doc(R"("scrollDeltaY":-3,"scrollDeltaX":2,"flags":1048576,"keyCode":36,"clickCount":2,"mouseButton":"right",
            "location":[-10.5,20],"delaySincePrevious":0.25,"type":"mouseDown",
            "id":"6f9619ff-8b86-d011-b42d-00c04fc964ff")"),
         {Event(mouseDown, 0.25, id)
              .at(-10.5, 20)
              .button(MouseButtonType::right)
              .clicks(2)
              .key(36)
              .flags(1048576)
              .scroll(2, -3)}},
        // Null reads as absent; unknown members, and keys differing only in case, are ignored.
        {doc(kRequired + R"(,"location":null,"mouseButton":null,"clickCount":null,"keyCode":null,"flags":null,
            "scrollDeltaX":null,"scrollDeltaY":null,"note":"x","nested":{"a":[1,{"b":null}],"c":true},
            "Type":"keyDown","KEYCODE":5)"),
         {Event(wait, 1, id)}},
        {doc(kRequired + R"(,"key\u0043ode":7,"mouseButton":"\u006ceft")"),
         {Event(wait, 1, id).button(MouseButtonType::left).key(7)}},
        {doc(kRequired + R"(,"location":[1.5,-2,3,"z",{"k":[]}])"), {Event(wait, 1, id).at(1.5, -2)}},
        // Delays: any finite number; integers beyond 64 bits read as the nearest double.
        {doc(R"("type":"wait","delaySincePrevious":-0)"), {Event(wait, -0.0, id)}},
        {doc(R"("type":"wait","delaySincePrevious":2.5E-3)"), {Event(wait, 0.0025, id)}},
        {doc(R"("type":"wait","delaySincePrevious":5e-324)"), {Event(wait, 5e-324, id)}},
        {doc(R"("type":"wait","delaySincePrevious":123456789012345678901234567890)"),
         {Event(wait, 1.2345678901234568e29, id)}},
        // In order, identifiers as they are, repeated ones too.
        {R"([{"id":"00000000-0000-0000-0000-000000000001","type":"keyDown","delaySincePrevious":0},
             {"id":"00000000-0000-0000-0000-000000000002","type":"keyUp","delaySincePrevious":0},
             {"id":"00000000-0000-0000-0000-000000000001","type":"wait","delaySincePrevious":0}])",
         {Event(keyDown, 0, *Uuid::parse("00000000-0000-0000-0000-000000000001")),
          Event(keyUp, 0, *Uuid::parse("00000000-0000-0000-0000-000000000002")),
          Event(wait, 0, *Uuid::parse("00000000-0000-0000-0000-000000000001"))}},
    };
    for (const auto& [json, expected] : cases) {
        const MacroReadResult result = readMacro(json);
        EXPECT_EQ(result.error, "") << json;
        EXPECT_EQ(test::firstDifference(expected, result.events), "") << json;
    }
}

// Each case: member, value, and the field read in decimal or the whole error.
TEST(MacroFileRead, IntegersMustBeIntegralAndInRange)
{
    auto fieldText = [](const MacroEvent& event, std::string_view member) {
        auto text = [](const auto& field) { return field ? std::to_string(*field) : std::string("absent"); };
        return member == "keyCode"        ? text(event.keyCode)
               : member == "flags"        ? text(event.flags)
               : member == "clickCount"   ? text(event.clickCount)
               : member == "scrollDeltaX" ? text(event.scrollDeltaX)
                                          : text(event.scrollDeltaY);
    };
    const char* const cases[][3] = {
        // clang-format off
        {"keyCode", "0", "0"}, {"keyCode", "65535", "65535"}, {"keyCode", "-0", "0"},
        {"keyCode", "65536", R"(event 1: "keyCode" 65536 is out of range)"},
        {"keyCode", "-1", R"(event 1: "keyCode" -1 is out of range)"},
        // Integral values written with a fraction or an exponent are integers.
        {"keyCode", "5.0", "5"}, {"keyCode", "1e2", "100"}, {"keyCode", "1.5E1", "15"},
        {"keyCode", "2500e-2", "25"}, {"keyCode", "0.0e99999", "0"},
        {"keyCode", "1.5", R"(event 1: "keyCode" 1.5 is not an integer)"},
        {"keyCode", "1e-400", R"(event 1: "keyCode" 1e-400 is not an integer)"},
        {"keyCode", "1e400", R"(event 1: "keyCode" 1e400 is out of range)"},
        {"keyCode", "01", R"(event 1: "keyCode" 01 is not a valid number)"},
        {"keyCode", "\"5\"", R"(event 1: "keyCode" must be a number, not a string)"},
        {"keyCode", "true", R"(event 1: "keyCode" must be a number, not a boolean)"},
        {"flags", "18446744073709551615", "18446744073709551615"},
        {"flags", "1.8446744073709551615e19", "18446744073709551615"},
        {"flags", "18446744073709551616", R"(event 1: "flags" 18446744073709551616 is out of range)"},
        {"clickCount", "9223372036854775807", "9223372036854775807"},
        {"clickCount", "-9223372036854775808", "-9223372036854775808"},
        // Read from the text, not through a double, which would round it to 2^63.
        {"clickCount", "9.223372036854775807e18", "9223372036854775807"},
        {"clickCount", "9223372036854775808", R"(event 1: "clickCount" 9223372036854775808 is out of range)"},
        {"clickCount", "-9223372036854775809", R"(event 1: "clickCount" -9223372036854775809 is out of range)"},
        {"scrollDeltaX", "2147483647", "2147483647"}, {"scrollDeltaX", "-2147483648", "-2147483648"},
        {"scrollDeltaX", "2147483648", R"(event 1: "scrollDeltaX" 2147483648 is out of range)"},
        {"scrollDeltaY", "-2147483649", R"(event 1: "scrollDeltaY" -2147483649 is out of range)"},
        // clang-format on
    };
    for (const auto& [member, value, expected] : cases) {
        const MacroReadResult result = readMacro(doc(kRequired + ",\"" + member + "\":" + value));
        EXPECT_EQ(result.ok() ? fieldText(result.events.at(0), member) : result.error, expected);
        EXPECT_TRUE(result.ok() || result.events.empty());
    }
}

// Each case: document and the whole error, or its start when that ends in "...".
TEST(MacroFileRead, RejectsTheWholeDocumentOnAnyError)
{
    const std::string good = doc(kRequired).substr(1, doc(kRequired).size() - 2);
    const std::string deep(10000, '[');
    const std::string arrays = deep + std::string(10000, ']');
    std::string objects;
    for (int i = 0; i < 10000; ++i)
        objects += R"({"a":)";
    objects += "1" + std::string(10000, '}');
    const std::string cases[][2] = {
        // clang-format off
        {"", "invalid JSON: ..."}, {"{}", "the document is not a JSON array"},
        {"5", "the document is not a JSON array"}, {"null", "the document is not a JSON array"},
        {"[1]", "event 1 is not a JSON object"}, {"[" + good + "," + good + ",[]]", "event 3 is not a JSON object"},
        {R"([{"type":"wait","delaySincePrevious":1}])", R"(event 1: missing "id")"},
        {"[" + good + "," + doc(R"("delaySincePrevious":1)").substr(1), R"(event 2: missing "type")"},
        {doc(R"("type":"wait")"), R"(event 1: missing "delaySincePrevious")"},
        {doc(kRequired + R"(,"id":null)"), R"(event 1: "id" must be a string, not null)"},
        {doc(R"("type":"wait","delaySincePrevious":"1")"), R"(event 1: "delaySincePrevious" must be a number, not a string)"},
        {doc(R"("type":"wait","delaySincePrevious":null)"), R"(event 1: "delaySincePrevious" must be a number, not null)"},
        {doc(R"("type":"wait","delaySincePrevious":1e999)"), R"(event 1: "delaySincePrevious" 1e999 is not a finite number)"},
        {doc(kRequired + R"(,"id":"not-a-uuid")"), R"(event 1: "id" "not-a-uuid" is not a UUID)"},
        {doc(kRequired + R"(,"id":"6F9619FF-8B86-D011-B42D-00C04FC964F")"), "event 1: \"id\" ..."},
        {doc(kRequired + R"(,"id":"6F9619FF8-B86-D011-B42D-00C04FC964FF")"), "event 1: \"id\" ..."},
        {doc(kRequired + R"(,"id":"6F9619FF-8B86-D011-B42D-00C04FC964FG")"), "event 1: \"id\" ..."},
        {doc(kRequired + R"(,"id":"{6F9619FF-8B86-D011-B42D-00C04FC964FF}")"), "event 1: \"id\" ..."},
        // Raw values match exactly, letter case included.
        {doc(R"("type":"MouseDown","delaySincePrevious":1)"), R"(event 1: "type" "MouseDown" is not an event type)"},
        {doc(kRequired + R"(,"mouseButton":"Left")"), R"(event 1: "mouseButton" "Left" is not a mouse button)"},
        {doc(kRequired + R"(,"location":{"x":1,"y":2})"), R"(event 1: "location" must be an array, not an object)"},
        {doc(kRequired + R"(,"location":[1])"), R"(event 1: "location" must hold two numbers, x and y)"},
        {doc(kRequired + R"(,"location":[1,null])"), R"(event 1: "location" must hold two numbers, x and y)"},
        // Malformed JSON, also where it would otherwise be ignored.
        {"[" + good, "invalid JSON: ..."}, {"[" + good + ",]", "event 2: invalid JSON: ..."},
        {"[" + good + "]]", "invalid JSON: unexpected content after the array"},
        {doc(kRequired + R"(,"note":tru)"), "event 1: invalid JSON: ..."},
        {doc(kRequired + R"(,"note":[1 2])"), "event 1: invalid JSON: ..."},
        {doc(kRequired + R"(,"note":"\x")"), "event 1: invalid JSON: ..."},
        {doc(kRequired + R"(,"location":[1,2,01])"), "event 1: invalid JSON: ..."},
        // Values quoted from the file are cut short, a member's name too.
        {doc(R"("type":")" + std::string(1000, 'x') + R"(","delaySincePrevious":1)"),
         "event 1: \"type\" \"" + std::string(39, 'x') + "... is not an event type"},
        {doc(kRequired + ",\"" + std::string(5000, 'n') + "\":" + arrays),
         "event 1: \"" + std::string(40, 'n') + "...\" is nested too deeply"},
        // Deep nesting fails cleanly.
        {arrays, "event 1 is not a JSON object"}, {deep, "..."}, {doc(kRequired + ",\"note\":" + deep), "..."},
        {doc(kRequired + ",\"note\":" + arrays), R"(event 1: "note" is nested too deeply)"},
        {doc(kRequired + ",\"note\":" + objects), R"(event 1: "note" is nested too deeply)"},
        {doc(kRequired + ",\"location\":[1,2," + arrays + "]"), R"(event 1: "location" is nested too deeply)"},
        // clang-format on
    };
    for (const auto& [json, error] : cases) {
        const MacroReadResult result = readMacro(json);
        EXPECT_TRUE(result.events.empty()) << json.substr(0, 200);
        if (error.ends_with("..."))
            EXPECT_TRUE(!result.ok() && result.error.starts_with(error.substr(0, error.size() - 3)))
                << json.substr(0, 200) << ": " << result.error;
        else
            EXPECT_EQ(result.error, error) << json.substr(0, 200);
    }
    EXPECT_TRUE(
        readMacro(doc(kRequired + ",\"note\":" + std::string(100, '[') + std::string(100, ']'))).ok());
}

} // namespace
} // namespace loopwren
