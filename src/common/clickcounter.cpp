#include "clickcounter.h"

#include <cstdlib>

namespace loopwren {

std::int64_t ClickCounter::press(unsigned button, int x, int y, std::uint32_t timeMs)
{
    // Unsigned subtraction keeps the interval right across the clock's wrap.
    const bool continues = m_last && m_last->button == button &&
                           static_cast<std::uint32_t>(timeMs - m_last->time) <= m_settings.intervalMs &&
                           std::abs(x - m_last->x) <= m_settings.distance &&
                           std::abs(y - m_last->y) <= m_settings.distance;
    m_count = continues ? m_count + 1 : 1;
    m_last = LastPress{button, x, y, timeMs};
    return m_count;
}

} // namespace loopwren
