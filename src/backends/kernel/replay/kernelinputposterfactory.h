#pragma once

#include "absolutepointermap.h"
#include "inputposter.h"
#include "screenlayout.h"

#include <functional>
#include <memory>

namespace loopwren {

class UinputDevice;

// Hands every playback a poster on the one replay device, with the screen layout of that moment.
class KernelInputPosterFactory : public InputPosterFactory
{
public:
    KernelInputPosterFactory(std::shared_ptr<UinputDevice> device, std::function<ScreenLayout()> layout,
                             AbsolutePointerMap::Area area);

    // Waits, once, until the desktop has taken the device in: its first events would be lost.
    std::unique_ptr<InputPoster> create() override;

private:
    std::shared_ptr<UinputDevice> m_device;
    std::function<ScreenLayout()> m_layout;
    AbsolutePointerMap::Area m_area;
};

} // namespace loopwren
