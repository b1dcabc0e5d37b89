#include "clilauncher.h"
#include "testdesktop.h"
#include "x11testsupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace loopwren {
namespace {

using namespace x11test;

class CliSession : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(displayProblem(), "");
        ASSERT_TRUE(m_folder.isValid());
    }

    QTemporaryDir m_folder;
    CliLauncher m_cli{m_folder.path()};
};

// Listing offers every application but LoopWren's own window, and neither it nor placing changes the
// stored settings: on an empty configuration no file is even made.
TEST_F(CliSession, AppsAndPlaceLeaveTheSettingsAloneAndNeverOfferLoopWren)
{
    TestDesktop desktop;
    ASSERT_EQ(desktop.problem(), "");
    ASSERT_FALSE(desktop.start({"loopwren", "LoopWren"}).empty());
    ASSERT_FALSE(desktop.start({"zebrapad", "Zebrapad"}).empty());
    QByteArray output;
    EXPECT_EQ(m_cli.run({"apps"}, &output), 0);
    EXPECT_TRUE(output.contains("Zebrapad\n") && !output.contains("LoopWren")) << output.toStdString();
    EXPECT_EQ(m_cli.run({"place"}, &output), 1);
    EXPECT_FALSE(QFile::exists(m_cli.settingsPath()));
}

// Where the desktop offers no way to list windows, both say so and fail, in the doctor's words.
TEST_F(CliSession, WhereTheDesktopListsNoWindowsAppsAndPlaceSayWhy)
{
    const CliLauncher unknownDesktop{
        m_folder.path(), {}, "wayland", {"XDG_CURRENT_DESKTOP", "SWAYSOCK", "HYPRLAND_INSTANCE_SIGNATURE"}};
    const QByteArray reason = "none known for this desktop: no window list, no placing of windows; run "
                              "loopwren-cli doctor for what to do\n";
    QByteArray output;
    EXPECT_EQ(unknownDesktop.run({"apps", "--backend", "kernel"}, &output), 1);
    EXPECT_EQ(output, "loopwren-cli: cannot list the running applications in this session: " + reason);
    EXPECT_EQ(unknownDesktop.run({"place", "--backend", "kernel"}, &output), 1);
    EXPECT_EQ(output, "loopwren-cli: cannot bring the target application forward in this session: " + reason);
}

// On a server without RECORD (and so not fit for LoopWren), the refusals name the reason and the doctor.
TEST_F(CliSession, RefusalsPointToTheDoctor)
{
    const PrivateXServer server({"-extension", "RECORD"});
    ASSERT_NE(server.display(), "");
    const CliLauncher cli{m_folder.path(), QString::fromStdString(server.display())};
    QByteArray output;
    EXPECT_EQ(cli.run({"record", m_folder.filePath("macro.json"), "--backend", "x11"}, &output), 1);
    EXPECT_EQ(output, "loopwren-cli: cannot record in this session: the X server offers no XTEST or RECORD "
                      "extension; run loopwren-cli doctor for what to do\n");
}

// Two players at once would post every key twice: the second is refused while the first plays, unless
// asked to play alongside it.
TEST_F(CliSession, ASecondPlayerOfTheSessionIsRefusedUnlessConcurrent)
{
    const auto waitMacro = [&](const char* name, const char* seconds) {
        const QString path = m_folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) &&
                    file.write(R"([{"id":"0F8FAD5B-D9CB-469F-A165-70867728950E","type":"wait",)"
                               R"("delaySincePrevious":)" +
                               QByteArray(seconds) + "}]") > 0);
        return path;
    };
    const QString waiting = waitMacro("wait.json", "600");
    const QString instant = waitMacro("instant.json", "0");
    auto first = m_cli.start({"play", waiting});
    // It holds the lock once it has written its process id into the lock file.
    QFile lock(m_folder.filePath("runtime/loopwren-playback.lock"));
    const QByteArray pid = QByteArray::number(first->processId());
    ASSERT_TRUE(waitUntil([&] {
        const bool read = lock.open(QIODevice::ReadOnly);
        const bool held = read && lock.readAll().trimmed() == pid;
        lock.close();
        return held;
    }));

    QByteArray output;
    EXPECT_EQ(m_cli.run({"play", instant}, &output), 1);
    EXPECT_EQ(output,
              "Playback refused: another playback is running in this session (loopwren-cli, process " + pid +
                  ")\nloopwren-cli: nothing is played; --concurrent plays alongside the other "
                  "playback\n");
    EXPECT_EQ(m_cli.run({"play", instant, "--concurrent"}, &output), 0) << output.toStdString();

    first->terminate();
    ASSERT_TRUE(first->waitForFinished(kProcessTimeoutMs));
    EXPECT_EQ(first->exitCode(), 143);
    EXPECT_EQ(m_cli.run({"play", instant}), 0) << "the lock went with the first player";
}

} // namespace
} // namespace loopwren
