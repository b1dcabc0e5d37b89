// Stored hotkeys come back from a settings file a user may have edited. Whatever the text, decoding must
// not crash; a hotkey it accepts must survive being stored and read again, and so must every hotkey the
// bytes spell out directly (key code, then modifiers), since the settings store both ways.

#include "fuzzcheck.h"
#include "hotkey.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace loopwren {
namespace {

std::string describe(const Hotkey& hotkey)
{
    return "key " + std::to_string(hotkey.keyCode) + " modifiers " + std::to_string(hotkey.modifiers);
}

void checkStoredAndReadBack(const Hotkey& hotkey)
{
    const std::string stored = encodeHotkey(hotkey);
    const std::optional<Hotkey> back = decodeHotkey(stored);
    FUZZ_CHECK(back.has_value(), describe(hotkey) + " stored as " + stored + " does not decode");
    FUZZ_CHECK(*back == hotkey, describe(hotkey) + " stored as " + stored + " decodes to " + describe(*back));
    FUZZ_CHECK(encodeHotkey(*back) == stored, "the stored form of " + describe(hotkey) + " is not stable");
}

} // namespace
} // namespace loopwren

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace loopwren;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const std::optional<Hotkey> decoded = decodeHotkey(text))
        checkStoredAndReadBack(*decoded);

    Hotkey spelled;
    if (size >= sizeof spelled.keyCode + sizeof spelled.modifiers) {
        std::memcpy(&spelled.keyCode, data, sizeof spelled.keyCode);
        std::memcpy(&spelled.modifiers, data + sizeof spelled.keyCode, sizeof spelled.modifiers);
        checkStoredAndReadBack(spelled);
    }
    return 0;
}
