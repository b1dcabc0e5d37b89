#include "playbackvariation.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace loopwren {

PlaybackVariation::PlaybackVariation(VariationSettings settings, std::uint64_t seed)
    : m_settings(settings), m_generator(seed)
{
    // Whatever reaches here, the draws stay within sane bounds.
    const auto sane = [](double value, double highest) {
        return std::isfinite(value) ? std::clamp(value, 0.0, highest) : 0.0;
    };
    m_settings.delayVariation = sane(m_settings.delayVariation, 1.0);
    m_settings.passPauseMinimum = sane(m_settings.passPauseMinimum, 1e9);
    m_settings.passPauseMaximum = std::max(sane(m_settings.passPauseMaximum, 1e9), m_settings.passPauseMinimum);
    m_settings.clickSpread = sane(m_settings.clickSpread, 1e6);
}

std::uint64_t PlaybackVariation::freshSeed()
{
    std::random_device device;
    return (std::uint64_t{device()} << 32) ^ device();
}

double PlaybackVariation::unit() { return static_cast<double>(m_generator() >> 11) * 0x1.0p-53; }

double PlaybackVariation::delay(double seconds)
{
    if (seconds <= 0 || m_settings.delayVariation == 0)
        return seconds;
    const double v = m_settings.delayVariation;
    return std::max(0.0, seconds * (1.0 - v + 2.0 * v * unit()));
}

double PlaybackVariation::passPause()
{
    const double low = m_settings.passPauseMinimum;
    const double high = m_settings.passPauseMaximum;
    if (high == low)
        return low;
    return low + (high - low) * unit();
}

Point PlaybackVariation::clickOffset()
{
    if (m_settings.clickSpread == 0)
        return Point{0, 0};
    // The square root spreads the radius so that equal areas of the disc are equally likely.
    const double radius = m_settings.clickSpread * std::sqrt(unit());
    const double angle = 2.0 * std::numbers::pi * unit();
    return Point{radius * std::cos(angle), radius * std::sin(angle)};
}

} // namespace loopwren
