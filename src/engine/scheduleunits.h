#pragma once

#include "libraryentry.h"

#include <QString>
#include <QStringList>

namespace loopwren {

// A library macro's schedule as a systemd user timer and the service it starts, which runs
// `loopwren-cli play` on the macro's file with the macro's own playback values. The user's systemd
// manager keeps the schedule, so it runs whether LoopWren's window is open or not.
namespace scheduleunits {

struct Units
{
    QString name;    // without suffix: NAME.timer and NAME.service
    QString timer;   // the unit files' text
    QString service;
};

// The names are LoopWren's own and stay the same for a macro's file whatever the macro is called.
QString unitName(const LibraryEntry& entry);

// The arguments of `loopwren-cli play` for the entry, the file's path first.
QStringList playArguments(const LibraryEntry& entry, const QString& macroPath);

// Nothing (an empty name) for an entry without a schedule.
Units make(const LibraryEntry& entry, const QString& macroPath, const QString& cliPath);

// A time written as systemd's OnCalendar= takes it, e.g. "Mon,Fri *-*-* 09:30:00"; empty for a
// schedule that is not a calendar time (none, or every N minutes).
QString onCalendar(const MacroSchedule& schedule);

} // namespace scheduleunits
} // namespace loopwren
