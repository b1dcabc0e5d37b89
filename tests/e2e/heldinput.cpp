#include "heldinput.h"

#include "serverstate.h"
#include "x11connection.h"

namespace loopwren {
namespace {

std::string listed(const std::vector<unsigned>& values)
{
    std::string text;
    for (const unsigned value : values)
        text += " " + std::to_string(value);
    return text.empty() ? " none" : text;
}

} // namespace

HeldInput HeldInput::query(const std::string& displayName)
{
    HeldInput held;
    const auto connection = X11Connection::open(displayName);
    if (!connection)
        return held;
    const auto keycodes = queryHeldKeycodes(*connection);
    const auto pointer = queryPointer(*connection);
    if (!keycodes || !pointer)
        return held;
    held.keycodes = *keycodes;
    held.buttons = pointer->heldButtons();
    held.queried = true;
    return held;
}

std::string HeldInput::text() const
{
    if (!queried)
        return "the display could not be asked";
    return "keys" + listed(keycodes) + ", buttons" + listed(buttons);
}

} // namespace loopwren
