#include "macroeventreader.h"

#include "jsonsupport.h"

namespace loopwren {
namespace {

namespace od = simdjson::ondemand;

// Values quoted in error texts are cut to this many bytes so a hostile value cannot flood the message.
constexpr std::size_t kShownLimit = 40;

std::string shown(std::string_view token)
{
    if (token.size() <= kShownLimit)
        return std::string(token);
    std::size_t cut = kShownLimit;
    while (cut > 0 && (static_cast<unsigned char>(token[cut]) & 0xC0) == 0x80)
        --cut; // never split a UTF-8 sequence
    return std::string(token.substr(0, cut)) + "...";
}

std::string quoted(std::string_view name) { return "\"" + std::string(name) + "\""; }

} // namespace

bool MacroEventReader::read(od::value element)
{
    od::json_type type;
    if (const auto error = element.type().get(type))
        return failJson(error);
    if (type != od::json_type::object) {
        m_error = "event " + std::to_string(m_number) + " is not a JSON object";
        return false;
    }
    od::object object;
    if (const auto error = element.get_object().get(object))
        return failJson(error);
    for (auto result : object) {
        od::field field;
        std::string_view key;
        if (const auto error = std::move(result).get(field))
            return failJson(error);
        if (const auto error = json::keyOf(field).get(key))
            return failJson(error);
        if (!readMember(key, field.value()))
            return false;
    }
    if (!(m_seen & hasId))
        return fail("missing \"id\"");
    if (!(m_seen & hasType))
        return fail("missing \"type\"");
    if (!(m_seen & hasDelay))
        return fail("missing \"delaySincePrevious\"");
    return true;
}

bool MacroEventReader::readMember(std::string_view key, od::value& value)
{
    // Ordered by how often a recording holds each member.
    if (key == "id")
        return readId(value);
    if (key == "type")
        return readType(value);
    if (key == "delaySincePrevious") {
        if (!readDouble(key, value, m_event.delaySincePrevious))
            return false;
        m_seen |= hasDelay;
        return true;
    }
    if (key == "location")
        return readLocation(value);
    if (key == "flags")
        return readInteger(key, value, m_event.flags);
    if (key == "mouseButton")
        return readMouseButton(value);
    if (key == "clickCount")
        return readInteger(key, value, m_event.clickCount);
    if (key == "keyCode")
        return readInteger(key, value, m_event.keyCode);
    if (key == "scrollDeltaX")
        return readInteger(key, value, m_event.scrollDeltaX);
    if (key == "scrollDeltaY")
        return readInteger(key, value, m_event.scrollDeltaY);
    // Unknown members are ignored, but must still be well-formed JSON.
    if (const auto error = json::validateValue(value, json::maxMemberDepth)) {
        // The name is the file's, not ours, so it is cut like any value we quote.
        if (error == simdjson::DEPTH_ERROR)
            return fail("\"" + shown(key) + "\" is nested too deeply");
        return failJson(error);
    }
    return true;
}

// Checks the kind of a member's value. A nullable member holding null sets isNull and reads as absent.
bool MacroEventReader::readKind(std::string_view name, od::value& value, od::json_type expected,
                                bool nullable, bool& isNull)
{
    isNull = false;
    od::json_type type;
    if (const auto error = value.type().get(type))
        return failJson(error);
    if (type == expected)
        return true;
    if (type == od::json_type::null && nullable) {
        if (const auto error = value.is_null().error())
            return failJson(error);
        isNull = true;
        return true;
    }
    return fail(quoted(name) + " must be " + std::string(json::kindName(expected)) + ", not " +
                std::string(json::kindName(type)));
}

bool MacroEventReader::readId(od::value& value)
{
    bool isNull = false;
    if (!readKind("id", value, od::json_type::string, false, isNull))
        return false;
    const std::string_view token = json::trimToken(value.raw_json_token());
    std::string_view text;
    if (const auto error = json::stringOf(value).get(text))
        return failJson(error);
    const auto id = Uuid::parse(text);
    if (!id)
        return fail("\"id\" " + shown(token) + " is not a UUID");
    m_event.id = *id;
    m_seen |= hasId;
    return true;
}

bool MacroEventReader::readType(od::value& value)
{
    bool isNull = false;
    if (!readKind("type", value, od::json_type::string, false, isNull))
        return false;
    const std::string_view token = json::trimToken(value.raw_json_token());
    std::string_view text;
    if (const auto error = json::stringOf(value).get(text))
        return failJson(error);
    const auto type = eventTypeFromRaw(text);
    if (!type)
        return fail("\"type\" " + shown(token) + " is not an event type");
    m_event.type = *type;
    m_seen |= hasType;
    return true;
}

bool MacroEventReader::readMouseButton(od::value& value)
{
    bool isNull = false;
    if (!readKind("mouseButton", value, od::json_type::string, true, isNull))
        return false;
    if (isNull) {
        m_event.mouseButton.reset();
        return true;
    }
    const std::string_view token = json::trimToken(value.raw_json_token());
    std::string_view text;
    if (const auto error = json::stringOf(value).get(text))
        return failJson(error);
    const auto button = mouseButtonFromRaw(text);
    if (!button)
        return fail("\"mouseButton\" " + shown(token) + " is not a mouse button");
    m_event.mouseButton = *button;
    return true;
}

bool MacroEventReader::readLocation(od::value& value)
{
    bool isNull = false;
    if (!readKind("location", value, od::json_type::array, true, isNull))
        return false;
    if (isNull) {
        m_event.location.reset();
        return true;
    }
    od::array array;
    if (const auto error = value.get_array().get(array))
        return failJson(error);
    double coordinates[2] = {};
    std::size_t count = 0;
    for (auto result : array) {
        od::value element;
        if (const auto error = result.get(element))
            return failJson(error);
        if (count < 2) {
            od::json_type type;
            if (const auto error = element.type().get(type))
                return failJson(error);
            if (type != od::json_type::number)
                return fail("\"location\" must hold two numbers, x and y");
            if (!readDouble("location", element, coordinates[count]))
                return false;
            ++count;
        } else if (const auto error = json::validateValue(element, json::maxMemberDepth - 1)) {
            // Elements after x and y carry nothing we know of; like unknown members they are skipped.
            if (error == simdjson::DEPTH_ERROR)
                return fail("\"location\" is nested too deeply");
            return failJson(error);
        }
    }
    if (count < 2)
        return fail("\"location\" must hold two numbers, x and y");
    m_event.location = Point{coordinates[0], coordinates[1]};
    return true;
}

bool MacroEventReader::readDouble(std::string_view name, od::value& value, double& out)
{
    bool isNull = false;
    if (!readKind(name, value, od::json_type::number, false, isNull))
        return false;
    if (value.get_double().get(out) == simdjson::SUCCESS)
        return true;
    // A value that fails to parse is not consumed, so its text is still there for the message. simdjson
    // rejects a well-formed number only when its magnitude is beyond any double.
    const std::string_view token = json::trimToken(value.raw_json_token());
    if (json::isJsonNumber(token))
        return fail(quoted(name) + " " + shown(token) + " is not a finite number");
    return fail(quoted(name) + " " + shown(token) + " is not a valid number");
}

template <typename T>
bool MacroEventReader::readInteger(std::string_view name, od::value& value, std::optional<T>& out)
{
    bool isNull = false;
    if (!readKind(name, value, od::json_type::number, true, isNull))
        return false;
    if (isNull) {
        out.reset();
        return true;
    }
    // The value is read from its text and left for the object iterator to step over.
    const std::string_view token = json::trimToken(value.raw_json_token());
    T number{};
    switch (json::parseInteger(token, number)) {
    case json::IntegerStatus::ok:
        out = number;
        return true;
    case json::IntegerStatus::fraction:
        return fail(quoted(name) + " " + shown(token) + " is not an integer");
    case json::IntegerStatus::outOfRange:
        return fail(quoted(name) + " " + shown(token) + " is out of range");
    case json::IntegerStatus::invalid:
        break;
    }
    return fail(quoted(name) + " " + shown(token) + " is not a valid number");
}

} // namespace loopwren
