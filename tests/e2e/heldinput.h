#pragma once

#include <string>
#include <vector>

namespace loopwren {

// What an X server has held down right now, as any client can ask it: the keys XQueryKeymap reports
// and pointer buttons 1 to 5.
struct HeldInput
{
    std::vector<unsigned> keycodes;
    std::vector<unsigned> buttons;
    bool queried = false; // false when the display could not be opened

    // An empty display name means $DISPLAY.
    static HeldInput query(const std::string& displayName = {});
    bool isNothing() const { return queried && keycodes.empty() && buttons.empty(); }
    // E.g. "keys 50 38, buttons none".
    std::string text() const;
};

} // namespace loopwren
