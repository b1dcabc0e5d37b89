#include "clilauncher.h"
#include "macrofile.h"
#include "testfiles.h"
#include "x11probewindow.h"
#include "x11testsupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace loopwren {
namespace {

using test::kOwnerOnly;
using x11test::xdotool;

class CliRecordPlay : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(x11test::displayProblem(), "");
        ASSERT_TRUE(m_folder.isValid());
    }

    QTemporaryDir m_folder;
    CliLauncher m_cli{m_folder.path()};
};

TEST_F(CliRecordPlay, WhatIsRecordedFromRealInputPlaysBackInOrderAtItsPlace)
{
    const QString macro = m_folder.filePath("macro.json");
    auto recorder = m_cli.start({"record", macro});
    ASSERT_TRUE(recorder->waitForReadyRead(kProcessTimeoutMs));
    ASSERT_TRUE(recorder->readLine().startsWith("Recording"));
    // Root (500, 400) is (300, 300) on the primary monitor at +200+100.
    ASSERT_TRUE(xdotool({"mousemove", "500", "400",   "click", "1",       "mousemove", "700",     "450",
                         "click",     "3",   "key",   "a",     "keydown", "super",     "keydown", "v",
                         "keyup",     "v",   "keyup", "super", "click",   "5"}));
    // No pause needed: the recording's end collects every input the server took before it.
    recorder->terminate();
    ASSERT_TRUE(recorder->waitForFinished(kProcessTimeoutMs));
    EXPECT_EQ(recorder->exitCode(), 0);
    EXPECT_TRUE(recorder->readAllStandardOutput().contains("Recorded 9 events"));
    EXPECT_EQ(QFile::permissions(macro), kOwnerOnly) << "recorded keys are the owner's to read";
    const MacroReadResult recorded = readMacroFile(macro.toStdString());
    ASSERT_TRUE(recorded.ok()) << recorded.error;
    ASSERT_EQ(recorded.events.size(), 9u);
    EXPECT_TRUE(recorded.events[0].location && recorded.events[0].location->x == 300 &&
                recorded.events[0].location->y == 300);
    EXPECT_EQ(recorded.events[6].keyCode, 9);
    EXPECT_EQ(recorded.events[6].flags.value_or(0) & 0x100000, 0x100000u)
        << "Command+V carries the command bit";

    std::string problem;
    auto probe = X11ProbeWindow::open(&problem);
    ASSERT_NE(probe, nullptr) << problem;
    probe->movePointer(10, 10);
    EXPECT_EQ(m_cli.run({"play", macro, "--speed", "400"}), 0);
    std::vector<std::string> lines = probe->waitForLines(14);
    // Only the clicks and keys: how the pointer travels between them is the player's to choose.
    std::erase_if(lines, [](const std::string& line) { return line.starts_with("motion"); });
    EXPECT_EQ(lines,
              (std::vector<std::string>{"button 1 down 500,400 []", "button 1 up 500,400 [Button1]",
                                        "button 3 down 700,450 []", "button 3 up 700,450 [Button3]",
                                        "key a down []", "key a up []", "key Super_L down []",
                                        "key v down [Mod4]", "key v up [Mod4]", "key Super_L up [Mod4]",
                                        "button 5 down 700,450 []", "button 5 up 700,450 [Button5]"}));
}

// A destination that cannot take the file is refused before anything is recorded; one that goes away
// during the recording costs the file, not the recording.
TEST_F(CliRecordPlay, ARecordingIsNeverLostToItsDestination)
{
    QByteArray output;
    EXPECT_EQ(m_cli.run({"record", "/nonexistent-folder/macro.json", "--duration", "600"}, &output), 1);
    EXPECT_EQ(output,
              "loopwren-cli: cannot save a recording there: /nonexistent-folder/macro.json: No such file "
              "or directory; nothing is recorded\n");

    QDir folder(m_folder.filePath("gone"));
    ASSERT_TRUE(folder.mkpath("."));
    auto recorder = m_cli.start({"record", folder.filePath("macro.json")});
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
    EXPECT_TRUE(kept.startsWith(m_folder.filePath("state/LoopWren/"))) << kept.toStdString();
    EXPECT_EQ(QFile::permissions(kept), kOwnerOnly);
    const MacroReadResult recording = readMacroFile(kept.toStdString());
    ASSERT_TRUE(recording.ok()) << recording.error;
    EXPECT_EQ(recording.events.size(), 2u);
}

// The doctor names the backend the other commands would choose and says whether it both records and
// plays: the X server here, the kernel's devices in a Wayland session (whatever this machine's kernel
// offers them, which the exit status then follows).
TEST_F(CliRecordPlay, TheDoctorSaysWhichBackendServesAndWhetherItWorks)
{
    QByteArray output;
    EXPECT_EQ(m_cli.run({"doctor"}, &output), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("ok  X display ") && output.contains("--  backend: x11\n") &&
                output.contains("ok  playback: works\n"))
        << output.toStdString();
    // No user manager answers on the test's runtime folder: the doctor says so, and it does not count.
    EXPECT_TRUE(output.contains("NO  schedules: no systemd user manager runs for this session"))
        << output.toStdString();
    EXPECT_TRUE(output.contains("ok  desktop services: the X server: windows listed and placed (through the "
                                "window manager), pointer positions\n") &&
                !output.contains("no window list"))
        << output.toStdString();

    const CliLauncher wayland{m_folder.path(), {}, "wayland"};
    const int status = wayland.run({"doctor"}, &output);
    EXPECT_TRUE(output.contains("--  session: wayland") && output.contains("--  backend: kernel\n"))
        << output.toStdString();
    const bool works = output.contains("ok  recording: works\n") && output.contains("ok  playback: works\n");
    EXPECT_EQ(status, works ? 0 : 1) << output.toStdString();
}

} // namespace
} // namespace loopwren
