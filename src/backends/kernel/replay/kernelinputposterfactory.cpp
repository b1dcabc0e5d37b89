#include "kernelinputposterfactory.h"

#include "kernelinputposter.h"
#include "uinputdevice.h"

namespace loopwren {

KernelInputPosterFactory::KernelInputPosterFactory(std::shared_ptr<UinputDevice> device,
                                                   std::function<ScreenLayout()> layout,
                                                   AbsolutePointerMap::Area area)
    : m_device(std::move(device)), m_layout(std::move(layout)), m_area(area)
{
}

std::unique_ptr<InputPoster> KernelInputPosterFactory::create()
{
    // Far more than udev and a compositor take; a desktop without udev gets its input after that.
    m_device->waitUntilReady(std::chrono::seconds(5));
    return std::make_unique<KernelInputPoster>(
        m_device, AbsolutePointerMap(m_layout ? m_layout() : ScreenLayout(), m_area));
}

} // namespace loopwren
