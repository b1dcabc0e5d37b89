#include "events.h"
#include "macrolibrary.h"
#include "scheduleunits.h"
#include "systemdstandin.h"
#include "testfiles.h"
#include "userschedules.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Entries are written with designated initializers that name only the fields that matter.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace loopwren {
namespace {

LibraryEntry scheduled(MacroSchedule schedule)
{
    return {.file = "fill form.json",
            .name = "Fill 100% of the \"form\"",
            .loopCount = 2,
            .playbackSpeed = 150,
            .delayVariation = 10,
            .passPauseMin = 1,
            .passPauseMax = 2.5,
            .schedule = schedule};
}

// systemd-analyze reads the units as the user's manager will: a unit it rejects would never run.
QString analyze(const QStringList& arguments, QString* output = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("systemd-analyze"), arguments);
    if (!process.waitForFinished(60000))
        return QStringLiteral("systemd-analyze did not finish");
    const QString said = QString::fromUtf8(process.readAll());
    if (output)
        *output = said;
    return process.exitCode() == 0 ? QString() : said;
}

// The units pass systemd's own check whatever the path of the macro, which may hold blanks, quotes, %
// and $, none of which systemd may read as its own; their calendar times are the ones systemd reads back.
TEST(ScheduleUnits, UnitsPassSystemdsOwnCheckWithAnyPathAndKeepTheirTimes)
{
    QTemporaryDir dir;
    const QString macro = dir.filePath(QStringLiteral("my $HOME %h \"odd\" macro.json"));
    QFile(macro).open(QIODevice::WriteOnly);
    const QString cli = QStringLiteral(LOOPWREN_CLI);
    using enum MacroSchedule::Kind;
    const std::pair<MacroSchedule, QString> schedules[] = {
        {{interval, {}, {}, 0, 15}, {}},
        {{daily, {}, QTime(7, 0), 0x1F, 0}, {}},
        {{daily, {}, QTime(9, 5), 0b0010001, 0}, "Mon,Fri *-*-* 09:05:00"},
        {{daily, {}, QTime(23, 59), 0x7F, 0}, "*-*-* 23:59:00"},
        {{once, QDateTime(QDate(2031, 2, 3), QTime(4, 5)), {}, 0, 0}, "2031-02-03 04:05:00"}};
    for (const auto& [schedule, calendar] : schedules) {
        const scheduleunits::Units units = scheduleunits::make(scheduled(schedule), macro, cli);
        EXPECT_TRUE(units.name.startsWith("loopwren-macro-fill_form-")) << units.name.toStdString();
        EXPECT_TRUE(units.service.contains(
            "\"play\" \"" + QString(macro).replace("%", "%%").replace("$", "$$").replace("\"", "\\\"") +
            "\" \"--speed\" \"150\" \"--loops\" \"2\" \"--vary\" \"10\" \"--pass-pause\" \"1-2.5\""))
            << units.service.toStdString();
        for (const auto& [suffix, text] :
             {std::pair{".service", units.service}, std::pair{".timer", units.timer}})
            ASSERT_TRUE(test::writeFile(dir.filePath(units.name + suffix), text.toUtf8()));
        EXPECT_EQ(analyze({QStringLiteral("verify"), QStringLiteral("--man=no"),
                           dir.filePath(units.name + QStringLiteral(".timer")),
                           dir.filePath(units.name + QStringLiteral(".service"))}),
                  "");
        if (calendar.isEmpty())
            continue;
        EXPECT_EQ(scheduleunits::onCalendar(schedule), calendar);
        QString output;
        ASSERT_EQ(analyze({QStringLiteral("calendar"), calendar}, &output), "");
        EXPECT_TRUE(output.contains(QStringLiteral("Normalized form: ") + calendar)) << output.toStdString();
    }
    EXPECT_TRUE(scheduleunits::make(scheduled({}), macro, cli).name.isEmpty()) << "no schedule, no units";
}

// Replacing a schedule the manager refuses leaves the previous one kept by both the manager and the
// index; when even that cannot be put back, the index says the macro has none, as the manager does.
TEST(UserSchedules, AFailedReplacementLeavesTheIndexAndTheManagerAgreeing)
{
    test::SystemdStandIn systemd;
    QTemporaryDir dir;
    MacroLibrary library(dir.filePath("macros"));
    library.reload();
    ASSERT_EQ(library.add("Backup", {makeEvent(EventType::wait, 0.1)}), "");
    LibraryEntry daily = *library.find("Backup");
    daily.schedule = {MacroSchedule::Kind::daily, {}, QTime(9, 5), 0b0010001, 0};
    LibraryEntry every = daily;
    every.schedule = {MacroSchedule::Kind::interval, {}, {}, 0, 15};
    const QString unit = scheduleunits::unitName(daily);
    const auto timer = [&] {
        return QString(test::readFile(UserSchedules::unitFolder() + "/" + unit + ".timer"));
    };
    const auto indexed = [&] {
        MacroLibrary reread(library.folder());
        reread.reload();
        return reread.find("Backup")->schedule;
    };
    UserSchedules schedules;
    ASSERT_EQ(schedules.replace(library, daily, LOOPWREN_CLI), "");

    systemd.refuse();
    EXPECT_EQ(schedules.replace(library, every, LOOPWREN_CLI), "Job for " + unit + ".timer failed");
    EXPECT_EQ(indexed(), daily.schedule);
    EXPECT_TRUE(timer().contains("OnCalendar=Mon,Fri *-*-* 09:05:00")) << timer().toStdString();
    EXPECT_EQ(systemd.calls().last(), "systemctl --user restart " + unit + ".timer")
        << "the previous one runs";

    systemd.refuse(true);
    EXPECT_EQ(schedules.replace(library, every, LOOPWREN_CLI),
              "Job for " + unit + ".timer failed; the previous schedule is removed too: Job for " + unit +
                  ".timer failed");
    EXPECT_EQ(indexed().kind, MacroSchedule::Kind::none);
    EXPECT_EQ(library.find("Backup")->schedule.kind, MacroSchedule::Kind::none);
    EXPECT_EQ(timer(), "<missing>");
}

} // namespace
} // namespace loopwren
