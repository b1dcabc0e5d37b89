#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace loopwren {

// The identifier a hotkey is registered under; the number tells the handler which hotkey fired.
struct HotkeyIdentifier
{
    std::uint32_t signature = 0;
    std::uint32_t number = 0;
};

// The hotkey service's modifier bits, as registrations carry them.
namespace servicemodifier {
inline constexpr std::uint32_t command = 0x100;
inline constexpr std::uint32_t shift = 0x200;
inline constexpr std::uint32_t option = 0x800;
inline constexpr std::uint32_t control = 0x1000;
} // namespace servicemodifier

// System-wide hotkeys. The handler is called on the main thread with the identifier of the pressed
// hotkey and answers 0 when it handled the press; statuses are the service's, 0 meaning success.
class HotkeyService
{
public:
    using Handler = std::function<std::int32_t(std::optional<HotkeyIdentifier>)>;
    using Registration = std::uint64_t;

    virtual ~HotkeyService() = default;

    virtual std::int32_t installHandler(Handler handler) = 0;
    virtual void removeHandler() = 0;
    // modifiers are servicemodifier bits.
    virtual std::int32_t registerHotkey(std::uint16_t keyCode, std::uint32_t modifiers, HotkeyIdentifier id,
                                        Registration& registration) = 0;
    virtual void unregisterHotkey(Registration registration) = 0;

    // While the user presses a combination to capture, no window may see it: holdKeyboard keeps every
    // key from reaching any window, this application's included, and answers 0 or the service's
    // status when it cannot. releaseKeyboard lets keys through again once no key is down any more, so
    // the release of the captured combination does not reach a window either.
    virtual std::int32_t holdKeyboard() { return -1; }
    virtual void releaseKeyboard() {}
};

} // namespace loopwren
