// Playback through the real replay device, in a VM whose kernel offers uinput: the engine plays a
// macro and what the kernel hands to readers of the device's node is read back and compared, event for
// event. Timing is not looked at.
#include "cliinvm.h"
#include "hyprlandstandin.h"
#include "kernelinputposterfactory.h"
#include "macroengine.h"
#include "macrofile.h"
#include "memorypreferencesstore.h"
#include "nullplatform.h"
#include "replaydevice.h"
#include "testevents.h"
#include "testkeyboard.h"
#include "uinputdevice.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <gtest/gtest.h>
#include <linux/input.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <fcntl.h>
#include <functional>
#include <mutex>
#include <optional>
#include <poll.h>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

namespace loopwren {
namespace {

using enum EventType;
using test::Event;

// Reads the device's node on a thread of its own from before the playback on, since the kernel keeps
// only a short queue for each reader. Each event is a line: "key 30 1", "abs 0 2048", "rel 8 1".
class NodeReader
{
public:
    explicit NodeReader(const std::string& node)
        : m_fd(::open(node.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC))
    {
        m_thread = std::thread([this] { read(); });
    }
    ~NodeReader()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_fd);
    }
    bool isOpen() const { return m_fd >= 0; }
    std::vector<std::string> lines()
    {
        const std::lock_guard lock(m_mutex);
        return m_lines;
    }

private:
    void read()
    {
        pollfd ready{m_fd, POLLIN, 0};
        input_event event{};
        while (!m_stop) {
            if (::poll(&ready, 1, 50) <= 0 || ::read(m_fd, &event, sizeof event) != sizeof event)
                continue;
            static const char* const types[] = {"syn", "key", "rel", "abs"};
            if (event.type > EV_ABS || (event.type == EV_SYN && event.code == SYN_REPORT))
                continue;
            const std::lock_guard lock(m_mutex);
            m_lines.push_back(std::string(types[event.type]) + " " + std::to_string(event.code) + " " +
                              std::to_string(event.value));
        }
    }

    int m_fd;
    std::atomic<bool> m_stop = false;
    std::thread m_thread;
    std::mutex m_mutex;
    std::vector<std::string> m_lines;
};

class ReplayInVm : public testing::Test
{
protected:
    void SetUp() override
    {
        UinputDevice::Made made = UinputDevice::create();
        ASSERT_TRUE(made.device) << "no replay device: " << std::strerror(made.error);
        device = std::move(made.device);
        device->waitUntilReady(std::chrono::seconds(30));
        reader = std::make_unique<NodeReader>(device->devnode());
        ASSERT_TRUE(reader->isOpen()) << device->devnode();

        PlatformServices services;
        services.preferences = std::make_unique<MemoryPreferencesStore>();
        // Two outputs: the primary, and one to its left and a little higher, as sway would place them.
        const ScreenLayout layout{{{0, 0, 1280, 800}, {-1024, -200, 1024, 768}}, 0};
        services.posters = std::make_unique<KernelInputPosterFactory>(
            device, [layout] { return layout; }, AbsolutePointerMap::Area::boundingBox);
        fillWithNullServices(services);
        engine = std::make_unique<MacroEngine>(std::move(services));
    }

    // Plays timeline to its end, or stops it once stopWhen holds; then waits for the lines expected.
    std::vector<std::string> play(const Timeline& timeline, std::size_t lines,
                                  const std::function<bool()>& stopWhen = {})
    {
        engine->setRecordedEvents(timeline);
        QCoreApplication::processEvents();
        engine->startPlayback();
        if (stopWhen) {
            EXPECT_TRUE(QTest::qWaitFor(stopWhen, 120000));
            engine->stopPlayback();
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return !engine->isPlaying(); }, 120000));
        EXPECT_TRUE(QTest::qWaitFor([&] { return reader->lines().size() >= lines; }, 60000));
        return reader->lines();
    }

    std::shared_ptr<UinputDevice> device;
    std::unique_ptr<NodeReader> reader;
    std::unique_ptr<MacroEngine> engine;
};

// What udev says of the device decides what libinput, and so every compositor, makes of it: a mouse
// with an absolute pointer and a keyboard, nothing that would be taken for a touchscreen, a tablet or
// a joystick.
TEST_F(ReplayInVm, UdevTakesTheDeviceForAMouseAndAKeyboard)
{
    std::string tags;
    for (const char* name : {"ID_INPUT_MOUSE", "ID_INPUT_KEYBOARD", "ID_INPUT_TOUCHSCREEN", "ID_INPUT_TABLET",
                             "ID_INPUT_JOYSTICK", "ID_INPUT_TOUCHPAD"}) {
        if (const std::string value = udevProperty(device->devnode().c_str(), name); !value.empty())
            tags += std::string(tags.empty() ? "" : " ") + name + "=" + value;
    }
    EXPECT_EQ(tags, "ID_INPUT_MOUSE=1 ID_INPUT_KEYBOARD=1");
}

// Where logical x on the bounding box from -1024 to 1280 (2304 wide), y from -200 to 800 lands,
// rounded up.
std::string absX(double x)
{
    return "abs 0 " + std::to_string(std::lround(std::ceil((x + 1024) * 65536 / 2304)));
}
std::string absY(double y)
{
    return "abs 1 " + std::to_string(std::lround(std::ceil((y + 200) * 65536 / 1000)));
}

TEST_F(ReplayInVm, KeysButtonsWheelsAndPositionsArriveAsPlayed)
{
    const Timeline macro = {Event(keyDown).key(0).flags(0x20000),
                            Event(keyUp).key(0).flags(0x20000), // Shift+A
                            Event(mouseDown, 0.01).at(640, 400).button(MouseButtonType::left),
                            Event(mouseUp).at(640, 400).button(MouseButtonType::left),
                            Event(mouseDown).at(-1000.5, -150).button(MouseButtonType::right),
                            Event(mouseUp).at(-1000.5, -150).button(MouseButtonType::right),
                            Event(scroll).scroll(-1, 2),
                            Event(keyDown).key(36),
                            Event(keyUp).key(36)};
    const std::vector<std::string> expected = {
        "key 42 1",  "key 30 1",  "key 30 0", // Shift held for A
        absX(640),   absY(400),   "key 272 1", "key 272 0", absX(-1000.5), absY(-150),
        "key 273 1", "key 273 0", "rel 8 1",   "rel 8 1",   "rel 6 1", // a negative dx scrolls to the right
        "key 28 1",  "key 28 0",  "key 42 0"};                         // Shift let go at the end
    EXPECT_EQ(play(macro, expected.size()), expected);
}

// A playback stopped while a key and a button are down lets go of both: the device lives on in the
// application, so the kernel would not release them. The next playback puts the pointer back where
// the last one left it, which the kernel would drop as no change had it not been nudged first.
TEST_F(ReplayInVm, AStopLetsGoOfWhatIsHeldAndTheNextPlaybackPutsThePointerBack)
{
    const Timeline macro = {Event(keyDown).key(0), Event(mouseDown).at(10, 10).button(MouseButtonType::left),
                            Event(wait, 3600)};
    const auto held = [&] { return reader->lines().size() >= 4; };
    const std::vector<std::string> stopped = {"key 30 1",  absX(10),    absY(10),
                                              "key 272 1", "key 272 0", "key 30 0"};
    EXPECT_EQ(play(macro, stopped.size(), held), stopped);
    std::vector<std::string> again = stopped;
    // A unit aside, then the place itself.
    for (const char* line : {"abs 0 29411", "abs 1 13762", "abs 0 29412", "abs 1 13763"})
        again.push_back(line);
    EXPECT_EQ(play({Event(mouseMoved).at(10, 10)}, again.size()), again);
}

// loopwren-cli on the kernel backend: it records what a keyboard types, and for a user who may write
// /dev/uinput but not read the input devices (no input group) it plays and says why it cannot record.
TEST_F(CliInVm, RecordsWhatTheKeyboardTypes)
{
    TestKeyboard keyboard;
    EXPECT_EQ(record("typed.json", {},
                     [&] {
                         keyboard.tap({KEY_L});
                         keyboard.tap({KEY_W});
                     }),
              "keyDown 37; keyUp 37; keyDown 13; keyUp 13; ");
}

// Clicks and moves carry the position the desktop reports when they are read, here from a stand-in
// for Hyprland's socket (Hyprland is not packaged in Debian 12): the kernel's devices know only
// motion. Motion is not asked about when moves are not recorded: each question costs the compositor.
TEST_F(CliInVm, RecordsClicksAndMovesWhereTheDesktopSaysThePointerIs)
{
    TestKeyboard mouse(true);
    QTemporaryDir runtime;
    HyprlandStandIn hyprland(runtime.path(), QStringLiteral("vm"));
    ASSERT_TRUE(hyprland.isListening());
    const QStringList session = {"XDG_RUNTIME_DIR=" + runtime.path(), "HYPRLAND_INSTANCE_SIGNATURE=vm"};
    const std::string clicks = record(
        "clicks.json", {},
        [&] {
            hyprland.setCursor(QPoint(321, 123));
            mouse.move(5, 5);
            mouse.click(BTN_LEFT);
            // The pointer moves on only once both inputs of the first click have been given their place.
            ASSERT_TRUE(QTest::qWaitFor([&] { return hyprland.cursorQueries() >= 2; }, 120000));
            hyprland.setCursor(QPoint(40, 50));
            mouse.click(BTN_RIGHT);
            ASSERT_TRUE(QTest::qWaitFor([&] { return hyprland.cursorQueries() >= 4; }, 120000));
        },
        session);
    const int asked = hyprland.cursorQueries();
    EXPECT_EQ(clicks, "mouseDown 321,123; mouseUp 321,123; mouseDown 40,50; mouseUp 40,50; ");
    EXPECT_EQ(asked, 4) << "the motion was asked about";

    const std::string moves = record(
        "moves.json", {"--mouse-moves"},
        [&] {
            hyprland.setCursor(QPoint(7, 8));
            mouse.move(3, 0);
            ASSERT_TRUE(QTest::qWaitFor([&] { return hyprland.cursorQueries() > asked; }, 120000));
        },
        session);
    EXPECT_EQ(moves, "mouseMoved 7,8; ");
}

// The stored playback hotkey stops an endless playback: read from the keys the devices report, since
// nothing else offers hotkeys on this path. It is pressed until the tool has bound it and ends.
TEST_F(CliInVm, ThePlaybackHotkeyStopsAPlayback)
{
    TestKeyboard keyboard;
    QDir().mkpath(QFileInfo(settingsPath()).path());
    QFile settings(settingsPath());
    ASSERT_TRUE(
        settings.open(QIODevice::WriteOnly) &&
        settings.write(
            "[General]\nplaybackHotkey=\"@ByteArray({\\\"keyCode\\\":35,\\\"modifiers\\\":393216})\"\n") > 0);
    settings.close();
    const QString macro = saveMacro("wait.json", {Event(wait, 3600)});
    start({"play", macro, "--backend", "kernel", "--infinite"});
    if (!QTest::qWaitFor(
            [&] {
                keyboard.tap({KEY_LEFTCTRL, KEY_LEFTSHIFT, KEY_P}); // Control+Shift+P
                return cli->waitForFinished(500);
            },
            120000)) {
        // What the devices hold, and whether the tool still answers a signal, to tell a key that
        // never reached the hotkey from a tool that stopped listening.
        std::string held;
        for (const auto& entry : QDir("/dev/input").entryList({"event*"}, QDir::System)) {
            const int fd = ::open(("/dev/input/" + entry.toStdString()).c_str(), O_RDONLY | O_CLOEXEC);
            char name[256] = {};
            unsigned long state[KEY_CNT / (8 * sizeof(unsigned long)) + 1] = {};
            if (fd >= 0 && ::ioctl(fd, EVIOCGNAME(sizeof name - 1), name) >= 0 &&
                ::ioctl(fd, EVIOCGKEY(sizeof state), state) >= 0) {
                held += entry.toStdString() + " (" + name + "):";
                for (unsigned key = 0; key < KEY_CNT; ++key)
                    if ((state[key / (8 * sizeof(unsigned long))] >> (key % (8 * sizeof(unsigned long)))) & 1)
                        held += " " + std::to_string(key);
                held += "; ";
            }
            if (fd >= 0)
                ::close(fd);
        }
        cli->terminate();
        const bool answered = cli->waitForFinished(30000);
        FAIL() << "the hotkey did not stop the playback; keys held: " << held
               << (answered ? "the tool ended on SIGTERM" : "the tool did not end on SIGTERM either")
               << "; its output: " << cli->readAllStandardError().toStdString();
    }
    EXPECT_EQ(cli->exitCode(), 0) << cli->readAllStandardError().toStdString();
}

// Whether the input device of that name (the first) holds each of the keys, as the kernel keeps
// its state; nullopt while there is no such device.
std::optional<std::vector<bool>> keysHeld(const char* name, std::initializer_list<unsigned> keys)
{
    for (const auto& entry : QDir("/dev/input").entryList({"event*"}, QDir::System)) {
        const int fd = ::open(("/dev/input/" + entry.toStdString()).c_str(), O_RDONLY | O_CLOEXEC);
        char found[256] = {};
        unsigned long state[KEY_CNT / (8 * sizeof(unsigned long)) + 1] = {};
        const bool ours = fd >= 0 && ::ioctl(fd, EVIOCGNAME(sizeof found - 1), found) >= 0 &&
                          std::string(found) == name && ::ioctl(fd, EVIOCGKEY(sizeof state), state) >= 0;
        if (fd >= 0)
            ::close(fd);
        if (!ours)
            continue;
        std::vector<bool> held;
        for (unsigned key : keys)
            held.push_back((state[key / (8 * sizeof(unsigned long))] >> (key % (8 * sizeof(unsigned long)))) & 1);
        return held;
    }
    return std::nullopt;
}

// With --stop-on-input, a playback of many keys, clicks and moves through the tool's own replay
// device runs to its end; a mouse of the test's own stops an endless one, by motion and by a click,
// once it holds a key and a button: exit 0, as for the hotkey, saying why.
TEST_F(CliInVm, TheUsersMouseStopsAPlaybackAndItsOwnInputDoesNot)
{
    TestKeyboard mouse(true);
    const QStringList options = {"--backend", "kernel", "--stop-on-input", "--screens", "1280x800"};
    Timeline many;
    for (int i = 0; i < 300; ++i) {
        if (i % 30 == 0)
            many.push_back(Event(i % 60 ? mouseUp : mouseDown, 0.002).at(i, 100).button(MouseButtonType::left));
        else if (i % 3 == 0)
            many.push_back(Event(mouseMoved, 0.002).at(3 * i, 400));
        else
            many.push_back(Event(i % 2 ? keyUp : keyDown, 0.002).key(0));
    }
    start(QStringList{"play", saveMacro("many.json", many)} + options);
    QString errors = finish();
    EXPECT_EQ(cli->exitCode(), 0) << errors.toStdString();
    EXPECT_FALSE(errors.contains("Playback stopped")) << errors.toStdString();

    const QString held = saveMacro("held.json", {Event(keyDown).key(0),
                                                 Event(mouseDown).at(10, 10).button(MouseButtonType::left),
                                                 Event(wait, 3600)});
    for (const std::function<void()>& userInput :
         std::initializer_list<std::function<void()>>{[&] {
             for (int i = 0; i < 10; ++i) // no desktop says where the pointer is: each report counts
                 mouse.move(4, 3);
         }, [&] { mouse.click(BTN_LEFT); }}) {
        start(QStringList{"play", held, "--infinite"} + options);
        ASSERT_TRUE(QTest::qWaitFor(
            [] { return keysHeld(replaydevice::name, {KEY_A, BTN_LEFT}) == std::vector<bool>{true, true}; },
            120000));
        userInput();
        errors = finish();
        EXPECT_EQ(cli->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(cli->exitCode(), 0) << errors.toStdString();
        EXPECT_TRUE(errors.contains("Playback stopped: you used the mouse or keyboard\n")) << errors.toStdString();
    }
}

TEST_F(CliInVm, WithUinputAloneItPlaysAndSaysWhyItCannotRecord)
{
    TestKeyboard keyboard; // there is something to read, but only for root and the input group
    start({"doctor"});
    finish();
    QString report = cli->readAllStandardOutput();
    EXPECT_EQ(cli->exitCode(), 0) << report.toStdString();
    EXPECT_TRUE(report.contains("ok  /dev/uinput: writable\n") && report.contains("--  backend: kernel\n"))
        << report.toStdString();
    ASSERT_EQ(::chmod("/dev/uinput", 0666), 0); // as the udev rule gives it to the session's user
    ASSERT_EQ(::chmod(folder.path().toLocal8Bit().constData(), 0777), 0);
    const QString macro = saveMacro("keys.json", {Event(keyDown).key(0), Event(keyUp, 0.01).key(0)});
    start({"play", macro, "--backend", "kernel", "--screens", "1280x800"}, true);
    QString errors = finish();
    EXPECT_EQ(cli->exitCode(), 0) << errors.toStdString();
    start({"record", folder.filePath("nothing.json"), "--backend", "kernel"}, true);
    errors = finish();
    EXPECT_EQ(cli->exitCode(), 1);
    EXPECT_EQ(errors,
              "loopwren-cli: cannot record in this session: cannot read the input devices: Permission "
              "denied. Input service: not installed. The fallback is membership of the input group, which "
              "lets every program of yours, in every session, read every key typed on this computer; run "
              "loopwren-cli doctor for what to do\n");
    start({"doctor"}, true);
    finish();
    report = cli->readAllStandardOutput();
    EXPECT_EQ(cli->exitCode(), 1);
    for (const char* line : {"NO  input devices: none of ", "can be read: Permission denied\n",
                             "NO  input service: not installed\n",
                             "NO  input group: not a member\n      to do: only as a fallback: sudo usermod -aG input",
                             "ok  /dev/uinput: writable\n", "ok  playback: works\n"})
        EXPECT_TRUE(report.contains(QLatin1String(line))) << line << "\n" << report.toStdString();
}

} // namespace
} // namespace loopwren
