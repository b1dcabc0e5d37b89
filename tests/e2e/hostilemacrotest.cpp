#include "clilauncher.h"
#include "testfiles.h"
#include "x11probewindow.h"
#include "x11testsupport.h"

#include <gtest/gtest.h>

#include <csignal>

namespace loopwren {
namespace {

using test::macroEvent;

// Every macro that plays starts by pressing Shift, so the test sees it begin and can check that the
// stop lets go of it.
QByteArray playable(const QByteArrayList& rest)
{
    return test::macroText(QByteArrayList{macroEvent("keyDown", 0, R"(,"keyCode":56)")} + rest);
}

struct HostileMacro
{
    const char* name;
    QByteArray text;
    // 1: validate and play both refuse it with "Failed to load macro: " and the expected reason. 2: the
    // play options are wrong, and the expected complaint comes before anything is loaded. 0: it is
    // valid (validate prints the expected text), plays, and stops at once on the signal.
    int status;
    QByteArray expected;
    QStringList playOptions = {};
    // What the probe window receives first, before the stop.
    std::vector<std::string> playsFirst = {"key Shift_L down []"};
    int signal = SIGTERM;
};

// Each file is either refused with the reason, or plays and stops at once when asked, with every key
// and button let go: none hangs, crashes or holds the desktop hostage.
TEST(HostileMacroFiles, AreRefusedOrPlayUntilStopped)
{
    ASSERT_EQ(x11test::displayProblem(), "");
    QTemporaryDir folder;
    const CliLauncher cli{folder.path()};
    const HostileMacro macros[] = {
        {"nested 10,000 deep as the document", QByteArray(10000, '[') + QByteArray(10000, ']'), 1,
         "event 1 is not a JSON object"},
        {"speed 0",
         playable({macroEvent("wait", 1)}),
         2,
         "--speed takes a positive percentage",
         {"--speed", "0"}},
        {"a delay of 1e308 seconds",
         playable({macroEvent("wait", 1e308), macroEvent("keyUp", 0, R"(,"keyCode":56)")}), 0,
         "OK: 3 events\n"},
        {"a delay of 1e308 seconds at 1 %, beyond any double once slowed down",
         playable({macroEvent("wait", 1e308)}),
         0,
         "OK: 2 events\n",
         {"--speed", "1"}},
        // Negative delays play without waiting: an endless playback then posts as fast as it can.
        {"negative delays",
         playable(
             {macroEvent("keyDown", -1, R"(,"keyCode":0)"), macroEvent("keyUp", -1e308, R"(,"keyCode":0)")}),
         0, "OK: 3 events\n"},
        // The largest scrolls a file can hold take hours to post, one notch at a time.
        {"scrolls of -2^31 and 2^31-1 notches",
         playable({macroEvent("scroll", 0, R"(,"scrollDeltaY":-2147483648)"),
                   macroEvent("scroll", 0, R"(,"scrollDeltaX":2147483647)")}),
         0, "OK: 3 events\n"},
        // Events are told apart by their place, not their id: none is lost or played twice.
        {"duplicate ids, stopped with SIGINT",
         playable(
             {macroEvent("keyDown", 0.01, R"(,"keyCode":0)"), macroEvent("keyUp", 0.01, R"(,"keyCode":0)"),
              macroEvent("keyDown", 0.01, R"(,"keyCode":0)"), macroEvent("keyUp", 10, R"(,"keyCode":0)")}),
         0,
         "OK: 5 events\n",
         {},
         {"key Shift_L down []", "key a down [Shift]", "key a up [Shift]", "key a down [Shift]"},
         SIGINT}};
    for (const HostileMacro& macro : macros) {
        SCOPED_TRACE(macro.name);
        const QString path = folder.filePath(QString::number(&macro - macros) + ".json");
        ASSERT_TRUE(test::writeFile(path, macro.text));
        QByteArray output;
        if (macro.status == 2) {
            EXPECT_EQ(cli.run(QStringList{"play", path} + macro.playOptions, &output), 2);
            EXPECT_TRUE(output.contains(macro.expected)) << output.toStdString();
            continue;
        }
        if (macro.status == 1) {
            for (const char* command : {"validate", "play"}) {
                EXPECT_EQ(cli.run({command, path}, &output), 1) << command;
                EXPECT_TRUE(output.contains("Failed to load macro: " + macro.expected + "\n"))
                    << output.toStdString();
            }
            continue;
        }
        EXPECT_EQ(cli.run({"validate", path}, &output), 0);
        EXPECT_TRUE(output.startsWith(macro.expected)) << output.toStdString();
        std::string problem;
        auto probe = X11ProbeWindow::open(&problem);
        ASSERT_NE(probe, nullptr) << problem;
        auto player = cli.start(QStringList{"play", path, "--infinite"} + macro.playOptions);
        const std::vector<std::string> lines = probe->waitForLines(macro.playsFirst.size());
        ASSERT_GE(lines.size(), macro.playsFirst.size()) << "the playback did not start";
        EXPECT_EQ(std::vector(lines.begin(), lines.begin() + std::ssize(macro.playsFirst)), macro.playsFirst);
        ASSERT_EQ(player->state(), QProcess::Running) << player->readAll().toStdString();
        ::kill(static_cast<pid_t>(player->processId()), macro.signal);
        ASSERT_TRUE(player->waitForFinished(kProcessTimeoutMs)) << "still playing after the signal";
        EXPECT_EQ(player->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(player->exitCode(), 128 + macro.signal) << player->readAll().toStdString();
        EXPECT_EQ(probe->client().heldInput(), "") << "still held";
    }
}

} // namespace
} // namespace loopwren
