#pragma once

#include "macroevent.h"

#include <cstdint>
#include <random>

namespace loopwren {

// How far a playback may stray from the recorded schedule, so that it does not run like a metronome.
// All zero (the default) plays the recording exactly.
struct VariationSettings
{
    double delayVariation = 0.0; // 0 to 1: each delay is multiplied by a factor within [1 - v, 1 + v]
    double passPauseMinimum = 0.0; // seconds before each pass after the first
    double passPauseMaximum = 0.0;
    double clickSpread = 0.0; // radius in points of the disc a press may land anywhere in

    bool operator==(const VariationSettings&) const = default;
};

// The values a playback draws, from a generator seeded once per playback: the same seed gives the same
// draws. Nothing is drawn for a setting that is zero, so an unvaried playback stays exactly what it was.
class PlaybackVariation
{
public:
    PlaybackVariation() : PlaybackVariation({}, 0) {}
    PlaybackVariation(VariationSettings settings, std::uint64_t seed);

    // A fresh seed for a run that was given none.
    static std::uint64_t freshSeed();

    // delay times a factor drawn uniformly from [1 - v, 1 + v]; never negative, and 0 stays 0 so that
    // inputs recorded together are still played together.
    double delay(double seconds);
    // Drawn uniformly from the pause range.
    double passPause();
    // Drawn uniformly from the disc of the click spread around the origin.
    Point clickOffset();

    const VariationSettings& settings() const { return m_settings; }

private:
    // Uniform in [0, 1), from the generator's bits alone, so a seed draws the same values with any
    // standard library.
    double unit();

    VariationSettings m_settings;
    std::mt19937_64 m_generator;
};

} // namespace loopwren
