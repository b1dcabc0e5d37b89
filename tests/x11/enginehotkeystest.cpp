#include "engineonx11.h"
#include "hotkeycapture.h"
#include "inputeventtext.h"
#include "probewindow.h"
#include "x11inputmonitor.h"
#include "x11testenvironment.h"

#include <gtest/gtest.h>

namespace loopwren {
namespace {

constexpr std::uint16_t kKeyA = 0;
constexpr std::uint16_t kKeyB = 11;
constexpr std::uint16_t kKeyJ = 38;
constexpr std::uint16_t kKeyK = 40;
constexpr std::uint16_t kKeyW = 13;
constexpr std::uint64_t kControlOption = modifier::control | modifier::option;

std::vector<std::string> describe(const Timeline& timeline)
{
    std::vector<std::string> lines;
    for (const MacroEvent& event : timeline) {
        std::string line(rawValue(event.type));
        if (event.keyCode)
            line += " " + std::to_string(*event.keyCode);
        lines.push_back(line);
    }
    return lines;
}

// The record hotkey is Ctrl+Alt+K, the playback hotkey Ctrl+Alt+J; a monitor of its own watches what
// reaches the keyboard, playback included.
class EngineHotkeysTest : public EngineOnX11
{
protected:
    void SetUp() override
    {
        EngineOnX11::SetUp();
        if (HasFatalFailure())
            return;
        MacroEngine& engine = build();
        engine.setRecordHotkey(Hotkey{kKeyK, kControlOption});
        engine.setPlaybackHotkey(Hotkey{kKeyJ, kControlOption});
        QObject::connect(&engine, &MacroEngine::isPlayingChanged, &engine, [this] {
            if (m_engine->isPlaying())
                ++m_playbacksStarted;
        });
        QObject::connect(&engine, &MacroEngine::playbackFinished, &engine, [this] { ++m_playbacksFinished; });
        m_watch = std::make_unique<X11InputMonitor>();
        ASSERT_TRUE(m_watch->watch({InputKind::keyDown, InputKind::keyUp},
                                   [this](const InputEvent& event) { m_keys.push_back(event); }));
        X11TestEnvironment::settle();
        ASSERT_TRUE(m_logged.isEmpty()) << m_logged.join(u'\n').toStdString();
    }

    void TearDown() override
    {
        m_watch.reset();
        EngineOnX11::TearDown();
    }

    bool sawKey(InputKind kind, std::uint16_t keyCode) const
    {
        return std::any_of(m_keys.begin(), m_keys.end(), [&](const InputEvent& event) {
            return event.kind == kind && event.keyCode == keyCode;
        });
    }

    static void press(const std::string& keys)
    {
        ASSERT_TRUE(X11TestEnvironment::xdotool({"key", keys})) << keys;
    }

    std::unique_ptr<X11InputMonitor> m_watch;
    std::vector<InputEvent> m_keys;
    int m_playbacksStarted = 0;
    int m_playbacksFinished = 0;
};

TEST_F(EngineHotkeysTest, TheRecordHotkeyStartsAndStopsARecordingThatLeavesItsKeysOut)
{
    press("ctrl+alt+k");
    ASSERT_TRUE(X11TestEnvironment::waitUntil([&] { return m_engine->isRecording(); }));
    // The capture runs once the recording has started; a moment for the hotkey's own releases to pass.
    X11TestEnvironment::settle();
    press("a");
    ASSERT_TRUE(X11TestEnvironment::waitUntil([&] { return m_engine->eventCount() >= 2; }));
    press("ctrl+alt+k");
    ASSERT_TRUE(X11TestEnvironment::waitUntil([&] { return !m_engine->isRecording(); }));
    X11TestEnvironment::settle();

    EXPECT_EQ(
        describe(m_engine->recordedEvents()),
        (std::vector<std::string>{"keyDown " + std::to_string(kKeyA), "keyUp " + std::to_string(kKeyA)}));
    EXPECT_EQ(m_playbacksStarted, 0);
}

TEST_F(EngineHotkeysTest, ThePlaybackHotkeyPlaysTheRecording)
{
    m_engine->setRecordedEvents(
        {keyEvent(EventType::keyDown, kKeyB), keyEvent(EventType::keyUp, kKeyB, 0.05)});
    press("ctrl+alt+j");
    EXPECT_TRUE(X11TestEnvironment::waitUntil([&] { return m_playbacksFinished == 1; }));
    EXPECT_TRUE(X11TestEnvironment::waitUntil([&] {
        return sawKey(InputKind::keyDown, kKeyB) && sawKey(InputKind::keyUp, kKeyB);
    })) << "the played key did not reach the keyboard";
    EXPECT_EQ(m_playbacksStarted, 1);
    EXPECT_FALSE(m_engine->isPlaying());
}

TEST_F(EngineHotkeysTest, ThePlaybackHotkeyStopsARunningPlayback)
{
    // A long wait first, so the playback is still running when the hotkey comes again.
    MacroEvent wait = keyEvent(EventType::wait, 0, 3600.0);
    m_engine->setRecordedEvents(
        {wait, keyEvent(EventType::keyDown, kKeyB), keyEvent(EventType::keyUp, kKeyB)});
    press("ctrl+alt+j");
    ASSERT_TRUE(X11TestEnvironment::waitUntil([&] { return m_engine->isPlaying(); }));
    press("ctrl+alt+j");
    EXPECT_TRUE(X11TestEnvironment::waitUntil([&] { return !m_engine->isPlaying(); }));
    // A front end waiting for the end of the playback hears of it.
    EXPECT_TRUE(X11TestEnvironment::waitUntil([&] { return m_playbacksFinished == 1; }));
    X11TestEnvironment::settle();
    EXPECT_FALSE(sawKey(InputKind::keyDown, kKeyB));
    EXPECT_EQ(m_playbacksStarted, 1);
}

// Ctrl+W pressed to capture it must not close the focused application's tab: while the capture runs
// the keyboard is held, and it is let go only once the combination's keys are up again.
TEST_F(EngineHotkeysTest, ACaptureKeepsTheCombinationFromTheFocusedWindow)
{
    std::string problem;
    auto focused = ProbeWindow::open(&problem, ProbeWindow::Keyboard::focus);
    ASSERT_NE(focused, nullptr) << problem;
    press("x");
    ASSERT_EQ(focused->waitForLines(2), (std::vector<std::string>{"key x down []", "key x up []"}));
    focused->clear();

    HotkeyCapture capture(*m_engine);
    capture.startHotkeyCapture(HotkeyTarget::record);
    press("ctrl+w");
    ASSERT_TRUE(X11TestEnvironment::waitUntil([&] { return !capture.recordingHotkeyFor(); }));
    EXPECT_EQ(m_engine->recordHotkey(), (Hotkey{kKeyW, modifier::control}));
    EXPECT_TRUE(m_logged.isEmpty()) << m_logged.join(u'\n').toStdString();

    press("y");
    EXPECT_EQ(focused->waitForLines(2), (std::vector<std::string>{"key y down []", "key y up []"}))
        << "the captured keys reached the focused window, or later keys did not";
}

} // namespace
} // namespace loopwren
