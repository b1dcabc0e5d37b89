#include "clilauncher.h"
#include "macrofile.h"
#include "probewindow.h"
#include "x11testenvironment.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>

namespace loopwren {
namespace {

using Lines = std::vector<std::string>;

class CliRecordPlay : public testing::Test
{
protected:
    void SetUp() override
    {
        const std::string problem = X11TestEnvironment::displayProblem();
        ASSERT_TRUE(problem.empty()) << problem;
        ASSERT_TRUE(m_config.isValid());
    }

    // loopwren-cli with its settings in a folder of this test's own.
    std::unique_ptr<QProcess> start(const QStringList& arguments)
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", m_config.path());
        environment.insert("XDG_STATE_HOME", file("state"));
        process->setProcessEnvironment(environment);
        process->start(QStringLiteral(LOOPWREN_CLI), arguments);
        EXPECT_TRUE(process->waitForStarted(kProcessTimeoutMs));
        return process;
    }

    QString file(const char* name) const { return m_config.filePath(QString::fromLatin1(name)); }

    static bool xdotool(const Lines& arguments) { return X11TestEnvironment::xdotool(arguments); }

    QTemporaryDir m_config;
};

// Whether every wanted line occurs in lines, in this order (other lines may come between).
bool inOrder(const Lines& lines, const Lines& wanted)
{
    auto at = lines.begin();
    for (const std::string& line : wanted) {
        at = std::find(at, lines.end(), line);
        if (at == lines.end())
            return false;
        ++at;
    }
    return true;
}

TEST_F(CliRecordPlay, WhatIsRecordedFromRealInputPlaysBackInOrderAtItsPlace)
{
    const QString macro = file("macro.json");
    auto recorder = start({"record", macro});
    ASSERT_TRUE(recorder->waitForReadyRead(kProcessTimeoutMs));
    ASSERT_TRUE(recorder->readLine().startsWith("Recording"));

    // Root (500, 400) is (300, 300) on the primary monitor at +200+100.
    ASSERT_TRUE(xdotool({"mousemove", "500", "400"}));
    ASSERT_TRUE(xdotool({"click", "1"}));
    ASSERT_TRUE(xdotool({"mousemove", "700", "450"}));
    ASSERT_TRUE(xdotool({"click", "3"}));
    ASSERT_TRUE(xdotool({"key", "a"}));
    ASSERT_TRUE(xdotool({"keydown", "super", "keydown", "v", "keyup", "v", "keyup", "super"}));
    ASSERT_TRUE(xdotool({"click", "5"}));
    // No pause needed: the recording's end collects every input the server took before it.
    recorder->terminate();
    ASSERT_TRUE(recorder->waitForFinished(kProcessTimeoutMs));
    EXPECT_EQ(recorder->exitCode(), 0);
    EXPECT_TRUE(recorder->readAllStandardOutput().contains("Recorded 9 events"));

    EXPECT_EQ(QFile::permissions(macro),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser)
        << "recorded keys are the owner's to read";
    const MacroReadResult recorded = readMacroFile(macro.toStdString());
    ASSERT_TRUE(recorded.ok()) << recorded.error;
    ASSERT_EQ(recorded.events.size(), 9u);
    EXPECT_EQ(recorded.events[0].location->x, 300);
    EXPECT_EQ(recorded.events[0].location->y, 300);
    EXPECT_EQ(recorded.events[6].keyCode, 9);
    EXPECT_EQ(recorded.events[6].flags.value_or(0) & 0x100000, 0x100000u)
        << "Command+V carries the command bit";

    std::string problem;
    auto probe = ProbeWindow::open(&problem);
    ASSERT_NE(probe, nullptr) << problem;
    probe->resetPointer(10, 10);
    auto player = start({"play", macro, "--speed", "400"});
    ASSERT_TRUE(player->waitForFinished(kProcessTimeoutMs));
    EXPECT_EQ(player->exitCode(), 0) << player->readAllStandardError().toStdString();

    const Lines lines = probe->waitForLines(14);
    EXPECT_TRUE(inOrder(lines,
                        {
                            "button 1 down 500,400 []",
                            "button 1 up 500,400 [Button1]",
                            "button 3 down 700,450 []",
                            "button 3 up 700,450 [Button3]",
                            "key a down []",
                            "key a up []",
                            "key Super_L down []",
                            "key v down [Mod4]",
                            "key v up [Mod4]",
                            "key Super_L up [Mod4]",
                            "button 5 down 700,450 []",
                            "button 5 up 700,450 [Button5]",
                        }))
        << testing::PrintToString(lines);
}

TEST_F(CliRecordPlay, StoppingAnEndlessPlaybackReleasesEveryKey)
{
    const QString macro = file("held.json");
    {
        QFile out(macro);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        // Shift goes down and stays down while a long wait runs.
        out.write(R"([
  {"id": "0F8FAD5B-D9CB-469F-A165-70867728950E", "type": "keyDown", "delaySincePrevious": 0, "keyCode": 56},
  {"id": "1F8FAD5B-D9CB-469F-A165-70867728950E", "type": "wait", "delaySincePrevious": 30}
])");
    }
    std::string problem;
    auto probe = ProbeWindow::open(&problem);
    ASSERT_NE(probe, nullptr) << problem;
    auto player = start({"play", macro, "--infinite"});
    const Lines pressed = probe->waitForLines(1);
    ASSERT_FALSE(pressed.empty());
    EXPECT_EQ(pressed.front(), "key Shift_L down []");
    ::kill(static_cast<pid_t>(player->processId()), SIGINT);
    ASSERT_TRUE(player->waitForFinished(kProcessTimeoutMs));
    EXPECT_EQ(player->exitCode(), 130);
    EXPECT_EQ(probe->waitForLines(2).back(), "key Shift_L up [Shift]");
}

// A destination that cannot take the file is refused before anything is recorded; one that goes away
// during the recording costs the file, not the recording.
TEST_F(CliRecordPlay, ARecordingIsNeverLostToItsDestination)
{
    auto refused = start({"record", "/nonexistent-folder/macro.json", "--duration", "600"});
    ASSERT_TRUE(refused->waitForFinished(kProcessTimeoutMs)) << "it recorded instead of refusing";
    EXPECT_EQ(refused->exitCode(), 1);
    EXPECT_EQ(refused->readAllStandardError(),
              "loopwren-cli: cannot save a recording there: /nonexistent-folder/macro.json: No such file or "
              "directory; nothing is recorded\n");

    QDir folder(file("gone"));
    ASSERT_TRUE(folder.mkpath("."));
    auto recorder = start({"record", folder.filePath("macro.json")});
    ASSERT_TRUE(recorder->waitForReadyRead(kProcessTimeoutMs));
    ASSERT_TRUE(xdotool({"key", "a"}));
    ASSERT_TRUE(folder.removeRecursively());
    recorder->terminate();
    ASSERT_TRUE(recorder->waitForFinished(kProcessTimeoutMs));
    EXPECT_EQ(recorder->exitCode(), 1);
    const QString errors = QString::fromUtf8(recorder->readAllStandardError());
    const QString prefix = QStringLiteral("loopwren-cli: the recording is kept in ");
    ASSERT_TRUE(errors.startsWith(prefix)) << errors.toStdString();
    const QString kept = errors.mid(prefix.size()).trimmed();
    EXPECT_TRUE(kept.startsWith(file("state/LoopWren/"))) << kept.toStdString();
    EXPECT_EQ(QFile::permissions(kept),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    const MacroReadResult recording = readMacroFile(kept.toStdString());
    ASSERT_TRUE(recording.ok()) << recording.error;
    EXPECT_EQ(recording.events.size(), 2u);
}

TEST(CliValidate, ReportsTheCountOrTheReason)
{
    QTemporaryDir dir;
    const QString good = dir.filePath("good.json");
    const QString bad = dir.filePath("bad.json");
    QFile goodFile(good);
    ASSERT_TRUE(goodFile.open(QIODevice::WriteOnly));
    goodFile.write(R"([{"id":"0F8FAD5B-D9CB-469F-A165-70867728950E","type":"wait","delaySincePrevious":1}])");
    goodFile.close();
    QFile badFile(bad);
    ASSERT_TRUE(badFile.open(QIODevice::WriteOnly));
    badFile.write(R"([{"id":"0F8FAD5B-D9CB-469F-A165-70867728950E","type":"wait","delaySincePrevious":1,
                      "keyCode":70000}])");
    badFile.close();

    QProcess process;
    process.start(QStringLiteral(LOOPWREN_CLI), {"validate", good});
    ASSERT_TRUE(process.waitForFinished(kProcessTimeoutMs));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_EQ(process.readAllStandardOutput(), "OK: 1 events\n");
    process.start(QStringLiteral(LOOPWREN_CLI), {"validate", bad});
    ASSERT_TRUE(process.waitForFinished(kProcessTimeoutMs));
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_EQ(process.readAllStandardOutput(),
              "Failed to load macro: event 1: \"keyCode\" 70000 is out of range\n");
}

} // namespace
} // namespace loopwren
