#include "notchcounter.h"

#include <cmath>

namespace loopwren {

int NotchCounter::add(double amount)
{
    if (!std::isfinite(amount))
        return 0;
    if ((amount > 0.0 && m_rest < 0.0) || (amount < 0.0 && m_rest > 0.0))
        m_rest = 0.0;
    m_rest += amount;
    // Sums of fractions such as 0.1 fall a hair short of the whole they make.
    const double tolerance = m_unitsPerNotch * 1e-9;
    const double notches = std::trunc((m_rest + std::copysign(tolerance, m_rest)) / m_unitsPerNotch);
    m_rest -= notches * m_unitsPerNotch;
    return static_cast<int>(notches);
}

} // namespace loopwren
