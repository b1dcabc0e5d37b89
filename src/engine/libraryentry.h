#pragma once

#include "hotkey.h"

#include <QDateTime>
#include <QString>
#include <QTime>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace loopwren {

// When a library macro plays by itself. Daily runs name their weekdays as bits, Monday = 1 << 0 up to
// Sunday = 1 << 6, so a mask of 0x7F is every day.
struct MacroSchedule
{
    enum class Kind : std::uint8_t
    {
        none,
        once,
        daily,
        interval
    };

    Kind kind = Kind::none;
    QDateTime at;              // once: local date and time
    QTime time;                // daily: local time of day
    std::uint8_t weekdays = 0; // daily
    int everyMinutes = 0;      // interval

    bool operator==(const MacroSchedule&) const = default;
};

// What the library keeps of one macro beside its file. The humanised-timing values are absent where
// the macro follows the global settings.
struct LibraryEntry
{
    QString file; // the macro file's name inside the library folder; never changes once given
    QString name; // what the user calls it; unique in the library, ignoring case
    Hotkey hotkey = Hotkey::unset();
    int loopCount = 1;
    bool infiniteLoop = false;
    double playbackSpeed = 100.0;
    std::optional<double> delayVariation;
    std::optional<double> passPauseMin;
    std::optional<double> passPauseMax;
    std::optional<double> clickSpread;
    MacroSchedule schedule;

    // Read from the file at each reload, never stored in the index.
    std::size_t eventCount = 0;
    double duration = 0.0; // seconds for one pass at 100 %
    QString loadError;     // empty when the file loads
};

} // namespace loopwren
