#include "clilauncher.h"
#include "testfiles.h"

namespace loopwren {
namespace {

// What a script does with the library: add a file, see it listed, play it by name with its own
// values and options of the moment, copy it out again, and take it away; a name that is taken or
// unknown is refused. Without a user systemd manager (none answers on this test's runtime folder) a
// schedule is refused with the reason and nothing is stored; clearing one needs no manager.
TEST(CliLibrary, ImportListPlayScheduleExportAndRemoveByName)
{
    QTemporaryDir dir;
    const CliLauncher cli{dir.path(), qEnvironmentVariable("DISPLAY")};
    const QString macro = dir.filePath("pause.json");
    ASSERT_TRUE(test::writeFile(macro, test::macroText({test::macroEvent("wait", 0.2)})));

    QByteArray output;
    ASSERT_EQ(cli.run({"library", "import", macro, "Short pause"}, &output), 0) << output.toStdString();
    EXPECT_EQ(cli.run({"library", "import", macro, "short PAUSE"}, &output), 1);
    EXPECT_TRUE(output.contains("already in the library")) << output.toStdString();
    ASSERT_EQ(cli.run({"library", "import", macro}, &output), 0);

    ASSERT_EQ(cli.run({"library", "list"}, &output), 0);
    EXPECT_EQ(output, "pause\t1 events\t0.2 s\t-\t-\nShort pause\t1 events\t0.2 s\t-\t-\n");

    ASSERT_EQ(cli.run({"library", "play", "short pause", "--speed", "400", "--loops", "2"}, &output), 0)
        << output.toStdString();
    EXPECT_EQ(cli.run({"library", "play", "Long pause"}, &output), 1);
    EXPECT_TRUE(output.contains("no macro named \"Long pause\"")) << output.toStdString();

    ASSERT_EQ(cli.run({"library", "export", "Short pause", dir.filePath("out.json")}, &output), 0);
    ASSERT_EQ(cli.run({"validate", dir.filePath("out.json")}, &output), 0);
    EXPECT_EQ(cli.run({"library", "remove", "x"}, &output), 1);
    ASSERT_EQ(cli.run({"library", "remove", "short pause"}, &output), 0) << output.toStdString();

    EXPECT_EQ(cli.run({"library", "schedule", "pause", "every", "5"}, &output), 1);
    EXPECT_TRUE(output.contains("cannot schedule: no systemd user manager runs for this session"))
        << output.toStdString();
    for (const QStringList& bad : {QStringList{"every", "0"},
                                   {"daily", "9:61", "mon"},
                                   {"daily", "09:00", "mon,xyz"},
                                   {"once", "tomorrow"},
                                   {"weekly"}})
        EXPECT_EQ(cli.run(QStringList{"library", "schedule", "pause"} + bad, &output), 2)
            << bad.join(' ').toStdString();
    EXPECT_EQ(cli.run({"library", "schedule", "pause", "once", "2001-01-01T10:00"}, &output), 1);
    EXPECT_EQ(cli.run({"library", "schedule", "pause", "none"}, &output), 0) << output.toStdString();
    ASSERT_EQ(cli.run({"library", "list"}, &output), 0);
    EXPECT_EQ(output, "pause\t1 events\t0.2 s\t-\t-\n");

    ASSERT_EQ(cli.run({"library", "remove", "PAUSE"}, &output), 0) << output.toStdString();
    ASSERT_EQ(cli.run({"library", "list"}, &output), 0);
    EXPECT_EQ(output, "");
    EXPECT_FALSE(QFile::exists(dir.filePath("data/LoopWren/macros/pause.json")));
}

} // namespace
} // namespace loopwren
