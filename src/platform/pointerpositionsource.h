#pragma once

#include "macroevent.h"

#include <optional>

namespace loopwren {

// Where the pointer is, for a capture that sees only how far it moved (the kernel's input devices
// report relative motion; the desktop alone knows the result).
class PointerPositionSource
{
public:
    virtual ~PointerPositionSource() = default;

    // The pointer's position now, in global display coordinates as InputEvent::location has them, or
    // nullopt when it cannot be known. Called on the capture's own thread, at each button and motion.
    virtual std::optional<Point> pointerPosition() = 0;
};

} // namespace loopwren
