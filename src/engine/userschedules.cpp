#include "userschedules.h"

#include "macrolibrary.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <algorithm>
#include <ctime>

namespace loopwren {
namespace {

constexpr int kSystemctlTimeoutMs = 20000;

QString configHome()
{
    const QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    return base.isEmpty() || QDir::isRelativePath(base) ? QDir::homePath() + QStringLiteral("/.config") : base;
}

QString writeFile(const QString& path, const QString& text)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
        return QStringLiteral("%1: %2").arg(path, file.errorString());
    return {};
}

// systemd's times are microseconds: of the wall clock for calendar timers, of CLOCK_MONOTONIC for
// timers that count from an event such as "every N minutes".
std::optional<QDateTime> fromMicroseconds(const QString& realtime, const QString& monotonic)
{
    bool ok = false;
    const qulonglong wall = realtime.trimmed().toULongLong(&ok);
    if (ok && wall > 0 && wall != ~0ull)
        return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(wall / 1000));
    const qulonglong mono = monotonic.trimmed().toULongLong(&ok);
    if (!ok || mono == 0 || mono == ~0ull)
        return std::nullopt;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const qint64 nowMicro = qint64(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
    return QDateTime::currentDateTime().addMSecs((static_cast<qint64>(mono) - nowMicro) / 1000);
}

} // namespace

QString UserSchedules::unitFolder() { return configHome() + QStringLiteral("/systemd/user"); }

QString UserSchedules::systemctl(const QStringList& arguments, QString* output) const
{
    return run(QStringLiteral("systemctl"), QStringList{QStringLiteral("--user")} + arguments, output);
}

QString UserSchedules::run(const QString& program, const QStringList& arguments, QString* output)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted(kSystemctlTimeoutMs))
        return QStringLiteral("%1 cannot be started: %2").arg(program, process.errorString());
    if (!process.waitForFinished(kSystemctlTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return QStringLiteral("%1 did not answer").arg(program);
    }
    if (output)
        *output = QString::fromUtf8(process.readAllStandardOutput());
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        const QString said = QString::fromUtf8(process.readAllStandardError()).trimmed();
        return said.isEmpty() ? QStringLiteral("%1 %2 failed").arg(program, arguments.join(' ')) : said;
    }
    return {};
}

UserSchedules::ManagerState UserSchedules::managerState() const
{
    QString state;
    const QString failed = systemctl({QStringLiteral("is-system-running")}, &state);
    state = state.trimmed();
    // "degraded" is a running manager with a failed unit somewhere: it still keeps timers.
    const bool keeps = state == QLatin1String("running") || state == QLatin1String("degraded")
                       || state == QLatin1String("starting");
    return {keeps, state.isEmpty() ? failed : state};
}

QString UserSchedules::unavailableReason() const
{
    const ManagerState state = managerState();
    return state.keepsTimers ? QString()
                             : QStringLiteral("no systemd user manager runs for this session (%1)").arg(state.said);
}

QString UserSchedules::install(const scheduleunits::Units& units)
{
    const QString folder = unitFolder();
    if (!QDir().mkpath(folder))
        return QStringLiteral("%1: cannot create the folder").arg(folder);
    const QString base = folder + QLatin1Char('/') + units.name;
    if (QString failed = writeFile(base + QStringLiteral(".service"), units.service); !failed.isEmpty())
        return failed;
    if (QString failed = writeFile(base + QStringLiteral(".timer"), units.timer); !failed.isEmpty())
        return failed;
    QString failed = systemctl({QStringLiteral("daemon-reload")});
    if (failed.isEmpty())
        failed = systemctl({QStringLiteral("enable"), units.name + QStringLiteral(".timer")});
    // Restarted, not just started: a timer already running (a schedule changed, a once that has passed)
    // would keep counting from its old start, or stay elapsed with no next run at all.
    if (failed.isEmpty())
        failed = systemctl({QStringLiteral("restart"), units.name + QStringLiteral(".timer")});
    // A timer whose restart failed is one the user believes is set: take it away again, loudly.
    if (!failed.isEmpty())
        remove(units.name);
    return failed;
}

QString UserSchedules::remove(const QString& unitName)
{
    const QString base = unitFolder() + QLatin1Char('/') + unitName;
    if (!QFile::exists(base + QStringLiteral(".timer")) && !QFile::exists(base + QStringLiteral(".service")))
        return {};
    systemctl({QStringLiteral("disable"), QStringLiteral("--now"), unitName + QStringLiteral(".timer")});
    QFile::remove(base + QStringLiteral(".timer"));
    QFile::remove(base + QStringLiteral(".service"));
    return systemctl({QStringLiteral("daemon-reload")});
}

QString UserSchedules::replace(MacroLibrary& library, const LibraryEntry& changed, const QString& cliPath)
{
    const auto known = std::find_if(library.entries().begin(), library.entries().end(),
                                    [&](const LibraryEntry& entry) { return entry.file == changed.file; });
    if (known == library.entries().end())
        return QStringLiteral("No macro file %1 in the library").arg(changed.file);
    const LibraryEntry previous = *known;
    // The units of one macro share their name whatever its schedule, so a refused replacement has
    // already taken the previous units away (install() leaves nothing enabled).
    QString failed = install(scheduleunits::make(changed, library.pathOf(changed), cliPath));
    if (failed.isEmpty()) {
        failed = library.update(changed);
        if (failed.isEmpty())
            return {};
        remove(scheduleunits::unitName(changed));
    }
    if (previous.schedule.kind == MacroSchedule::Kind::none)
        return failed;
    if (QString lost = install(scheduleunits::make(previous, library.pathOf(previous), cliPath)); !lost.isEmpty()) {
        LibraryEntry cleared = previous;
        cleared.schedule = {};
        library.update(cleared);
        return QStringLiteral("%1; the previous schedule is removed too: %2").arg(failed, lost);
    }
    return failed;
}

QStringList UserSchedules::nextRunQuery(const QString& unitName)
{
    // systemctl prints these times for people; the manager's own properties give the numbers.
    QString path = QStringLiteral("/org/freedesktop/systemd1/unit/");
    for (const char c : (unitName + QStringLiteral(".timer")).toUtf8()) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        path += plain ? QString(QLatin1Char(c)) : QStringLiteral("_%1").arg(uchar(c), 2, 16, QLatin1Char('0'));
    }
    return {QStringLiteral("--user"), QStringLiteral("get-property"), QStringLiteral("org.freedesktop.systemd1"),
            path, QStringLiteral("org.freedesktop.systemd1.Timer"), QStringLiteral("NextElapseUSecRealtime"),
            QStringLiteral("NextElapseUSecMonotonic")};
}

std::optional<QDateTime> UserSchedules::readNextRun(const QString& output)
{
    const QStringList lines = output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (lines.size() != 2)
        return std::nullopt;
    return fromMicroseconds(lines[0].section(QLatin1Char(' '), 1), lines[1].section(QLatin1Char(' '), 1));
}

std::optional<QDateTime> UserSchedules::nextRun(const QString& unitName) const
{
    QString output;
    if (!run(QStringLiteral("busctl"), nextRunQuery(unitName), &output).isEmpty())
        return std::nullopt;
    return readNextRun(output);
}

} // namespace loopwren
