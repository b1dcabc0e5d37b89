// Large documents are read in slices, and large files are mapped rather than copied; these must give
// exactly what reading a small document gives, including for text that only looks like an event boundary.

#include "macrofile.h"
#include "testevents.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace loopwren {
namespace {

// Comfortably above the size from which documents are sliced and files mapped.
constexpr std::size_t kLargeCount = 64 * 1024;

const Timeline& largeTimeline()
{
    static const Timeline events = test::randomTimeline(kLargeCount, 7);
    return events;
}

const std::string& largeText()
{
    static const std::string text = writeMacro(largeTimeline()).text;
    return text;
}

std::string replaceAll(std::string_view text, std::string_view from, std::string_view to)
{
    std::string result;
    result.reserve(text.size());
    std::size_t done = 0;
    for (std::size_t at = text.find(from); at != std::string_view::npos; at = text.find(from, done)) {
        result.append(text.substr(done, at - done)).append(to);
        done = at + from.size();
    }
    return result.append(text.substr(done));
}

// Files are mapped; texts ending exactly on a page boundary get their padding from the pages behind them.
TEST(LargeMacroFile, ReadsFilesTheSameWay)
{
    const auto path =
        std::filesystem::temp_directory_path() / ("loopwren-large-" + std::to_string(::getpid()));
    const std::string& text = largeText();
    const std::string third =
        writeMacro(Timeline(largeTimeline().begin(), largeTimeline().begin() + kLargeCount / 3)).text;
    const std::string pageSized = third + std::string(4096 - third.size() % 4096, ' ');
    ASSERT_TRUE(pageSized.size() > (4u << 20) && pageSized.size() < (8u << 20)); // mapped, read whole
    const std::string cases[] = {text, pageSized, pageSized.substr(0, pageSized.size() - 4096) + "x"};
    for (const std::string& content : cases) {
        std::ofstream(path, std::ios::binary) << content;
        const MacroReadResult fromFile = readMacroFile(path.string());
        const MacroReadResult fromMemory = readMacro(content);
        EXPECT_EQ(fromFile.error, fromMemory.error);
        EXPECT_EQ(test::firstDifference(fromMemory.events, fromFile.events), "");
    }
    std::filesystem::remove(path);
}

// What was written reads back, also with text shaped like the gap between two events where it is not one.
TEST(LargeMacroFile, ReadsBackWhatWasWrittenWhateverLooksLikeABoundary)
{
    ASSERT_GT(largeText().size(), 12u << 20);
    const std::string variants[] = {
        largeText(),
        replaceAll(largeText(), "\"type\"", R"("note": "}, {", "type")"),
        replaceAll(largeText(), "\"type\"", R"("note": [{"a": 1}, {"b": "\"}, {"}], "type")"),
        replaceAll(replaceAll(largeText(), " ", ""), "\n", ""),
        replaceAll(largeText(), "\n", "\r\n\t"),
    };
    for (const std::string& text : variants) {
        const MacroReadResult read = readMacro(text);
        EXPECT_EQ(read.error, "");
        EXPECT_EQ(test::firstDifference(largeTimeline(), read.events), "");
    }
}

TEST(LargeMacroFile, ErrorsNameTheSameEventAsInASmallDocument)
{
    Timeline events(kLargeCount);
    for (MacroEvent& event : events)
        event.id = test::testId();
    events[45000].keyCode = 65535;
    const std::string text = writeMacro(events).text;

    EXPECT_EQ(readMacro(replaceAll(text, "65535", "70000")).error,
              R"(event 45001: "keyCode" 70000 is out of range)");
    EXPECT_EQ(readMacro(replaceAll(text, "\"keyCode\": 65535", "\"keyCode\": 65535,")).error.substr(0, 25),
              "event 45001: invalid JSON");
    EXPECT_EQ(readMacro(text + "]").error, "invalid JSON: unexpected content after the array");
    EXPECT_EQ(readMacro(text.substr(0, text.size() - 1)).error.substr(0, 13), "invalid JSON:");
    EXPECT_EQ(readMacro(text.substr(0, text.size() - 2) + ",5]").error, "event 65537 is not a JSON object");
}

} // namespace
} // namespace loopwren
