#include "librarycommands.h"

#include "clicommands.h"
#include "eventtext.h"
#include "macrofiles.h"
#include "macrolibrary.h"
#include "scheduleunits.h"
#include "userschedules.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>

namespace loopwren::cli {
namespace {

int fail(const QString& message)
{
    std::fprintf(stderr, "loopwren-cli: %s\n", qPrintable(message));
    return 1;
}

int usage(const char* message)
{
    std::fprintf(stderr, "loopwren-cli: %s (see loopwren-cli --help)\n", message);
    return 2;
}

QString scheduleText(const LibraryEntry& entry, const UserSchedules& schedules)
{
    if (entry.schedule.kind == MacroSchedule::Kind::none)
        return QStringLiteral("-");
    const auto next = schedules.nextRun(scheduleunits::unitName(entry));
    return next ? next->toString(QStringLiteral("yyyy-MM-dd HH:mm")) : QStringLiteral("not scheduled");
}

// One macro a line: name, events, one pass's length at its speed, hotkey, next run; tab-separated so
// that scripts can cut it.
int list(MacroLibrary& library)
{
    const UserSchedules schedules;
    for (const LibraryEntry& entry : library.entries()) {
        if (!entry.loadError.isEmpty()) {
            std::printf("%s\tcannot be loaded: %s\n", qPrintable(entry.name), qPrintable(entry.loadError));
            continue;
        }
        const double seconds = entry.duration * 100.0 / entry.playbackSpeed;
        const QString hotkey = entry.hotkey == Hotkey::unset()
                                   ? QStringLiteral("-")
                                   : QString::fromStdString(displayText(entry.hotkey));
        std::printf("%s\t%zu events\t%.1f s\t%s\t%s\n", qPrintable(entry.name), entry.eventCount, seconds,
                    qPrintable(hotkey), qPrintable(scheduleText(entry, schedules)));
    }
    return 0;
}

const LibraryEntry* found(const MacroLibrary& library, const QString& name)
{
    const LibraryEntry* entry = library.find(name);
    if (!entry)
        fail(QStringLiteral("no macro named \"%1\" in the library (see loopwren-cli library list)").arg(name));
    return entry;
}

int exportMacro(const MacroLibrary& library, const QString& name, const QString& path)
{
    const LibraryEntry* entry = found(library, name);
    if (!entry)
        return 1;
    const MacroReadResult read = macrofiles::load(library.pathOf(*entry));
    if (!read.ok())
        return fail(QStringLiteral("%1 cannot be loaded: %2").arg(name, QString::fromStdString(read.error)));
    const QString failed = macrofiles::save(path, read.events);
    return failed.isEmpty() ? 0 : fail(failed);
}

int importMacro(MacroLibrary& library, const QString& path, const QString& name)
{
    const MacroReadResult read = macrofiles::load(path);
    if (!read.ok())
        return fail(QStringLiteral("%1 cannot be loaded: %2").arg(path, QString::fromStdString(read.error)));
    const QString failed = library.add(name.isEmpty() ? QFileInfo(path).completeBaseName() : name, read.events);
    return failed.isEmpty() ? 0 : fail(failed);
}

constexpr int kMostMinutes = 525600; // a year

// "mon,tue,fri" or "all" as the weekday bits of a daily schedule, Monday the lowest; 0 when unreadable.
std::uint8_t weekdays(const QString& text)
{
    if (text.compare(QLatin1String("all"), Qt::CaseInsensitive) == 0)
        return 0x7F;
    static const char* const kDays[] = {"mon", "tue", "wed", "thu", "fri", "sat", "sun"};
    std::uint8_t bits = 0;
    for (const QString& day : text.split(QLatin1Char(','))) {
        const auto found = std::find_if(std::begin(kDays), std::end(kDays), [&](const char* name) {
            return day.trimmed().toLower() == QLatin1String(name);
        });
        if (found == std::end(kDays))
            return 0;
        bits |= 1u << (found - std::begin(kDays));
    }
    return bits;
}

// The schedule the words after NAME give, or none when they give none that can be read.
std::optional<MacroSchedule> parseSchedule(const QStringList& words)
{
    MacroSchedule schedule;
    const QString kind = words.value(0);
    if (kind == QLatin1String("none") && words.size() == 1)
        return schedule;
    if (kind == QLatin1String("once") && words.size() == 2) {
        schedule.kind = MacroSchedule::Kind::once;
        schedule.at = QDateTime::fromString(words[1], QStringLiteral("yyyy-MM-dd'T'HH:mm"));
        return schedule.at.isValid() ? std::optional(schedule) : std::nullopt;
    }
    if (kind == QLatin1String("daily") && words.size() == 3) {
        schedule.kind = MacroSchedule::Kind::daily;
        schedule.time = QTime::fromString(words[1], QStringLiteral("HH:mm"));
        schedule.weekdays = weekdays(words[2]);
        return schedule.time.isValid() && schedule.weekdays ? std::optional(schedule) : std::nullopt;
    }
    if (kind == QLatin1String("every") && words.size() == 2) {
        schedule.kind = MacroSchedule::Kind::interval;
        bool ok = false;
        schedule.everyMinutes = words[1].toInt(&ok);
        return ok && schedule.everyMinutes >= 1 && schedule.everyMinutes <= kMostMinutes
                   ? std::optional(schedule)
                   : std::nullopt;
    }
    return std::nullopt;
}

// Sets or clears a macro's schedule: the user's systemd manager gets the units first, so the index
// never tells of a schedule the manager does not keep. The units run this very program.
int schedule(MacroLibrary& library, const QString& name, const QStringList& words)
{
    const std::optional<MacroSchedule> when = parseSchedule(words);
    if (!when)
        return usage("schedule takes NAME once YYYY-MM-DDTHH:MM, NAME daily HH:MM DAYS (mon,tue,... or all), "
                     "NAME every MINUTES (1 to 525600) or NAME none");
    const LibraryEntry* entry = found(library, name);
    if (!entry)
        return 1;
    if (when->kind != MacroSchedule::Kind::none && !entry->loadError.isEmpty())
        return fail(QStringLiteral("%1 cannot be loaded: %2").arg(entry->name, entry->loadError));
    if (when->kind == MacroSchedule::Kind::once && when->at <= QDateTime::currentDateTime())
        return fail(QStringLiteral("%1 has already passed").arg(words[1]));
    UserSchedules schedules;
    LibraryEntry changed = *entry;
    changed.schedule = *when;
    // Units taken away, or not, the schedule is over: the files are gone either way.
    QString leftOver;
    if (when->kind == MacroSchedule::Kind::none) {
        leftOver = schedules.remove(scheduleunits::unitName(changed));
        if (QString failed = library.update(changed); !failed.isEmpty())
            return fail(failed);
    } else {
        if (QString reason = schedules.unavailableReason(); !reason.isEmpty())
            return fail(QStringLiteral("cannot schedule: %1").arg(reason));
        if (QString failed = schedules.replace(library, changed, QCoreApplication::applicationFilePath());
            !failed.isEmpty())
            return fail(QStringLiteral("cannot schedule: %1").arg(failed));
    }
    if (!leftOver.isEmpty())
        return fail(
            QStringLiteral("the schedule is cleared, but the manager was not told: %1").arg(leftOver));
    if (when->kind == MacroSchedule::Kind::none)
        std::printf("%s is not scheduled\n", qPrintable(changed.name));
    else
        std::printf("%s is scheduled; next run %s\n", qPrintable(changed.name),
                    qPrintable(scheduleText(changed, schedules)));
    return 0;
}

// Takes the macro out of the library and its schedule out of the user's manager.
int removeMacro(MacroLibrary& library, const QString& name)
{
    const LibraryEntry* entry = found(library, name);
    if (!entry)
        return 1;
    const QString unit = scheduleunits::unitName(*entry);
    if (QString failed = library.remove(name); !failed.isEmpty())
        return fail(failed);
    if (QString failed = UserSchedules().remove(unit); !failed.isEmpty())
        return fail(
            QStringLiteral("the macro is removed, but its schedule's units may linger: %1").arg(failed));
    return 0;
}

} // namespace

int library(const QStringList& arguments)
{
    const QString action = arguments.value(0);
    MacroLibrary library;
    if (QString repaired = library.reload(); !repaired.isEmpty())
        std::fprintf(stderr, "loopwren-cli: the library was repaired: %s\n", qPrintable(repaired));
    if (action == QLatin1String("list") && arguments.size() == 1)
        return list(library);
    if (action == QLatin1String("play") && arguments.size() >= 2) {
        const LibraryEntry* entry = found(library, arguments[1]);
        if (!entry)
            return 1;
        // The macro's own values first; options given here come later and win. Passes are one choice
        // of two options, so a count given here replaces the macro's whichever form either takes.
        QStringList own = scheduleunits::playArguments(*entry, library.pathOf(*entry)).mid(1);
        const QStringList given = arguments.mid(2);
        const auto passesGiven = [&](const QString& a) { return a.contains(QLatin1String("loops")) || a.contains(QLatin1String("infinite")); };
        if (std::any_of(given.begin(), given.end(), passesGiven)) {
            const qsizetype at = own.indexOf(QStringLiteral("--loops"));
            if (at >= 0)
                own.remove(at, 2);
            own.removeAll(QStringLiteral("--infinite"));
        }
        return play(own + given);
    }
    if (action == QLatin1String("export") && arguments.size() == 3)
        return exportMacro(library, arguments[1], arguments[2]);
    if (action == QLatin1String("import") && (arguments.size() == 2 || arguments.size() == 3))
        return importMacro(library, arguments[1], arguments.value(2));
    if (action == QLatin1String("schedule") && arguments.size() >= 3)
        return schedule(library, arguments[1], arguments.mid(2));
    if (action == QLatin1String("remove") && arguments.size() == 2)
        return removeMacro(library, arguments[1]);
    return usage("library takes list, play NAME [OPTIONS], export NAME FILE, import FILE [NAME], "
                 "schedule NAME WHEN or remove NAME");
}

} // namespace loopwren::cli
