#include "clilauncher.h"
#include "testfiles.h"
#include "x11testclient.h"
#include "x11testsupport.h"

#include <gtest/gtest.h>

namespace loopwren {
namespace {

using test::readFile;
using test::writeFile;

// loopwren-cli on an X server of the test's own, which the test then kills with SIGKILL, as when a
// server crashes. The command must notice, say so, and end with a failure, leaving every file as it was.
class CliDisplayLoss : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        ASSERT_NE(m_server.display(), "");
        // Settings a user changed, as QSettings writes them; the tool reads them and never writes them.
        ASSERT_TRUE(QDir().mkpath(m_folder.filePath("config/LoopWren")));
        ASSERT_TRUE(writeFile(m_cli.settingsPath(), kSettings));
    }

    // Crashes the server once the command is under way, then expects the command to end, saying why.
    void crashServerUnder(QProcess& process, const char* consequence)
    {
        m_server.stop();
        ASSERT_TRUE(process.waitForFinished(kProcessTimeoutMs)) << "still running after the server died";
        const QByteArray output = process.readAllStandardOutput() + process.readAllStandardError();
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << "crashed: " << output.toStdString();
        EXPECT_EQ(process.exitCode(), 1) << output.toStdString();
        EXPECT_TRUE(output.contains("loopwren-cli: lost the connection to the X display " +
                                    m_server.display() + "; " + consequence + "\n"))
            << output.toStdString();
        EXPECT_FALSE(output.contains("Recorded")) << output.toStdString();
        EXPECT_EQ(readFile(m_cli.settingsPath()), kSettings);
    }

    QTemporaryDir m_folder;
    x11test::PrivateXServer m_server;
    CliLauncher m_cli{m_folder.path(), QString::fromStdString(m_server.display())};
    const QByteArray kSettings =
        "[General]\ntargetAppName=Notes\ntargetWindowX=33\nshowDeleteConfirmation=false\n";
};

class CliDisplayLossWhileRecording : public CliDisplayLoss, public testing::WithParamInterface<const char*>
{
};

// The recording would otherwise go on capturing nothing until its duration ends and then save what
// it has as if it were complete: into a new file, or over an existing one.
TEST_P(CliDisplayLossWhileRecording, DiscardsTheRecordingAndLeavesEveryFileAsItWas)
{
    const QString out = m_folder.filePath("out.json");
    ASSERT_TRUE(!GetParam() || writeFile(out, GetParam()));
    auto recorder = m_cli.start({"record", out, "--duration", "30"});
    ASSERT_TRUE(recorder->waitForReadyRead(kProcessTimeoutMs));
    ASSERT_TRUE(recorder->readLine().startsWith("Recording"));
    const QStringList before = QDir(m_folder.path()).entryList(QDir::AllEntries | QDir::Hidden);
    crashServerUnder(*recorder, "the recording is discarded");
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::AllEntries | QDir::Hidden), before)
        << "a file was created";
    EXPECT_EQ(readFile(out), GetParam() ? QByteArray(GetParam()) : "<missing>");
}

INSTANTIATE_TEST_SUITE_P(IntoANewOrAnExistingFile, CliDisplayLossWhileRecording,
                         testing::Values(nullptr, "[]\n"));

// Without the server nothing can be posted or released any more; an endless playback that did not
// notice would run for ever (or crash, once the dead connection's buffer is full).
TEST_F(CliDisplayLoss, EndsAnEndlessPlaybackAndLeavesEveryFileAsItWas)
{
    const QString macro = m_folder.filePath("macro.json");
    // Shift goes down, then events follow quickly, so the player is busy posting when the server dies.
    QByteArrayList events{test::macroEvent("keyDown", 0, R"(,"keyCode":56)")};
    for (int i = 0; i < 20; ++i)
        events << test::macroEvent("mouseMoved", 0.002,
                                   R"(,"location":[)" + QByteArray::number(i * 10) + ",10]");
    const QByteArray text = test::macroText(events);
    ASSERT_TRUE(writeFile(macro, text));
    auto player = m_cli.start({"play", macro, "--infinite"});
    // Shift_L is keycode 50.
    ASSERT_TRUE(test::eventually([&] {
        return x11test::X11TestClient(m_server.display()).heldInput().find(" key 50") == 0;
    })) << "the playback did not start";
    crashServerUnder(*player, "the playback stops");
    EXPECT_EQ(readFile(macro), text);
}

} // namespace
} // namespace loopwren
