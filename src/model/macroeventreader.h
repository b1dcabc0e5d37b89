#pragma once

#include "macroevent.h"

#include <simdjson.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace loopwren {

// Reads one element of a macro document into an event. Events are numbered from 1 in error texts, as the
// timeline numbers its rows.
class MacroEventReader
{
public:
    MacroEventReader(std::size_t number, MacroEvent& event) : m_number(number), m_event(event) {}

    bool read(simdjson::ondemand::value element);
    const std::string& error() const { return m_error; }

private:
    enum Required : unsigned
    {
        hasId = 1,
        hasType = 2,
        hasDelay = 4
    };

    bool readMember(std::string_view key, simdjson::ondemand::value& value);
    bool readId(simdjson::ondemand::value& value);
    bool readType(simdjson::ondemand::value& value);
    bool readMouseButton(simdjson::ondemand::value& value);
    bool readLocation(simdjson::ondemand::value& value);
    bool readDouble(std::string_view name, simdjson::ondemand::value& value, double& out);
    template <typename T>
    bool readInteger(std::string_view name, simdjson::ondemand::value& value, std::optional<T>& out);
    bool readKind(std::string_view name, simdjson::ondemand::value& value,
                  simdjson::ondemand::json_type expected, bool nullable, bool& isNull);

    bool fail(const std::string& detail)
    {
        m_error = "event " + std::to_string(m_number) + ": " + detail;
        return false;
    }
    bool failJson(simdjson::error_code error)
    {
        return fail(std::string("invalid JSON: ") + simdjson::error_message(error));
    }

    std::size_t m_number;
    MacroEvent& m_event;
    unsigned m_seen = 0;
    std::string m_error;
};

} // namespace loopwren
