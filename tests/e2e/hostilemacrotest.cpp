#include "clilauncher.h"
#include "heldinput.h"
#include "probewindow.h"
#include "x11testenvironment.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

namespace loopwren {
namespace {

QByteArray repeated(const char* text, int times) { return QByteArray(text).repeated(times); }

QByteArray event(const char* type, const QByteArray& delay, const QByteArray& extra = {},
                 const char* id = "0F8FAD5B-D9CB-469F-A165-70867728950E")
{
    return QByteArray(R"({"id":")") + id + R"(","type":")" + type + R"(","delaySincePrevious":)" + delay +
           extra + "}";
}

// Every macro that plays starts by pressing Shift, so the test sees it begin and can check that the
// stop lets go of it.
QByteArray playable(const QByteArrayList& rest)
{
    return "[" + event("keyDown", "0", R"(,"keyCode":56)") + "," + rest.join(',') + "]";
}

enum class Outcome
{
    refused,      // validate and play both say "Failed to load macro: ..." and exit 1
    refusedUsage, // the options are wrong: exit 2 before anything is loaded
    plays,        // loads, plays, and stops at once on SIGTERM with nothing left held
};

struct HostileMacro
{
    const char* name;
    QByteArray text;
    Outcome outcome;
    // refused: the reason that follows "Failed to load macro: ". refusedUsage: the complaint.
    // plays: what validate prints.
    QByteArray expected;
    QStringList playOptions = {};
    // plays: what the probe window receives first, before the stop.
    std::vector<std::string> playsFirst = {"key Shift_L down []"};
};

std::vector<HostileMacro> hostileMacros()
{
    const QByteArray deepArrays = repeated("[", 10000) + repeated("]", 10000);
    const QByteArray deepObjects = repeated(R"({"a":)", 10000) + "1" + repeated("}", 10000);
    return {
        {"nested 10,000 deep as the document", deepArrays, Outcome::refused, "event 1 is not a JSON object"},
        {"arrays nested 10,000 deep in an unknown member",
         "[" + event("wait", "0", R"(,"notes":)" + deepArrays) + "]", Outcome::refused,
         R"(event 1: "notes" is nested too deeply)"},
        {"objects nested 10,000 deep in an unknown member",
         "[" + event("wait", "0", R"(,"notes":)" + deepObjects) + "]", Outcome::refused,
         R"(event 1: "notes" is nested too deeply)"},
        {"a delay beyond any double", "[" + event("wait", "1e309") + "]", Outcome::refused,
         R"(event 1: "delaySincePrevious" 1e309 is not a finite number)"},
        {"a delay of 1e308 seconds",
         playable({event("wait", "1e308"), event("keyUp", "0", R"(,"keyCode":56)")}), Outcome::plays,
         "OK: 3 events\n"},
        {"a delay of 1e300 seconds at 1 %",
         playable({event("wait", "1e300")}),
         Outcome::plays,
         "OK: 2 events\n",
         {"--speed", "1"}},
        {"a delay of 1e308 seconds at 1 %, beyond any double once slowed down",
         playable({event("wait", "1e308")}),
         Outcome::plays,
         "OK: 2 events\n",
         {"--speed", "1"}},
        {"speed 0",
         playable({event("wait", "1")}),
         Outcome::refusedUsage,
         "--speed takes a positive percentage",
         {"--speed", "0"}},
        // Negative delays play without waiting: an endless playback then posts as fast as it can.
        {"negative delays",
         playable({event("keyDown", "-1", R"(,"keyCode":0)"), event("keyUp", "-1e308", R"(,"keyCode":0)")}),
         Outcome::plays, "OK: 3 events\n"},
        {"a scroll of 2^31 notches", "[" + event("scroll", "0", R"(,"scrollDeltaY":2147483648)") + "]",
         Outcome::refused, R"(event 1: "scrollDeltaY" 2147483648 is out of range)"},
        {"a scroll of 1e300 notches", "[" + event("scroll", "0", R"(,"scrollDeltaY":1e300)") + "]",
         Outcome::refused, R"(event 1: "scrollDeltaY" 1e300 is out of range)"},
        {"a scroll of -1e300 notches", "[" + event("scroll", "0", R"(,"scrollDeltaX":-1e300)") + "]",
         Outcome::refused, R"(event 1: "scrollDeltaX" -1e300 is out of range)"},
        // The largest scrolls a file can hold take hours to post, one notch at a time.
        {"scrolls of -2^31 and 2^31-1 notches",
         playable({event("scroll", "0", R"(,"scrollDeltaY":-2147483648)"),
                   event("scroll", "0", R"(,"scrollDeltaX":2147483647)")}),
         Outcome::plays, "OK: 3 events\n"},
        {"duplicate ids",
         playable({event("keyDown", "0.01", R"(,"keyCode":0)"), event("keyUp", "0.01", R"(,"keyCode":0)"),
                   event("keyDown", "0.01", R"(,"keyCode":0)"), event("keyUp", "10", R"(,"keyCode":0)")}),
         Outcome::plays,
         "OK: 5 events\n",
         {},
         // Events are told apart by their place, not their id: none is lost or played twice.
         {"key Shift_L down []", "key a down [Shift]", "key a up [Shift]", "key a down [Shift]"}},
    };
}

class HostileMacroFiles : public testing::Test
{
protected:
    void SetUp() override
    {
        const std::string problem = X11TestEnvironment::displayProblem();
        ASSERT_TRUE(problem.empty()) << problem;
        ASSERT_TRUE(m_folder.isValid());
    }

    QString write(const HostileMacro& macro)
    {
        const QString path = m_folder.filePath(QString::number(m_count++) + ".json");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(macro.text);
        return path;
    }

    void expectRefused(const HostileMacro& macro, const QString& path)
    {
        const QByteArray line = "Failed to load macro: " + macro.expected + "\n";
        for (const char* command : {"validate", "play"}) {
            QByteArray output;
            EXPECT_EQ(m_cli.run({command, path}, &output), 1) << command;
            EXPECT_TRUE(output.endsWith(line)) << command << ": " << output.toStdString();
        }
    }

    void expectRefusedUsage(const HostileMacro& macro, const QString& path)
    {
        QByteArray output;
        EXPECT_EQ(m_cli.run(QStringList{"play", path} + macro.playOptions, &output), 2);
        EXPECT_TRUE(output.contains(macro.expected)) << output.toStdString();
    }

    void expectPlaysUntilStopped(const HostileMacro& macro, const QString& path)
    {
        QByteArray output;
        EXPECT_EQ(m_cli.run({"validate", path}, &output), 0);
        EXPECT_EQ(output, macro.expected);

        std::string problem;
        auto probe = ProbeWindow::open(&problem);
        ASSERT_NE(probe, nullptr) << problem;
        auto player = m_cli.start(QStringList{"play", path, "--infinite"} + macro.playOptions);
        const std::vector<std::string> lines = probe->waitForLines(macro.playsFirst.size());
        ASSERT_GE(lines.size(), macro.playsFirst.size()) << "the playback did not start";
        EXPECT_EQ(
            std::vector(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(macro.playsFirst.size())),
            macro.playsFirst);
        ASSERT_TRUE(player->state() == QProcess::Running) << player->readAll().toStdString();

        ::kill(static_cast<pid_t>(player->processId()), SIGTERM);
        ASSERT_TRUE(player->waitForFinished(kProcessTimeoutMs)) << "still playing after SIGTERM";
        EXPECT_EQ(player->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(player->exitCode(), 128 + SIGTERM) << player->readAll().toStdString();
        const HeldInput held = HeldInput::query();
        EXPECT_TRUE(held.isNothing()) << held.text();
    }

    QTemporaryDir m_folder;
    CliLauncher m_cli{m_folder.filePath("config")};
    int m_count = 0;
};

// Each file is either refused with the reason, or plays and stops at once when asked, with every key
// and button let go: none hangs, crashes or holds the desktop hostage.
TEST_F(HostileMacroFiles, AreRefusedOrPlayUntilStopped)
{
    for (const HostileMacro& macro : hostileMacros()) {
        SCOPED_TRACE(macro.name);
        const QString path = write(macro);
        switch (macro.outcome) {
        case Outcome::refused:
            expectRefused(macro, path);
            break;
        case Outcome::refusedUsage:
            expectRefusedUsage(macro, path);
            break;
        case Outcome::plays:
            expectPlaysUntilStopped(macro, path);
            break;
        }
    }
}

} // namespace
} // namespace loopwren
