#pragma once

#include "x11connection.h"

#include <optional>
#include <vector>

namespace loopwren {

// The pointer as the X server has it at this moment, in root coordinates.
struct PointerState
{
    int rootX = 0;
    int rootY = 0;
    unsigned mask = 0; // the core state: modifiers and buttons 1-5

    // Buttons 1-5 held now; the core protocol knows no others, so higher ones count as released.
    std::vector<unsigned> heldButtons() const;
    bool capsLock() const;
};

// One round trip each; nothing when the connection is lost (or the pointer is on another screen).
std::optional<PointerState> queryPointer(X11Connection& connection);
std::optional<std::vector<unsigned>> queryHeldKeycodes(X11Connection& connection);

} // namespace loopwren
