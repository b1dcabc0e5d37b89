#include "hotkey.h"

#include "jsonsupport.h"

#include <charconv>

namespace loopwren {
namespace {

namespace od = simdjson::ondemand;

// Reads one integer member. Both members are required, so null fails like any other non-number.
template <typename T>
bool readMember(od::value& value, std::optional<T>& out)
{
    od::json_type type;
    if (value.type().get(type) != simdjson::SUCCESS || type != od::json_type::number)
        return false;
    T number{};
    if (json::parseInteger(json::trimToken(value.raw_json_token()), number) != json::IntegerStatus::ok)
        return false;
    out = number;
    return true;
}

} // namespace

std::string encodeHotkey(const Hotkey& hotkey)
{
    char keyCode[8];
    char modifiers[24];
    const auto keyCodeEnd = std::to_chars(keyCode, keyCode + sizeof keyCode, hotkey.keyCode).ptr;
    const auto modifiersEnd = std::to_chars(modifiers, modifiers + sizeof modifiers, hotkey.modifiers).ptr;
    std::string text = R"({"keyCode":)";
    text.append(keyCode, keyCodeEnd);
    text += R"(,"modifiers":)";
    text.append(modifiers, modifiersEnd);
    text += '}';
    return text;
}

std::optional<Hotkey> decodeHotkey(std::string_view json)
{
    const simdjson::padded_string padded(json);
    od::parser parser;
    od::document document;
    od::object object;
    if (parser.iterate(padded).get(document) != simdjson::SUCCESS ||
        document.get_object().get(object) != simdjson::SUCCESS)
        return std::nullopt;

    std::optional<std::uint16_t> keyCode;
    std::optional<std::uint64_t> modifiers;
    for (auto result : object) {
        od::field field;
        std::string_view key;
        if (std::move(result).get(field) != simdjson::SUCCESS ||
            json::keyOf(field).get(key) != simdjson::SUCCESS)
            return std::nullopt;
        od::value& value = field.value();
        if (key == "keyCode") {
            if (!readMember(value, keyCode))
                return std::nullopt;
        } else if (key == "modifiers") {
            if (!readMember(value, modifiers))
                return std::nullopt;
        } else if (json::validateValue(value, json::maxMemberDepth) != simdjson::SUCCESS) {
            return std::nullopt;
        }
    }
    // Anything after the closing brace makes the text something other than one hotkey object.
    if (document.current_location().error() != simdjson::OUT_OF_BOUNDS)
        return std::nullopt;
    if (!keyCode || !modifiers)
        return std::nullopt;
    return Hotkey{*keyCode, *modifiers};
}

} // namespace loopwren
