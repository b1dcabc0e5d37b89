#include "macrofile.h"
#include "testevents.h"

#include <gtest/gtest.h>

#include <limits>

namespace loopwren {
namespace {

using enum EventType;
using test::Event;
using test::kIdText;

TEST(MacroFileWrite, WritesPrettyPrintedMembersInTableOrder)
{
    EXPECT_EQ(writeMacro({}).text, "[]");

    const Uuid id = test::testId();
    const MacroWriteResult result = writeMacro({Event(wait, 1.5, id), Event(mouseDown, 0.25, id)
                                                                          .at(100, -20.5)
                                                                          .button(MouseButtonType::other)
                                                                          .clicks(2)
                                                                          .key(36)
                                                                          .flags(1048576)
                                                                          .scroll(-1, 3)});
    ASSERT_TRUE(result.ok()) << result.error;
    const std::string idLine = std::string("    \"id\": \"") + kIdText + "\",\n";
    // clang-format off
    EXPECT_EQ(result.text, "[\n  {\n" + idLine +
                           "    \"type\": \"wait\",\n"
                           "    \"delaySincePrevious\": 1.5\n"
                           "  },\n  {\n" + idLine +
                           "    \"type\": \"mouseDown\",\n"
                           "    \"delaySincePrevious\": 0.25,\n"
                           "    \"location\": [100, -20.5],\n"
                           "    \"mouseButton\": \"other\",\n"
                           "    \"clickCount\": 2,\n"
                           "    \"keyCode\": 36,\n"
                           "    \"flags\": 1048576,\n"
                           "    \"scrollDeltaX\": -1,\n"
                           "    \"scrollDeltaY\": 3\n"
                           "  }\n]");
    // clang-format on
}

TEST(MacroFileWrite, NonFiniteNumbersFailTheWholeWrite)
{
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double inf = std::numeric_limits<double>::infinity();
    const std::pair<MacroEvent, const char*> cases[] = {
        {Event(mouseMoved, nan), R"(event 4: "delaySincePrevious" is not a finite number)"},
        {Event(mouseMoved, -inf), R"(event 4: "delaySincePrevious" is not a finite number)"},
        {Event(mouseMoved).at(0, inf), R"(event 4: "location" is not a finite point)"},
    };
    for (const auto& [bad, error] : cases) {
        Timeline events(5, Event(mouseMoved, 0.1).at(1, 2));
        events[3] = bad;
        const MacroWriteResult result = writeMacro(events);
        EXPECT_EQ(result.error, error);
        EXPECT_TRUE(result.text.empty());
    }
}

// Every combination of present and absent optional fields, with values across each range, and the
// doubles that shortest formatting is most likely to get wrong, keep their bits.
TEST(MacroFileRoundTrip, EventsKeepEveryFieldItsPresenceAndItsBits)
{
    Timeline events = test::randomTimeline(8 * 128, 20240601);
    for (const double value :
         {0.0, -0.0, 100.0, -1.0, 0.1, 1.0 / 3.0, 1e300, -1e-300, 5e-324, 2.2250738585072014e-308,
          std::numeric_limits<double>::max(), 9007199254740993.0, 1e22, 123456789012345680000.0})
        events.push_back(Event(mouseMoved, value).at(value, -value));
    const MacroWriteResult written = writeMacro(events);
    ASSERT_TRUE(written.ok()) << written.error;
    EXPECT_EQ(written.text.find("null"), std::string::npos);
    const MacroReadResult read = readMacro(written.text);
    EXPECT_EQ(read.error, "");
    EXPECT_EQ(test::firstDifference(events, read.events), "");
    EXPECT_EQ(writeMacro(read.events).text, written.text);
}

} // namespace
} // namespace loopwren
