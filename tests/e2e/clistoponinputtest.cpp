#include "clilauncher.h"
#include "testfiles.h"
#include "x11testclient.h"
#include "x11testsupport.h"

#include <gtest/gtest.h>

namespace loopwren {
namespace {

using test::macroEvent;

const QByteArray kStopped = "Playback stopped: you used the mouse or keyboard";

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
        ASSERT_TRUE(x11test::xdotool(
            {"search", "--sync", "--name", "LoopWren nested", "windowfocus", "--sync", "%1"}));
    }

    QString write(const char* name, const QByteArrayList& events)
    {
        const QString path = m_folder.filePath(name);
        EXPECT_TRUE(test::writeFile(path, test::macroText(events)));
        return path;
    }
    std::string heldInput() { return x11test::X11TestClient(m_nested.display()).heldInput(); }

    QTemporaryDir m_folder;
    x11test::PrivateXServer m_nested{{"Xephyr", "-screen", "640x480", "-title", "LoopWren nested"}};
    CliLauncher m_cli{m_folder.path(), QString::fromStdString(m_nested.display())};
};

// Sources: Xephyr's virtual keyboard, from a key typed into its window; its virtual mouse, from the
// pointer moving across its window, then from a click in it. Each time an endless playback holds
// Shift and moves the pointer, and ends, as a stop by the hotkey ends it, saying why, with nothing held.
TEST_F(CliStopOnInput, AKeyAMoveOrAClickOfTheUsersStopsIt)
{
    QByteArrayList events{macroEvent("keyDown", 0, R"(,"keyCode":56)")};
    for (int i = 0; i < 20; ++i)
        events << macroEvent("mouseMoved", 0.01,
                             R"(,"location":[)" + QByteArray::number(100 + i * 10) + ",300]");
    const QString endless = write("endless.json", events);
    for (const std::vector<std::string>& input :
         {std::vector<std::string>{"key", "x"},
          {"search", "--name", "LoopWren nested", "mousemove", "--window", "%1", "50", "50", "mousemove",
           "--window", "%1", "150", "120"},
          {"search", "--name", "LoopWren nested", "mousemove", "--window", "%1", "60", "60", "click", "1"}}) {
        SCOPED_TRACE(input[0] + " " + input.back());
        auto player = m_cli.start({"play", endless, "--infinite", "--stop-on-input"});
        // Shift held: the watch is on by then.
        ASSERT_TRUE(test::eventually([&] { return heldInput().find(" key 50") == 0; }))
            << "the playback did not start";
        ASSERT_TRUE(x11test::xdotool(input));
        ASSERT_TRUE(player->waitForFinished(kProcessTimeoutMs)) << "the user's input did not stop it";
        const QByteArray output = player->readAllStandardOutput() + player->readAllStandardError();
        EXPECT_EQ(player->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(player->exitCode(), 0) << output.toStdString();
        EXPECT_TRUE(output.contains(kStopped)) << output.toStdString();
        EXPECT_EQ(heldInput(), "");
    }
}

// Source: the XTEST devices only. A thousand keys, clicks, moves and notches of its own play to the
// end without stopping it.
TEST_F(CliStopOnInput, ItsOwnThousandInputsDoNotStopIt)
{
    QByteArrayList events;
    for (int i = 0; i < 100; ++i) {
        const QByteArray at = R"(,"location":[)" + QByteArray::number(50 + i * 5) + ",200]";
        events << macroEvent("mouseMoved", 0.001, at) << macroEvent("keyDown", 0.001, R"(,"keyCode":0)")
               << macroEvent("keyUp", 0.001, R"(,"keyCode":0)")
               << macroEvent("keyDown", 0.001, R"(,"keyCode":56)")
               << macroEvent("keyUp", 0.001, R"(,"keyCode":56)")
               << macroEvent("scroll", 0.001, R"(,"scrollDeltaY":1)")
               << macroEvent("mouseDown", 0.001, at + R"(,"mouseButton":"left")")
               << macroEvent("mouseUp", 0.001, at + R"(,"mouseButton":"left")")
               << macroEvent("mouseMoved", 0.001, R"(,"location":[400,)" + QByteArray::number(10 + i) + "]")
               << macroEvent("keyDown", 0.001, R"(,"keyCode":49)");
    }
    ASSERT_EQ(events.size(), 1000);
    QByteArray output;
    EXPECT_EQ(m_cli.run({"play", write("own.json", events), "--stop-on-input"}, &output), 0);
    EXPECT_FALSE(output.contains(kStopped)) << output.toStdString();
}

} // namespace
} // namespace loopwren
