#include "macrofile.h"

#include "hugepages.h"
#include "macroeventreader.h"
#include "paddedfile.h"

#include <cstring>
#include <optional>
#include <vector>

// On-Demand rather than the DOM: a DOM tape costs several times the size of the document, while On-Demand
// keeps little beyond the text and its structural index. On-Demand neither validates what it skips nor
// limits nesting; MacroEventReader and jsonsupport cover both.
//
// Even that index is 4 bytes per token, about 100 bytes per recorded event, all of it fresh memory that is
// written once. A large document is therefore read in slices of whole events, each parsed with one small
// index that stays in cache. Anything the slicing does not recognise falls back to reading the document
// whole, which is also what reports errors, so both ways give the same results.

namespace loopwren {
namespace {

namespace od = simdjson::ondemand;
using simdjson::error_code;

// Below this a document is read whole; slicing would not save enough to matter.
constexpr std::size_t kSlicingThreshold = std::size_t{8} << 20;
// About this much text per slice: its index fits in the cache, and the slices are still few.
constexpr std::size_t kSliceBytes = std::size_t{1} << 20;

MacroReadResult failure(std::string error)
{
    MacroReadResult result;
    result.error = std::move(error);
    return result;
}

MacroReadResult jsonFailure(error_code error)
{
    return failure(std::string("invalid JSON: ") + simdjson::error_message(error));
}

void reserveTimeline(Timeline& events, std::size_t count)
{
    events.reserve(count);
    adviseHugePages(events.data(), events.capacity() * sizeof(MacroEvent));
}

error_code openArray(od::parser& parser, simdjson::padded_string_view json, od::document& document,
                     od::array& array)
{
    if (const auto error = parser.iterate(json).get(document))
        return error;
    return document.get_array().get(array);
}

MacroReadResult readWhole(simdjson::padded_string_view json)
{
    od::parser parser;
    od::document document;
    od::array array;
    if (const auto error = parser.iterate(json).get(document))
        return jsonFailure(error);
    od::json_type type;
    if (const auto error = document.type().get(type))
        return jsonFailure(error);
    if (type != od::json_type::array)
        return failure("the document is not a JSON array");
    if (const auto error = document.get_array().get(array))
        return jsonFailure(error);

    MacroReadResult result;
    // Counting first sizes the timeline exactly, so a large macro is not copied while it grows. A count that
    // fails leaves the iterator unusable; starting over lets the loop below name the event at fault.
    std::size_t count = 0;
    if (array.count_elements().get(count) != simdjson::SUCCESS) {
        count = 0;
        if (const auto error = openArray(parser, json, document, array))
            return jsonFailure(error);
    }
    reserveTimeline(result.events, count);

    std::size_t number = 0;
    for (auto element : array) {
        ++number;
        od::value value;
        if (const auto error = element.get(value))
            return failure("event " + std::to_string(number) +
                           ": invalid JSON: " + simdjson::error_message(error));
        MacroEventReader reader(number, result.events.emplace_back());
        if (!reader.read(value))
            return failure(reader.error());
    }
    if (document.current_location().error() != simdjson::OUT_OF_BOUNDS)
        return failure("invalid JSON: unexpected content after the array");
    return result;
}

bool isBlank(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; }

std::size_t skipBlanks(std::string_view text, std::size_t i)
{
    while (i < text.size() && isBlank(text[i]))
        ++i;
    return i;
}

// Reads a large document slice by slice, or returns nothing to have it read whole.
class SlicedReader
{
public:
    explicit SlicedReader(std::string_view text) : m_text(text) {}

    std::optional<MacroReadResult> read();

private:
    struct Slice
    {
        std::size_t begin; // the '{' of its first event
        std::size_t end;   // just past the '}' of its last event
        std::size_t count;
    };

    bool plan();
    std::size_t findCut(std::size_t from, std::size_t limit, std::size_t& next) const;
    error_code open(const Slice& slice, od::document& document, od::array& array);

    std::string_view m_text;
    std::vector<Slice> m_slices;
    std::vector<char> m_buffer;
    od::parser m_parser;
};

std::optional<MacroReadResult> SlicedReader::read()
{
    if (!plan())
        return std::nullopt;
    std::size_t total = 0;
    for (const Slice& slice : m_slices)
        total += slice.count;

    MacroReadResult result;
    reserveTimeline(result.events, total);
    for (const Slice& slice : m_slices) {
        od::document document;
        od::array array;
        if (open(slice, document, array) != simdjson::SUCCESS)
            return std::nullopt;
        for (auto element : array) {
            od::value value;
            if (element.get(value) != simdjson::SUCCESS)
                return std::nullopt;
            MacroEventReader reader(result.events.size() + 1, result.events.emplace_back());
            if (!reader.read(value))
                return std::nullopt;
        }
        if (document.current_location().error() != simdjson::OUT_OF_BOUNDS)
            return std::nullopt;
    }
    if (result.events.size() != total)
        return std::nullopt;
    return result;
}

// Splits the array into slices of whole events and counts them, so the timeline can be sized before
// reading. Cuts are only guesses made from the text around them: a guess inside a string or a nested
// value leaves a slice that is not a complete array, which fails to parse here or while reading.
bool SlicedReader::plan()
{
    const std::size_t first = skipBlanks(m_text, 0);
    std::size_t last = m_text.size();
    while (last > first && isBlank(m_text[last - 1]))
        --last;
    if (first >= last || m_text[first] != '[' || m_text[last - 1] != ']')
        return false;
    const std::size_t close = last - 1;
    std::size_t begin = skipBlanks(m_text, first + 1);
    if (begin >= close || m_text[begin] != '{')
        return false;

    for (;;) {
        std::size_t next = 0;
        const std::size_t cut = findCut(begin + kSliceBytes, close, next);
        Slice slice{begin, cut == 0 ? close : cut, 0};
        od::document document;
        od::array array;
        if (open(slice, document, array) != simdjson::SUCCESS ||
            array.count_elements().get(slice.count) != simdjson::SUCCESS)
            return false;
        m_slices.push_back(slice);
        if (cut == 0)
            return true;
        begin = next;
    }
}

// The first place from `from` on where one event seems to end and the next to begin: "}", a comma and "{",
// with blanks between. Returns the position just past the "}" and sets next to the "{"; 0 if none.
std::size_t SlicedReader::findCut(std::size_t from, std::size_t limit, std::size_t& next) const
{
    while (from < limit) {
        const void* found = std::memchr(m_text.data() + from, '}', limit - from);
        if (found == nullptr)
            return 0;
        const std::size_t cut = static_cast<std::size_t>(static_cast<const char*>(found) - m_text.data()) + 1;
        const std::size_t comma = skipBlanks(m_text, cut);
        if (comma < limit && m_text[comma] == ',') {
            next = skipBlanks(m_text, comma + 1);
            if (next < limit && m_text[next] == '{')
                return cut;
        }
        from = cut;
    }
    return 0;
}

// Parses one slice as an array of its own, copied between brackets into a padded buffer that is reused.
error_code SlicedReader::open(const Slice& slice, od::document& document, od::array& array)
{
    const std::size_t length = slice.end - slice.begin + 2;
    if (m_buffer.size() < length + simdjson::SIMDJSON_PADDING)
        m_buffer.resize(length + simdjson::SIMDJSON_PADDING);
    m_buffer[0] = '[';
    std::memcpy(m_buffer.data() + 1, m_text.data() + slice.begin, length - 2);
    m_buffer[length - 1] = ']';
    return openArray(m_parser, simdjson::padded_string_view(m_buffer.data(), length, m_buffer.size()),
                     document, array);
}

} // namespace

MacroReadResult readMacro(std::string_view json)
{
    if (json.size() >= kSlicingThreshold) {
        if (auto result = SlicedReader(json).read())
            return std::move(*result);
    }
    // simdjson reads a little past the end of the text, so it needs a padded copy.
    const simdjson::padded_string padded(json);
    if (padded.data() == nullptr && !json.empty())
        return failure("cannot read the macro: out of memory");
    return readWhole(padded);
}

MacroReadResult readMacroFile(const std::string& path)
{
    const PaddedFile file(path);
    if (!file.ok())
        return failure(file.error());
    const simdjson::padded_string_view text = file.text();
    if (text.size() >= kSlicingThreshold) {
        if (auto result = SlicedReader(text).read())
            return std::move(*result);
    }
    return readWhole(text);
}

} // namespace loopwren
