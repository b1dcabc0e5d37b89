#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace loopwren {

// A 128-bit identifier. Text form: 8-4-4-4-12 hex digits, written upper-case, read in either case.
class Uuid
{
public:
    Uuid() = default;
    explicit Uuid(const std::array<std::uint8_t, 16>& bytes) : m_bytes(bytes) {}

    // A fresh version-4 identifier from the system's random source.
    static Uuid random();
    static std::optional<Uuid> parse(std::string_view text);

    std::string toString() const;
    // Writes the 36 characters to out, which must have room for them.
    void writeTo(char* out) const;
    const std::array<std::uint8_t, 16>& bytes() const { return m_bytes; }

    auto operator<=>(const Uuid&) const = default;

private:
    std::array<std::uint8_t, 16> m_bytes{};
};

} // namespace loopwren
