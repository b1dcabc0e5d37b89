#include "uuid.h"

#include <random>
#include <sys/random.h>

namespace loopwren {
namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

constexpr bool isHyphenPosition(std::size_t i) { return i == 8 || i == 13 || i == 18 || i == 23; }

} // namespace

Uuid Uuid::random()
{
    std::array<std::uint8_t, 16> bytes{};
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t n = getrandom(bytes.data() + filled, bytes.size() - filled, 0);
        if (n <= 0)
            break;
        filled += static_cast<std::size_t>(n);
    }
    if (filled < bytes.size()) {
        // getrandom only fails on ancient kernels; std::random_device is the portable fallback.
        std::random_device device;
        for (auto& b : bytes)
            b = static_cast<std::uint8_t>(device());
    }
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40);
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);
    return Uuid(bytes);
}

std::optional<Uuid> Uuid::parse(std::string_view text)
{
    if (text.size() != 36)
        return std::nullopt;
    std::array<std::uint8_t, 16> bytes{};
    std::size_t byte = 0;
    for (std::size_t i = 0; i < 36;) {
        if (isHyphenPosition(i)) {
            if (text[i] != '-')
                return std::nullopt;
            ++i;
            continue;
        }
        const int hi = hexValue(text[i]);
        const int lo = hexValue(text[i + 1]);
        if (hi < 0 || lo < 0 || isHyphenPosition(i + 1))
            return std::nullopt;
        bytes[byte++] = static_cast<std::uint8_t>(hi << 4 | lo);
        i += 2;
    }
    return Uuid(bytes);
}

void Uuid::writeTo(char* out) const
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::size_t pos = 0;
    for (std::size_t i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            out[pos++] = '-';
        out[pos++] = kDigits[m_bytes[i] >> 4];
        out[pos++] = kDigits[m_bytes[i] & 0x0F];
    }
}

std::string Uuid::toString() const
{
    std::string text(36, '\0');
    writeTo(text.data());
    return text;
}

} // namespace loopwren
