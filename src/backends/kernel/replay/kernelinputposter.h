#pragma once

#include "absolutepointermap.h"
#include "inputeventsink.h"
#include "inputposter.h"

#include <memory>
#include <optional>
#include <vector>

namespace loopwren {

// Synthesises input through a kernel input device (the replay device). Keys go by their evdev codes,
// so the desktop applies the user's layout as it does for the hardware; pointer positions become
// absolute axis values through the desktop's screen layout. Modifier flags are realised by holding
// the left Shift, Control, Alt and Super keys, as the keyboard would; lock and key-describing bits
// are not acted on. Each input is a frame of its own. Without a layout, pointer input is skipped:
// a click at a guessed place would do something else than the one recorded.
class KernelInputPoster : public InputPoster
{
public:
    KernelInputPoster(std::shared_ptr<InputEventSink> device, AbsolutePointerMap map);
    // The device outlives the poster in a running application, so what is held is let go here.
    ~KernelInputPoster() override;
    KernelInputPoster(const KernelInputPoster&) = delete;
    KernelInputPoster& operator=(const KernelInputPoster&) = delete;

    // The kernel tells nobody where the pointer is: it is taken to be where this poster put it last.
    // A new playback puts it in place afresh, since the user may have moved it in between.
    PointerReach reach(Point location) const override;
    bool warpPointer(Point location) override;
    void postMouseMoved(Point location, std::optional<std::uint64_t> flags) override;
    void postMouseButton(MouseButtonType button, bool down, Point location,
                         std::optional<std::uint64_t> flags) override;
    void postKey(std::uint16_t keyCode, bool down, std::optional<std::uint64_t> flags) override;
    void postScrollNotch(ScrollDirection direction, std::optional<std::uint64_t> flags) override;
    void releaseAll() override;

private:
    void applyFlags(std::optional<std::uint64_t> flags);
    // False when the pointer is there already or the location has no place.
    bool moveTo(Point location);
    void press(unsigned code, bool down, std::vector<unsigned>& held);

    std::shared_ptr<InputEventSink> m_device;
    AbsolutePointerMap m_map;
    std::optional<AbsolutePointerMap::Value> m_position; // where this poster put the pointer last
    std::uint64_t m_heldFlags = 0;
    std::vector<unsigned> m_heldModifiers;
    std::vector<unsigned> m_heldKeys; // oldest first
    std::vector<unsigned> m_heldButtons;
};

} // namespace loopwren
