#pragma once

#include "scheduleunits.h"

#include <QStringList>

#include <QDateTime>
#include <QString>
#include <optional>

namespace loopwren {

class MacroLibrary;

// The user's systemd manager, which keeps the library's schedules: unit files under
// $XDG_CONFIG_HOME/systemd/user, enabled and started with `systemctl --user`.
class UserSchedules
{
public:
    // Whether the user's manager answers and keeps timers, and what it said of itself ("running",
    // "offline", …) or why it could not be asked.
    struct ManagerState
    {
        bool keepsTimers = false;
        QString said;
    };
    ManagerState managerState() const;
    // Empty when the user's manager answers, else why schedules cannot be kept (for the doctor and
    // the command line).
    QString unavailableReason() const;

    // Writes, enables and starts the units; empty on success, else the reason, and nothing is left
    // enabled then.
    QString install(const scheduleunits::Units& units);
    // Gives the library's macro the schedule `changed` holds (one that runs): the manager gets the units
    // first, then the index is told, so the two agree whatever fails. When either fails the previous
    // schedule is put back as it was; should that fail too, the index says the macro has none. Empty on
    // success, else the reason.
    QString replace(MacroLibrary& library, const LibraryEntry& changed, const QString& cliPath);
    // Stops, disables and deletes the units of that name; quiet when there are none.
    QString remove(const QString& unitName);
    // When the manager will next start the timer; nullopt when it will not (a past once, no timer).
    std::optional<QDateTime> nextRun(const QString& unitName) const;

    static QString unitFolder();
    // The busctl arguments that ask the manager for a timer's next start, and what their output says, for
    // callers that ask without waiting.
    static QStringList nextRunQuery(const QString& unitName);
    static std::optional<QDateTime> readNextRun(const QString& output);

private:
    QString systemctl(const QStringList& arguments, QString* output = nullptr) const;
    static QString run(const QString& program, const QStringList& arguments, QString* output);
};

} // namespace loopwren
