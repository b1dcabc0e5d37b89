#include "macrofile.h"

#include "hugepages.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace loopwren {
namespace {

// Longest shortest-round-trip double ("-2.2250738585072014e-308") and longest 64-bit integer, rounded up.
constexpr std::size_t kMaxNumber = 32;

// Fixed text of each member, indentation and separator included, so the writer copies whole pieces.
constexpr std::string_view kEventOpen = "  {\n    \"id\": \"";
constexpr std::string_view kType = "\",\n    \"type\": \"";
constexpr std::string_view kDelay = "\",\n    \"delaySincePrevious\": ";
constexpr std::string_view kLocation = ",\n    \"location\": [";
constexpr std::string_view kMouseButton = ",\n    \"mouseButton\": \"";
constexpr std::string_view kClickCount = ",\n    \"clickCount\": ";
constexpr std::string_view kKeyCode = ",\n    \"keyCode\": ";
constexpr std::string_view kFlags = ",\n    \"flags\": ";
constexpr std::string_view kScrollDeltaX = ",\n    \"scrollDeltaX\": ";
constexpr std::string_view kScrollDeltaY = ",\n    \"scrollDeltaY\": ";
constexpr std::string_view kEventClose = "\n  }";
constexpr std::string_view kSeparator = ",\n";

// Upper bound of one event's text; the writer formats each event into a buffer of this size.
constexpr std::size_t kMaxEventText =
    kSeparator.size() + kEventOpen.size() + 36 + kType.size() + 10 + kDelay.size() + kMaxNumber +
    kLocation.size() + 2 * kMaxNumber + 3 + kMouseButton.size() + 6 + kClickCount.size() + kMaxNumber +
    kKeyCode.size() + kMaxNumber + kFlags.size() + kMaxNumber + kScrollDeltaX.size() + kMaxNumber +
    kScrollDeltaY.size() + kMaxNumber + kEventClose.size();

char* put(char* p, std::string_view text)
{
    std::memcpy(p, text.data(), text.size());
    return p + text.size();
}

// std::to_chars without a format gives the shortest text that reads back to the same bits.
template <typename T>
char* putNumber(char* p, T value)
{
    return std::to_chars(p, p + kMaxNumber, value).ptr;
}

char* writeEvent(char* p, const MacroEvent& event)
{
    p = put(p, kEventOpen);
    event.id.writeTo(p);
    p += 36;
    p = put(p, kType);
    p = put(p, rawValue(event.type));
    p = put(p, kDelay);
    p = putNumber(p, event.delaySincePrevious);
    if (event.location) {
        p = put(p, kLocation);
        p = putNumber(p, event.location->x);
        p = put(p, ", ");
        p = putNumber(p, event.location->y);
        *p++ = ']';
    }
    if (event.mouseButton) {
        p = put(p, kMouseButton);
        p = put(p, rawValue(*event.mouseButton));
        *p++ = '"';
    }
    if (event.clickCount) {
        p = put(p, kClickCount);
        p = putNumber(p, *event.clickCount);
    }
    if (event.keyCode) {
        p = put(p, kKeyCode);
        p = putNumber(p, *event.keyCode);
    }
    if (event.flags) {
        p = put(p, kFlags);
        p = putNumber(p, *event.flags);
    }
    if (event.scrollDeltaX) {
        p = put(p, kScrollDeltaX);
        p = putNumber(p, *event.scrollDeltaX);
    }
    if (event.scrollDeltaY) {
        p = put(p, kScrollDeltaY);
        p = putNumber(p, *event.scrollDeltaY);
    }
    return put(p, kEventClose);
}

// JSON has no text for infinity or NaN, so such a value cannot be stored.
std::string nonFiniteError(const Timeline& events)
{
    for (std::size_t i = 0; i < events.size(); ++i) {
        const MacroEvent& event = events[i];
        const char* problem = nullptr;
        if (!std::isfinite(event.delaySincePrevious))
            problem = "\"delaySincePrevious\" is not a finite number";
        else if (event.location && !(std::isfinite(event.location->x) && std::isfinite(event.location->y)))
            problem = "\"location\" is not a finite point";
        if (problem)
            return "event " + std::to_string(i + 1) + ": " + problem;
    }
    return {};
}

// A size close above the real one, so the text is allocated once and not copied while it grows.
std::size_t estimatedSize(const Timeline& events)
{
    constexpr std::size_t base = kSeparator.size() + kEventOpen.size() + 36 + kType.size() + 10 +
                                 kDelay.size() + 24 + kEventClose.size();
    std::size_t size = 4;
    for (const MacroEvent& event : events) {
        size += base;
        if (event.location)
            size += kLocation.size() + 2 * 24 + 3;
        if (event.mouseButton)
            size += kMouseButton.size() + 6;
        if (event.clickCount)
            size += kClickCount.size() + 20;
        if (event.keyCode)
            size += kKeyCode.size() + 5;
        if (event.flags)
            size += kFlags.size() + 20;
        if (event.scrollDeltaX)
            size += kScrollDeltaX.size() + 11;
        if (event.scrollDeltaY)
            size += kScrollDeltaY.size() + 11;
    }
    return size;
}

} // namespace

MacroWriteResult writeMacro(const Timeline& events)
{
    MacroWriteResult result;
    if (events.empty()) {
        result.text = "[]";
        return result;
    }
    result.error = nonFiniteError(events);
    if (!result.ok())
        return result;

    std::string& text = result.text;
    text.reserve(estimatedSize(events));
    adviseHugePages(text.data(), text.capacity());
    text += "[\n";
    char buffer[kMaxEventText];
    for (std::size_t i = 0; i < events.size(); ++i) {
        char* p = buffer;
        if (i > 0)
            p = put(p, kSeparator);
        p = writeEvent(p, events[i]);
        text.append(buffer, static_cast<std::size_t>(p - buffer));
    }
    text += "\n]";
    return result;
}

} // namespace loopwren
