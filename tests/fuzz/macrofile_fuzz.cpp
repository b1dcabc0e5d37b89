// Macro files from anywhere: whatever the bytes, reading must not crash, must reject the whole document
// or nothing, and must say what is wrong in a short, valid UTF-8 text (it is shown in a dialog). A
// document that reads must write, and the written text must read back to the same events, bit for bit.

#include "fuzzcheck.h"
#include "macrofile.h"
#include "testevents.h"

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

namespace loopwren {
namespace {

// Longer than any message the reader composes; values it quotes are cut to a few dozen bytes.
constexpr std::size_t kLongestError = 400;

void checkRoundTrip(const Timeline& events)
{
    const MacroWriteResult written = writeMacro(events);
    FUZZ_CHECK(written.ok(), "a document that reads must write: " + written.error);
    const MacroReadResult again = readMacro(written.text);
    FUZZ_CHECK(again.ok(), again.error + "\nwritten:\n" + written.text);
    const std::string difference = test::firstDifference(events, again.events);
    FUZZ_CHECK(difference.empty(), "read back differently: " + difference + "\nwritten:\n" + written.text);
    const MacroWriteResult rewritten = writeMacro(again.events);
    FUZZ_CHECK(rewritten.ok() && rewritten.text == written.text, "the written form is not stable");
}

} // namespace
} // namespace loopwren

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace loopwren;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const MacroReadResult read = readMacro(text);
    if (!read.ok()) {
        FUZZ_CHECK(read.events.empty(), "a rejected document still handed out events");
        FUZZ_CHECK(read.error.size() <= kLongestError, "error text of " + std::to_string(read.error.size()) +
                                                           " bytes: " + read.error.substr(0, 200) + "...");
        // Qt's decoder replaces every invalid or overlong sequence and every surrogate: only valid UTF-8
        // comes back unchanged.
        FUZZ_CHECK(QString::fromStdString(read.error).toStdString() == read.error,
                   "error text is not valid UTF-8: " + read.error);
        return 0;
    }
    checkRoundTrip(read.events);
    return 0;
}
