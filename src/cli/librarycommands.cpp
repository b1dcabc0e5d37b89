#include "librarycommands.h"

#include "clicommands.h"
#include "eventtext.h"
#include "macrofiles.h"
#include "macrolibrary.h"
#include "scheduleunits.h"
#include "userschedules.h"

#include <QFileInfo>
#include <algorithm>
#include <cstdio>

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
    return usage("library takes list, play NAME [OPTIONS], export NAME FILE or import FILE [NAME]");
}

} // namespace loopwren::cli
