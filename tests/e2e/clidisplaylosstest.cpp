#include "clilauncher.h"
#include "heldinput.h"
#include "privatexserver.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <thread>

namespace loopwren {
namespace {

using namespace std::chrono_literals;

constexpr int kShiftLeft = 50; // X keycode of Shift_L

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 60s)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

// loopwren-cli on an X server of the test's own, which the test then kills with SIGKILL, as when a
// server crashes. The command must notice, say so, and end with a failure, leaving every file as it was.
class CliDisplayLoss : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        ASSERT_FALSE(m_server.displayName().empty()) << m_server.problem();
        m_cli = std::make_unique<CliLauncher>(m_folder.filePath("config"),
                                              QString::fromStdString(m_server.displayName()));
        // Settings a user changed, in the form the tool keeps them: it rewrites the file once here.
        ASSERT_TRUE(QDir().mkpath(m_folder.filePath("config/LoopWren")));
        write(m_cli->settingsPath(),
              "[General]\ntargetAppName=Notes\ntargetWindowX=33\nshowDeleteConfirmation=false\n");
        write(m_folder.filePath("empty.json"), "[]");
        QByteArray output;
        ASSERT_EQ(m_cli->run({"play", m_folder.filePath("empty.json")}, &output), 0) << output.toStdString();
        m_settings = contents(m_cli->settingsPath());
        ASSERT_TRUE(m_settings.contains("targetAppName=Notes")) << m_settings.toStdString();
    }

    // Crashes the server once the command is under way, then waits for the command to end.
    void crashServerUnder(QProcess& process)
    {
        m_server.crash();
        ASSERT_TRUE(process.waitForFinished(kProcessTimeoutMs)) << "still running after the server died";
        m_output = process.readAllStandardOutput() + process.readAllStandardError();
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << "crashed: " << m_output.toStdString();
        EXPECT_EQ(process.exitCode(), 1) << m_output.toStdString();
    }

    QString lossMessage(const char* consequence) const
    {
        return QStringLiteral("loopwren-cli: lost the connection to the X display %1; %2\n")
            .arg(QString::fromStdString(m_server.displayName()), QString::fromLatin1(consequence));
    }

    QTemporaryDir m_folder;
    PrivateXServer m_server;
    std::unique_ptr<CliLauncher> m_cli;
    QByteArray m_settings;
    QByteArray m_output;
};

class CliDisplayLossWhileRecording : public CliDisplayLoss, public testing::WithParamInterface<bool>
{
};

// The recording would otherwise go on capturing nothing until its duration ends and then save what
// it has as if it were complete.
TEST_P(CliDisplayLossWhileRecording, DiscardsTheRecordingAndLeavesEveryFileAsItWas)
{
    const bool fileExists = GetParam();
    const QString out = m_folder.filePath("out.json");
    if (fileExists)
        write(out, "[]\n");
    const QStringList before = QDir(m_folder.path()).entryList(QDir::AllEntries | QDir::Hidden);

    auto recorder = m_cli->start({"record", out, "--duration", "30"});
    ASSERT_TRUE(recorder->waitForReadyRead(kProcessTimeoutMs));
    ASSERT_TRUE(recorder->readLine().startsWith("Recording"));
    crashServerUnder(*recorder);

    EXPECT_TRUE(m_output.contains(lossMessage("the recording is discarded").toUtf8()))
        << m_output.toStdString();
    EXPECT_FALSE(m_output.contains("Recorded")) << m_output.toStdString();
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::AllEntries | QDir::Hidden), before)
        << "a file was created";
    if (fileExists) {
        EXPECT_EQ(contents(out), "[]\n");
    }
    EXPECT_EQ(contents(m_cli->settingsPath()), m_settings);
}

INSTANTIATE_TEST_SUITE_P(IntoANewOrAnExistingFile, CliDisplayLossWhileRecording, testing::Bool());

// Without the server nothing can be posted or released any more; an endless playback that did not
// notice would run for ever (or crash, once the dead connection's buffer is full).
TEST_F(CliDisplayLoss, EndsAnEndlessPlaybackAndLeavesEveryFileAsItWas)
{
    const QString macro = m_folder.filePath("macro.json");
    // Shift goes down, then events follow quickly, so the player is busy posting when the server dies.
    QByteArray text =
        R"([{"id":"0F8FAD5B-D9CB-469F-A165-70867728950E","type":"keyDown","delaySincePrevious":0,"keyCode":56})";
    for (int i = 0; i < 20; ++i)
        text +=
            R"(,{"id":"1F8FAD5B-D9CB-469F-A165-70867728950E","type":"mouseMoved","delaySincePrevious":0.002,"location":[)" +
            QByteArray::number(i * 10) + ",10]}";
    text += "]";
    write(macro, text);

    auto player = m_cli->start({"play", macro, "--infinite"});
    ASSERT_TRUE(waitFor([&] {
        const HeldInput held = HeldInput::query(m_server.displayName());
        return std::find(held.keycodes.begin(), held.keycodes.end(), kShiftLeft) != held.keycodes.end();
    })) << "the playback did not start";
    crashServerUnder(*player);

    EXPECT_TRUE(m_output.contains(lossMessage("the playback stops").toUtf8())) << m_output.toStdString();
    EXPECT_EQ(contents(macro), text);
    EXPECT_EQ(contents(m_cli->settingsPath()), m_settings);
}

} // namespace
} // namespace loopwren
