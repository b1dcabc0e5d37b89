#include "eventtype.h"

#include <array>

namespace loopwren {
namespace {

constexpr std::array<std::string_view, 7> kEventTypeNames = {"mouseDown", "mouseUp", "mouseMoved", "keyDown",
                                                             "keyUp",     "scroll",  "wait"};
constexpr std::array<std::string_view, 3> kButtonNames = {"left", "right", "other"};

template <typename Enum, std::size_t N>
std::optional<Enum> fromRaw(const std::array<std::string_view, N>& names, std::string_view raw)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (names[i] == raw)
            return static_cast<Enum>(i);
    }
    return std::nullopt;
}

} // namespace

std::string_view rawValue(EventType type) { return kEventTypeNames[static_cast<std::size_t>(type)]; }
std::string_view rawValue(MouseButtonType button) { return kButtonNames[static_cast<std::size_t>(button)]; }

std::optional<EventType> eventTypeFromRaw(std::string_view raw)
{
    return fromRaw<EventType>(kEventTypeNames, raw);
}
std::optional<MouseButtonType> mouseButtonFromRaw(std::string_view raw)
{
    return fromRaw<MouseButtonType>(kButtonNames, raw);
}

} // namespace loopwren
