#include "clilauncher.h"
#include "x11testclient.h"
#include "x11testsupport.h"

#include <QFile>

#include <gtest/gtest.h>

namespace loopwren {
namespace {

const QByteArray kStopped = "Playback stopped: you used the mouse or keyboard";

QByteArray event(const char* type, double delay, const QByteArray& extra = {})
{
    return R"({"id":"0F8FAD5B-D9CB-469F-A165-70867728950E","type":")" + QByteArray(type) +
           R"(","delaySincePrevious":)" + QByteArray::number(delay) + extra + "}";
}

// A playback with --stop-on-input on a nested X server, Xephyr, whose screen is a window on the test
// session's display. Input that xdotool sends to that window on the outer display reaches the nested
// server through Xephyr's own keyboard and mouse, as a person's input would through theirs; the
// playback's own input reaches it through the XTEST devices.
class CliStopOnInput : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(x11test::displayProblem(), "");
        ASSERT_TRUE(m_folder.isValid());
        ASSERT_NE(m_nested.display(), "") << "Xephyr did not start (package xserver-xephyr)";
        // Xephyr's window on the outer display, with the keyboard focus.
        ASSERT_TRUE(x11test::xdotool({"search", "--sync", "--name", "LoopWren nested", "windowfocus", "--sync",
                                      "%1"}));
    }

    QString write(const char* name, const QByteArrayList& events)
    {
        const QString path = m_folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write("[" + events.join(',') + "]") > 0);
        return path;
    }

    // Starts an endless playback that holds Shift and moves the pointer, and returns once the nested
    // server sees Shift held: the watch is on by then.
    std::unique_ptr<QProcess> startEndlessPlayback()
    {
        QByteArrayList events{event("keyDown", 0, R"(,"keyCode":56)")};
        for (int i = 0; i < 20; ++i)
            events << event("mouseMoved", 0.01, R"(,"location":[)" + QByteArray::number(100 + i * 10) + ",300]");
        auto player = m_cli.start({"play", write("endless.json", events), "--infinite", "--stop-on-input"});
        EXPECT_TRUE(test::eventually(
            [&] { return x11test::X11TestClient(m_nested.display()).heldInput().find(" key 50") == 0; }))
            << "the playback did not start";
        return player;
    }

    // The playback ends, as a stop by the hotkey ends it, saying why, with nothing held.
    void expectStoppedByTheUser(QProcess& player)
    {
        ASSERT_TRUE(player.waitForFinished(kProcessTimeoutMs)) << "the user's input did not stop it";
        const QByteArray output = player.readAllStandardOutput() + player.readAllStandardError();
        EXPECT_EQ(player.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(player.exitCode(), 0) << output.toStdString();
        EXPECT_TRUE(output.contains(kStopped)) << output.toStdString();
        EXPECT_EQ(x11test::X11TestClient(m_nested.display()).heldInput(), "");
    }

    QTemporaryDir m_folder;
    x11test::PrivateXServer m_nested{{"Xephyr", "-screen", "640x480", "-title", "LoopWren nested"}};
    CliLauncher m_cli{m_folder.path(), QString::fromStdString(m_nested.display())};
};

// Source: Xephyr's virtual keyboard, from a key typed into its window.
TEST_F(CliStopOnInput, AKeyPressOfTheUsersStopsIt)
{
    auto player = startEndlessPlayback();
    ASSERT_TRUE(x11test::xdotool({"key", "x"}));
    expectStoppedByTheUser(*player);
}

// Source: Xephyr's virtual mouse, from the pointer moving across its window, then from a click in it.
TEST_F(CliStopOnInput, AMoveOrAClickOfTheUsersStopsIt)
{
    for (const std::vector<std::string>& input :
         {std::vector<std::string>{"search", "--name", "LoopWren nested", "mousemove", "--window", "%1", "50", "50",
                                   "mousemove", "--window", "%1", "150", "120"},
          std::vector<std::string>{"search", "--name", "LoopWren nested", "mousemove", "--window", "%1", "60", "60",
                                   "click", "1"}}) {
        auto player = startEndlessPlayback();
        ASSERT_TRUE(x11test::xdotool(input));
        expectStoppedByTheUser(*player);
    }
}

// Source: the XTEST devices only. A thousand keys, clicks, moves and notches of its own play to the
// end without stopping it.
TEST_F(CliStopOnInput, ItsOwnThousandInputsDoNotStopIt)
{
    QByteArrayList events;
    for (int i = 0; i < 100; ++i) {
        const QByteArray at = R"(,"location":[)" + QByteArray::number(50 + i * 5) + ",200]";
        events << event("mouseMoved", 0.001, at) << event("keyDown", 0.001, R"(,"keyCode":0)")
               << event("keyUp", 0.001, R"(,"keyCode":0)") << event("keyDown", 0.001, R"(,"keyCode":56)")
               << event("keyUp", 0.001, R"(,"keyCode":56)") << event("scroll", 0.001, R"(,"scrollDeltaY":1)")
               << event("mouseDown", 0.001, at + R"(,"mouseButton":"left")")
               << event("mouseUp", 0.001, at + R"(,"mouseButton":"left")")
               << event("mouseMoved", 0.001, R"(,"location":[400,)" + QByteArray::number(10 + i) + "]")
               << event("keyDown", 0.001, R"(,"keyCode":49)");
    }
    ASSERT_EQ(events.size(), 1000);
    QByteArray output;
    EXPECT_EQ(m_cli.run({"play", write("own.json", events), "--stop-on-input"}, &output), 0);
    EXPECT_FALSE(output.contains(kStopped)) << output.toStdString();
}

} // namespace
} // namespace loopwren
