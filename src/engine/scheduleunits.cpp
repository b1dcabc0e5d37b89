#include "scheduleunits.h"

#include <QCryptographicHash>
#include <QFileInfo>

namespace loopwren::scheduleunits {
namespace {

// systemd splits ExecStart= at blanks and expands % and $ in it: every argument is quoted, and the
// characters it would read as its own are escaped, so a macro's path can hold anything.
QString quoted(const QString& argument)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == QLatin1Char('\n')) {
            out += QStringLiteral("\\n");
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        if (c == QLatin1Char('%'))
            out += QLatin1Char('%');
        if (c == QLatin1Char('$'))
            out += QLatin1Char('$');
        out += c;
    }
    return out + QLatin1Char('"');
}

// A description is one line of text, and % means something to systemd there too.
QString describable(const QString& name)
{
    QString out = name.simplified();
    out.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return out;
}

QString number(double value) { return QString::number(value, 'g', 10); }

} // namespace

QString unitName(const LibraryEntry& entry)
{
    const QString stem = QFileInfo(entry.file).completeBaseName();
    QString safe;
    for (const QChar c : stem)
        safe += (c.isLetterOrNumber() && c.unicode() < 128) || c == QLatin1Char('-') ? c : QLatin1Char('_');
    // Two files whose names differ only where characters were replaced still get two units.
    const QByteArray hash = QCryptographicHash::hash(entry.file.toUtf8(), QCryptographicHash::Sha1).toHex().left(8);
    return QStringLiteral("loopwren-macro-%1-%2").arg(safe.left(60), QString::fromLatin1(hash));
}

QStringList playArguments(const LibraryEntry& entry, const QString& macroPath)
{
    QStringList arguments{QStringLiteral("play"), macroPath, QStringLiteral("--speed"), number(entry.playbackSpeed)};
    if (entry.infiniteLoop)
        arguments << QStringLiteral("--infinite");
    else
        arguments << QStringLiteral("--loops") << QString::number(entry.loopCount);
    if (entry.delayVariation)
        arguments << QStringLiteral("--vary") << number(*entry.delayVariation);
    if (entry.passPauseMin || entry.passPauseMax) {
        const double low = entry.passPauseMin.value_or(0);
        arguments << QStringLiteral("--pass-pause") << number(low) + QLatin1Char('-') + number(entry.passPauseMax.value_or(low));
    }
    if (entry.clickSpread)
        arguments << QStringLiteral("--spread") << number(*entry.clickSpread);
    return arguments;
}

QString onCalendar(const MacroSchedule& schedule)
{
    if (schedule.kind == MacroSchedule::Kind::once)
        return schedule.at.toString(QStringLiteral("yyyy-MM-dd HH:mm:00"));
    if (schedule.kind != MacroSchedule::Kind::daily)
        return {};
    static const char* const kDays[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    QStringList days;
    for (int day = 0; day < 7; ++day) {
        if (schedule.weekdays & (1u << day))
            days << QLatin1String(kDays[day]);
    }
    const QString time = schedule.time.toString(QStringLiteral("HH:mm:00"));
    return days.size() == 7 ? QStringLiteral("*-*-* ") + time : days.join(QLatin1Char(',')) + QStringLiteral(" *-*-* ") + time;
}

Units make(const LibraryEntry& entry, const QString& macroPath, const QString& cliPath)
{
    if (entry.schedule.kind == MacroSchedule::Kind::none)
        return {};
    Units units;
    units.name = unitName(entry);
    QString exec = quoted(cliPath);
    for (const QString& argument : playArguments(entry, macroPath))
        exec += QLatin1Char(' ') + quoted(argument);
    units.service = QStringLiteral("[Unit]\n"
                                   "Description=LoopWren macro \"%1\"\n"
                                   "\n"
                                   "[Service]\n"
                                   "Type=oneshot\n"
                                   "ExecStart=%2\n")
                        .arg(describable(entry.name), exec);
    QString when;
    if (entry.schedule.kind == MacroSchedule::Kind::interval) {
        const QString every = QString::number(entry.schedule.everyMinutes);
        when = QStringLiteral("OnActiveSec=%1min\nOnUnitActiveSec=%1min\n").arg(every);
    } else {
        when = QStringLiteral("OnCalendar=%1\n").arg(onCalendar(entry.schedule));
    }
    // A run missed while the machine was off is not made up later: a macro that types into whatever
    // window happens to be open at the next login would surprise its user.
    units.timer = QStringLiteral("[Unit]\n"
                                 "Description=Schedule of LoopWren macro \"%1\"\n"
                                 "\n"
                                 "[Timer]\n"
                                 "%2"
                                 "AccuracySec=1s\n"
                                 "Unit=%3.service\n"
                                 "\n"
                                 "[Install]\n"
                                 "WantedBy=timers.target\n")
                      .arg(describable(entry.name), when, units.name);
    return units;
}

} // namespace loopwren::scheduleunits
