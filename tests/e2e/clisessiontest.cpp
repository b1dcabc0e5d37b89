#include "clilauncher.h"
#include "testdesktop.h"
#include "testfiles.h"
#include "x11testsupport.h"

#include <gtest/gtest.h>

namespace loopwren {
namespace {

using namespace x11test;
using namespace test;

class CliSession : public testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(displayProblem(), ""); }

    QTemporaryDir m_folder;
    CliLauncher m_cli{m_folder.path()};
};

// Listing offers every application but LoopWren's own window, and neither listing nor placing changes
// the stored settings: on an empty configuration no file is even made.
TEST_F(CliSession, AppsAndPlaceLeaveTheSettingsAloneAndNeverOfferLoopWren)
{
    TestDesktop desktop;
    ASSERT_EQ(desktop.problem(), "");
    ASSERT_FALSE(desktop.start({"loopwren", "LoopWren"}).empty() ||
                 desktop.start({"zebrapad", "Zebrapad"}).empty());
    QByteArray output;
    EXPECT_EQ(m_cli.run({"apps"}, &output), 0);
    EXPECT_TRUE(output.contains("Zebrapad\n") && !output.contains("LoopWren")) << output.toStdString();
    EXPECT_EQ(m_cli.run({"place"}), 1);
    EXPECT_FALSE(QFile::exists(m_cli.settingsPath()));
}

// What the session cannot do is refused with the reason, in the doctor's words, and points to it: a
// desktop with no known way to list windows, an X server without RECORD.
TEST_F(CliSession, RefusalsSayWhyAndPointToTheDoctor)
{
    const CliLauncher unknownDesktop{m_folder.path(), {}, {}, {"XDG_CURRENT_DESKTOP", "SWAYSOCK"}};
    const QByteArray noWindows =
        "in this session: none known for this desktop: no window list, no placing of "
        "windows; run loopwren-cli doctor for what to do\n";
    QByteArray output;
    EXPECT_EQ(unknownDesktop.run({"apps", "--backend", "kernel"}, &output), 1);
    EXPECT_EQ(output, "loopwren-cli: cannot list the running applications " + noWindows);
    EXPECT_EQ(unknownDesktop.run({"place", "--backend", "kernel"}, &output), 1);
    EXPECT_EQ(output, "loopwren-cli: cannot bring the target application forward " + noWindows);

    const PrivateXServer server({"Xvfb", "-screen", "0", "640x480x24", "-extension", "RECORD"});
    ASSERT_NE(server.display(), "");
    const CliLauncher withoutRecord{m_folder.path(), QString::fromStdString(server.display())};
    EXPECT_EQ(withoutRecord.run({"record", m_folder.filePath("macro.json"), "--backend", "x11"}, &output), 1);
    EXPECT_EQ(output, "loopwren-cli: cannot record in this session: the X server offers no XTEST or RECORD "
                      "extension; run loopwren-cli doctor for what to do\n");
}

// Two players at once would post every key twice: the second is refused while the first plays, unless
// asked to play alongside it.
TEST_F(CliSession, ASecondPlayerOfTheSessionIsRefusedUnlessConcurrent)
{
    for (const auto& [name, seconds] : {std::pair{"long.json", 600}, {"short.json", 0}})
        ASSERT_TRUE(writeFile(m_folder.filePath(name), macroText({macroEvent("wait", seconds)})));
    auto first = m_cli.start({"play", m_folder.filePath("long.json")});
    // It holds the lock once it has written its process id into the lock file.
    const QByteArray pid = QByteArray::number(first->processId());
    ASSERT_TRUE(eventually(
        [&] { return readFile(m_folder.filePath("runtime/loopwren-playback.lock")).trimmed() == pid; }));

    const QStringList second = {"play", m_folder.filePath("short.json")};
    QByteArray output;
    EXPECT_EQ(m_cli.run(second, &output), 1);
    EXPECT_EQ(output,
              "Playback refused: another playback is running in this session (loopwren-cli, process " + pid +
                  ")\nloopwren-cli: nothing is played; --concurrent plays alongside the other "
                  "playback\n");
    EXPECT_EQ(m_cli.run(second + QStringList{"--concurrent"}), 0);
    first->terminate();
    ASSERT_TRUE(first->waitForFinished(kProcessTimeoutMs));
    EXPECT_EQ(m_cli.run(second), 0) << "the lock went with the first player";
}

} // namespace
} // namespace loopwren
