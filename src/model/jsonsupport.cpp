#include "jsonsupport.h"

#include <cstddef>

namespace loopwren::json {
namespace {

namespace od = simdjson::ondemand;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

struct NumberParts
{
    bool negative = false;
    std::string_view integerDigits;
    std::string_view fractionDigits;
    // Saturated far beyond any exponent that can matter, so absurd exponents cannot overflow.
    std::int64_t exponent = 0;
};

bool splitNumber(std::string_view token, NumberParts& parts)
{
    std::size_t i = 0;
    const std::size_t n = token.size();
    if (i < n && token[i] == '-') {
        parts.negative = true;
        ++i;
    }
    const std::size_t integerStart = i;
    while (i < n && isDigit(token[i]))
        ++i;
    parts.integerDigits = token.substr(integerStart, i - integerStart);
    if (parts.integerDigits.empty() || (parts.integerDigits.size() > 1 && parts.integerDigits[0] == '0'))
        return false;
    if (i < n && token[i] == '.') {
        const std::size_t fractionStart = ++i;
        while (i < n && isDigit(token[i]))
            ++i;
        parts.fractionDigits = token.substr(fractionStart, i - fractionStart);
        if (parts.fractionDigits.empty())
            return false;
    }
    if (i < n && (token[i] == 'e' || token[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < n && (token[i] == '+' || token[i] == '-')) {
            negativeExponent = token[i] == '-';
            ++i;
        }
        const std::size_t exponentStart = i;
        constexpr std::int64_t saturation = 1'000'000'000'000;
        while (i < n && isDigit(token[i])) {
            if (parts.exponent < saturation)
                parts.exponent = parts.exponent * 10 + (token[i] - '0');
            ++i;
        }
        if (i == exponentStart)
            return false;
        if (negativeExponent)
            parts.exponent = -parts.exponent;
    }
    return i == n;
}

} // namespace

bool isJsonNumber(std::string_view token)
{
    NumberParts parts;
    return splitNumber(token, parts);
}

IntegerStatus parseExactInteger(std::string_view token, ExactInteger& out)
{
    NumberParts parts;
    if (!splitNumber(token, parts))
        return IntegerStatus::invalid;

    // Treat integer and fraction digits as one digit string D; the value is D * 10^scale.
    const std::size_t integerLength = parts.integerDigits.size();
    const std::size_t length = integerLength + parts.fractionDigits.size();
    auto digitAt = [&](std::size_t k) {
        return k < integerLength ? parts.integerDigits[k] : parts.fractionDigits[k - integerLength];
    };
    std::size_t first = 0;
    while (first < length && digitAt(first) == '0')
        ++first;
    if (first == length) {
        out = ExactInteger{parts.negative, 0};
        return IntegerStatus::ok;
    }
    std::size_t last = length - 1;
    while (digitAt(last) == '0')
        --last;

    // With trailing zeros moved into the scale, a negative scale means a non-zero fraction remains.
    const std::int64_t scale = parts.exponent - static_cast<std::int64_t>(parts.fractionDigits.size()) +
                               static_cast<std::int64_t>(length - 1 - last);
    if (scale < 0)
        return IntegerStatus::fraction;
    // 2^64 has 20 digits; anything longer cannot fit, and checking first keeps the loop below short.
    if (static_cast<std::int64_t>(last - first + 1) + scale > 20)
        return IntegerStatus::outOfRange;

    std::uint64_t magnitude = 0;
    for (std::size_t k = first; k <= last; ++k) {
        if (__builtin_mul_overflow(magnitude, 10u, &magnitude) ||
            __builtin_add_overflow(magnitude, static_cast<unsigned>(digitAt(k) - '0'), &magnitude))
            return IntegerStatus::outOfRange;
    }
    for (std::int64_t k = 0; k < scale; ++k) {
        if (__builtin_mul_overflow(magnitude, 10u, &magnitude))
            return IntegerStatus::outOfRange;
    }
    out = ExactInteger{parts.negative, magnitude};
    return IntegerStatus::ok;
}

std::string_view trimToken(std::string_view token)
{
    while (!token.empty()) {
        const char c = token.back();
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r')
            break;
        token.remove_suffix(1);
    }
    return token;
}

simdjson::simdjson_result<std::string_view> keyOf(od::field& field)
{
    // The raw key starts after the opening quote; stage one has checked that the closing quote exists.
    const char* raw = field.key().raw();
    const char* p = raw;
    while (*p != '"' && *p != '\\')
        ++p;
    if (*p == '"')
        return std::string_view(raw, static_cast<std::size_t>(p - raw));
    return field.unescaped_key();
}

simdjson::simdjson_result<std::string_view> stringOf(od::value& value)
{
    const std::string_view token = value.raw_json_token();
    if (token.empty() || token.front() != '"')
        return simdjson::INCORRECT_TYPE;
    for (std::size_t i = 1; i < token.size(); ++i) {
        if (token[i] == '"')
            return token.substr(1, i - 1);
        if (token[i] == '\\')
            break;
    }
    return value.get_string();
}

simdjson::error_code validateValue(od::value value, int depthLeft)
{
    od::json_type type;
    if (const auto error = value.type().get(type))
        return error;
    switch (type) {
    case od::json_type::array: {
        if (depthLeft <= 0)
            return simdjson::DEPTH_ERROR;
        od::array array;
        if (const auto error = value.get_array().get(array))
            return error;
        for (auto element : array) {
            od::value child;
            if (const auto error = element.get(child))
                return error;
            if (const auto error = validateValue(child, depthLeft - 1))
                return error;
        }
        return simdjson::SUCCESS;
    }
    case od::json_type::object: {
        if (depthLeft <= 0)
            return simdjson::DEPTH_ERROR;
        od::object object;
        if (const auto error = value.get_object().get(object))
            return error;
        for (auto result : object) {
            od::field field;
            if (const auto error = std::move(result).get(field))
                return error;
            if (const auto error = keyOf(field).error())
                return error;
            if (const auto error = validateValue(field.value(), depthLeft - 1))
                return error;
        }
        return simdjson::SUCCESS;
    }
    case od::json_type::number:
        return isJsonNumber(trimToken(value.raw_json_token())) ? simdjson::SUCCESS : simdjson::NUMBER_ERROR;
    case od::json_type::string:
        return stringOf(value).error();
    case od::json_type::boolean:
        return value.get_bool().error();
    case od::json_type::null:
        return value.is_null().error();
    }
    return simdjson::INCORRECT_TYPE;
}

std::string_view kindName(od::json_type type)
{
    switch (type) {
    case od::json_type::array:
        return "an array";
    case od::json_type::object:
        return "an object";
    case od::json_type::number:
        return "a number";
    case od::json_type::string:
        return "a string";
    case od::json_type::boolean:
        return "a boolean";
    case od::json_type::null:
        return "null";
    }
    return "an unknown value";
}

} // namespace loopwren::json
