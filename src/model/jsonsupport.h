#pragma once

// Helpers shared by the model's JSON readers (macro files and stored hotkeys). Internal to the model library.

#include <simdjson.h>

#include <concepts>
#include <cstdint>
#include <limits>
#include <string_view>
#include <type_traits>

namespace loopwren::json {

enum class IntegerStatus : std::uint8_t
{
    ok,
    fraction,
    outOfRange,
    invalid
};

struct ExactInteger
{
    bool negative = false;
    std::uint64_t magnitude = 0;
};

// Reads the text of a JSON number as an exact integer. The text is used rather than a double so that
// 1e2 and 5.0 count as integers while nothing is rounded on the way: 18446744073709551615.0 is exactly
// 2^64 - 1, and 9223372036854775808 is 2^63, never the nearest double.
IntegerStatus parseExactInteger(std::string_view token, ExactInteger& out);

// True when token is a number by the JSON grammar (no leading zeros, no bare '.', no "inf").
bool isJsonNumber(std::string_view token);

template <std::integral T>
IntegerStatus parseInteger(std::string_view token, T& out)
{
    ExactInteger value;
    const IntegerStatus status = parseExactInteger(token, value);
    if (status != IntegerStatus::ok)
        return status;
    constexpr auto max = static_cast<std::uint64_t>(std::numeric_limits<T>::max());
    if (!value.negative || value.magnitude == 0) {
        if (value.magnitude > max)
            return IntegerStatus::outOfRange;
        out = static_cast<T>(value.magnitude);
        return IntegerStatus::ok;
    }
    if constexpr (std::is_unsigned_v<T>) {
        return IntegerStatus::outOfRange;
    } else {
        // The most negative value has one more unit of magnitude than the most positive.
        if (value.magnitude > max + 1)
            return IntegerStatus::outOfRange;
        out = static_cast<T>(-static_cast<T>(value.magnitude - 1) - 1);
        return IntegerStatus::ok;
    }
}

// A raw token as simdjson hands it out runs up to the next structural character, trailing blanks included.
std::string_view trimToken(std::string_view token);

// A member's key without copying it into the parser's string buffer, which would otherwise grow by every
// key of a large document; only keys with escapes are unescaped.
simdjson::simdjson_result<std::string_view> keyOf(simdjson::ondemand::field& field);

// A string value, likewise unescaped only when it holds an escape.
simdjson::simdjson_result<std::string_view> stringOf(simdjson::ondemand::value& value);

// Reads a value to its end. On-Demand skips what is not read without checking it, so members that are
// ignored would otherwise let malformed JSON through; it also does not limit nesting, so the walk does.
// Returns DEPTH_ERROR when the value nests more than depthLeft containers.
simdjson::error_code validateValue(simdjson::ondemand::value value, int depthLeft);

inline constexpr int maxMemberDepth = 256;

// Human word for a JSON kind, for error texts.
std::string_view kindName(simdjson::ondemand::json_type type);

} // namespace loopwren::json
