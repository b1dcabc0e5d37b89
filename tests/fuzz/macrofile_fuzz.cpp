// Macro files from anywhere: whatever the bytes, reading must not crash, must reject the whole document
// or nothing, and must say what is wrong in a short, valid UTF-8 text (it is shown in a dialog). A
// document that reads must write, and the written text must read back to the same events, bit for bit.

#include "fuzzcheck.h"
#include "macrofile.h"

#include <bit>
#include <cstdint>
#include <string>
#include <string_view>

namespace loopwren {
namespace {

// Longer than any message the reader composes; values it quotes are cut to a few dozen bytes.
constexpr std::size_t kLongestError = 400;

bool isValidUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        char32_t code = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            code = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            code = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            code = lead & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

std::string bitsOf(double value) { return std::to_string(std::bit_cast<std::uint64_t>(value)); }

template <typename T>
std::string optional(const std::optional<T>& value)
{
    return value ? std::to_string(*value) : std::string("-");
}

// Every field, doubles by their bits so that -0.0 and 0.0 differ.
std::string describe(const MacroEvent& e)
{
    std::string text = e.id.toString() + " " + std::string(rawValue(e.type)) + " delay " +
                       bitsOf(e.delaySincePrevious) + " location ";
    text += e.location ? bitsOf(e.location->x) + "," + bitsOf(e.location->y) : std::string("-");
    text += " button " + (e.mouseButton ? std::string(rawValue(*e.mouseButton)) : std::string("-"));
    text += " clicks " + optional(e.clickCount) + " key " + optional(e.keyCode) + " flags " +
            optional(e.flags) + " scroll " + optional(e.scrollDeltaX) + "," + optional(e.scrollDeltaY);
    return text;
}

void checkRoundTrip(const Timeline& events)
{
    const MacroWriteResult written = writeMacro(events);
    FUZZ_CHECK(written.ok(), "a document that reads must write: " + written.error);
    const MacroReadResult again = readMacro(written.text);
    FUZZ_CHECK(again.ok(), again.error + "\nwritten:\n" + written.text);
    FUZZ_CHECK(again.events.size() == events.size(), "event count changed\nwritten:\n" + written.text);
    for (std::size_t i = 0; i < events.size(); ++i) {
        const std::string before = describe(events[i]);
        const std::string after = describe(again.events[i]);
        FUZZ_CHECK(before == after, "event " + std::to_string(i + 1) + " changed\n  read:    " + before +
                                        "\n  re-read: " + after);
    }
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
        FUZZ_CHECK(isValidUtf8(read.error), "error text is not valid UTF-8: " + read.error);
        return 0;
    }
    checkRoundTrip(read.events);
    return 0;
}
