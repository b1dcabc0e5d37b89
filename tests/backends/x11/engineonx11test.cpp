// The engine on the real X11 services in a plain QCoreApplication, as the command-line tool runs it: no
// Qt platform plugin and no Qt X connection, so the services must get by on their own connections. The
// workspace tests run here too, for the same reason.
#include "backend.h"
#include "hotkeycapture.h"
#include "libraryhotkeys.h"
#include "logline.h"
#include "macroengine.h"
#include "memorypreferencesstore.h"
#include "testevents.h"
#include "x11backend.h"
#include "x11hotkeyservice.h"
#include "x11probewindow.h"
#include "x11testsupport.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Entries are written with designated initializers that name only the fields that matter.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace loopwren {
namespace {

using namespace x11test;
using namespace test;
using enum EventType;

constexpr std::uint16_t kKeyA = 0, kKeyB = 11, kKeyC = 8, kKeyJ = 38, kKeyK = 40, kKeyW = 13;
constexpr std::uint64_t kControlAlt = modifier::control | modifier::alt;

void press(const std::string& keys) { ASSERT_TRUE(xdotool({"key", keys})) << keys; }

// An engine on the real X11 services, its settings in memory and its library in a folder of the test's
// own, read at the start as the window does. The record hotkey is Ctrl+Alt+K, the playback hotkey
// Ctrl+Alt+J; a window of the test's own has the keyboard focus, as the application the user works in
// would, and tells which keys reach it.
class EngineOnX11 : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(displayProblem(), "");
        m_previousSink = setLogSink([this](const QString& line) { m_logged.append(line); });
        m_environment.set("XDG_DATA_HOME", m_data.path().toLocal8Bit());
        m_backend = X11Backend::open();
        ASSERT_NE(m_backend, nullptr);
        FrontEndHooks hooks;
        hooks.openUrl = [](const QUrl&) { return true; };
        PlatformServices services = m_backend->provide(hooks);
        services.preferences = std::make_unique<MemoryPreferencesStore>();
        m_engine = std::make_unique<MacroEngine>(std::move(services));
        m_engine->setRecordHotkey(Hotkey{kKeyK, kControlAlt});
        m_engine->setPlaybackHotkey(Hotkey{kKeyJ, kControlAlt});
        QObject::connect(m_engine.get(), &MacroEngine::playbackFinished, [this] { ++m_playbacksFinished; });
        std::string problem;
        m_focused = X11ProbeWindow::open(&problem, X11ProbeWindow::Keyboard::focus);
        ASSERT_NE(m_focused, nullptr) << problem;
        settle();
        ASSERT_TRUE(m_logged.isEmpty()) << m_logged.join(u'\n').toStdString();
    }

    void TearDown() override
    {
        m_focused.reset();
        m_engine.reset();
        settle(std::chrono::milliseconds(50)); // whatever the engine queued on its way out
        setLogSink(m_previousSink);
    }

    // Whether a press of the key has reached the focused window, whatever modifiers were down with it.
    bool reached(const std::string& key)
    {
        return std::ranges::any_of(
            m_focused->waitForLines(0, std::chrono::milliseconds(0)),
            [&](const std::string& line) { return line.starts_with("key " + key + " down"); });
    }

    const QTemporaryDir m_data;
    ScopedEnvironment m_environment;
    std::unique_ptr<Backend> m_backend;
    std::unique_ptr<MacroEngine> m_engine;
    QStringList m_logged;
    LogSink m_previousSink;
    std::unique_ptr<X11ProbeWindow> m_focused;
    int m_playbacksFinished = 0;
};

TEST_F(EngineOnX11, ThePlaybackHotkeyPlaysTheRecordingAndStopsItWhileItRuns)
{
    m_engine->setRecordedEvents({Event(keyDown).key(kKeyB), Event(keyUp, 0.05).key(kKeyB)});
    press("ctrl+alt+j");
    EXPECT_TRUE(eventually([&] { return m_playbacksFinished == 1 && reached("b"); }))
        << "the played key did not reach the keyboard";
    EXPECT_FALSE(m_engine->isPlaying());

    // A long wait first, so the playback is still running when the hotkey comes again.
    m_engine->setRecordedEvents({Event(wait, 3600.0), Event(keyDown).key(kKeyC)});
    press("ctrl+alt+j");
    ASSERT_TRUE(eventually([&] { return m_engine->isPlaying(); }));
    press("ctrl+alt+j");
    // A front end waiting for the end of the playback hears of it.
    EXPECT_TRUE(eventually([&] { return !m_engine->isPlaying() && m_playbacksFinished == 2; }));
    settle();
    EXPECT_FALSE(reached("c"));
}

// Ctrl+W pressed to capture it must not close the focused application's tab: while the capture runs
// the keyboard is held, and it is let go only once the combination's keys are up again.
TEST_F(EngineOnX11, ACaptureKeepsTheCombinationFromTheFocusedWindow)
{
    press("x");
    ASSERT_EQ(m_focused->waitForLines(2), (std::vector<std::string>{"key x down []", "key x up []"}));
    m_focused->clear();

    HotkeyCapture capture(*m_engine);
    capture.startHotkeyCapture(EngineHotkeyRole::record);
    press("ctrl+w");
    ASSERT_TRUE(eventually([&] { return !capture.recordingHotkeyFor(); }));
    EXPECT_EQ(m_engine->recordHotkey(), (Hotkey{kKeyW, modifier::control}));
    EXPECT_TRUE(m_logged.isEmpty()) << m_logged.join(u'\n').toStdString();
    press("y");
    EXPECT_EQ(m_focused->waitForLines(2), (std::vector<std::string>{"key y down []", "key y up []"}))
        << "the captured keys reached the focused window, or later keys did not";
}

// The record hotkey starts and stops a recording that leaves its keys out. Library macros' hotkeys
// beside the engine's two: each press plays its own macro from the library's folder into the focused
// window; a combination another LoopWren hotkey uses, or another program holds, is refused with a line
// saying so and the others keep theirs; none of their presses is recorded, and while a recording runs
// they play nothing.
TEST_F(EngineOnX11, TheRecordHotkeyAndEachLibraryMacrosOwnHotkeyWorkAndAreNeverRecorded)
{
    X11HotkeyService otherProgram;
    HotkeyService::Binding held = 0;
    const auto nothing = [] {};
    ASSERT_TRUE(otherProgram.bind(EngineHotkeyRole::record, {21, kControlAlt}, nothing, held).ok());
    // Ctrl+Alt+1, 2, 3 type X, Y and Z.
    constexpr std::uint16_t kKeyX = 7, kKeyY = 16, kKeyZ = 6;
    for (const auto& [name, typed, digit] :
         {std::tuple{"One", kKeyX, 18}, {"Two", kKeyY, 19}, {"Three", kKeyZ, 20}}) {
        ASSERT_EQ(m_engine->changeLibrary([&](MacroLibrary& library) {
            const QString failed =
                library.add(name, {Event(keyDown).key(typed), Event(keyUp, 0.02).key(typed)});
            LibraryEntry entry = library.find(name) ? *library.find(name) : LibraryEntry{};
            entry.hotkey = {static_cast<std::uint16_t>(digit), kControlAlt};
            return failed.isEmpty() ? library.update(entry) : failed;
        }),
                  "");
    }
    // Then J (playback), 4 (the other program's) and 1 again, beside the three.
    std::vector<LibraryEntry> entries = m_engine->library().entries();
    for (const auto& [name, key] :
         {std::pair<QString, std::uint16_t>{"Four", kKeyJ}, {"Five", 21}, {"Six", 18}})
        entries.push_back({.file = name + ".json", .name = name, .hotkey = {key, kControlAlt}});
    m_engine->libraryHotkeys().setEntries(entries);
    EXPECT_EQ(
        m_logged,
        (QStringList{"Failed to register hotkey of macro Four: ⌃ ⌥ J is already the playback hotkey",
                     "Failed to register hotkey of macro Five: 10",
                     "Failed to register hotkey of macro Six: ⌃ ⌥ 1 is already the hotkey of macro One"}));
    m_logged.clear();
    QStringList pressed;
    QObject::connect(m_engine.get(), &MacroEngine::libraryMacroHotkeyPressed,
                     [&](const QString& name) { pressed.append(name); });

    press("ctrl+alt+k");
    ASSERT_TRUE(eventually([&] { return m_engine->isRecording(); }));
    for (const char* key : {"ctrl+alt+3", "ctrl+alt+1", "ctrl+alt+2", "a"})
        press(key);
    // Input is recorded in order, so once A is in, the hotkeys before it would be too.
    ASSERT_TRUE(eventually([&] { return m_engine->eventCount() >= 2 && pressed.size() == 3; }));
    EXPECT_EQ(pressed, (QStringList{"Three", "One", "Two"}));
    press("ctrl+alt+k");
    ASSERT_TRUE(eventually([&] { return !m_engine->isRecording(); }));
    const Timeline recorded = m_engine->recordedEvents();
    ASSERT_EQ(recorded.size(), 2u) << "a hotkey's press was recorded besides A's";
    EXPECT_TRUE(recorded[0].type == keyDown && recorded[0].keyCode == kKeyA && recorded[1].type == keyUp &&
                recorded[1].keyCode == kKeyA);
    EXPECT_EQ(m_playbacksFinished, 0);
    EXPECT_EQ(m_logged.filter("a recording runs").size(), 3) << m_logged.join(u'\n').toStdString();

    // With nothing else running, each hotkey types its own macro's key into the focused window.
    m_focused->clear();
    for (const auto& [digit, typed] : {std::pair{"1", "x"}, {"3", "z"}, {"2", "y"}}) {
        const int finished = m_playbacksFinished;
        press(std::string("ctrl+alt+") + digit);
        EXPECT_TRUE(eventually([&] { return m_playbacksFinished == finished + 1 && reached(typed); }))
            << "Ctrl+Alt+" << digit << " did not type " << typed;
        for (const char* other : {"x", "y", "z"})
            EXPECT_EQ(reached(other), other == std::string(typed))
                << "Ctrl+Alt+" << digit << " typed " << other;
        m_focused->clear();
    }
    EXPECT_EQ(m_engine->recordedEvents().size(), 2u) << "a library macro's playback touched the timeline";
}

} // namespace
} // namespace loopwren

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    unsetenv("QT_QPA_PLATFORM");
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
