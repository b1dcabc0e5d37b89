// Playback through the kernel under a real compositor: sway runs in the VM on two headless outputs,
// the second left of the primary and higher, so the outputs' bounding box, which sway stretches an
// absolute pointer over, does not begin at the primary's origin. A wev window fills each output and
// prints what it receives; loopwren-cli plays clicks at the outputs' corners, a quick double click,
// keys and the wheel, and each window must see them on the pixels the macro names.
#include "childprocesses.h"
#include "cliinvm.h"
#include "headlesssway.h"
#include "replaydevice.h"
#include "swayipc.h"
#include "testevents.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <QTest>

#include <cmath>
#include <set>
#include <sys/stat.h>

namespace loopwren {
namespace {

using enum EventType;
using test::Event;

struct Output
{
    const char* name;
    int x, y, width, height;
};
const Output kPrimary{"HEADLESS-1", 0, 0, 1280, 800};
const Output kLeft{"HEADLESS-2", -1024, -200, 1024, 768};

// The kind of message to sway that lists its input devices.
constexpr auto kGetInputs = SwayIpc::Message(100);

// What a wev window received, a line for each button, key and wheel event: "left pressed at 0,0" with
// the pixel of the layout the pointer was on, "key 30 released", "wheel up".
std::vector<std::string> received(const QString& printed, const Output& output)
{
    static const QRegularExpression position(R"(wl_pointer\] (?:enter|motion): .*x, y: (\S+), (\S+)$)");
    static const QRegularExpression button(R"(wl_pointer\] button: .*\((\w+)\), state: \d \((\w+)\))");
    static const QRegularExpression key(
        R"(wl_keyboard\] key: serial: (\d+); .*key: (\d+); state: \d \((\w+)\))");
    static const QRegularExpression wheel(R"(wl_pointer\] axis: .*axis: 0 \(vertical\), value: (\S+))");
    std::vector<std::string> lines;
    std::string at;
    std::set<QString> keySerials;
    for (const QString& line : printed.split('\n')) {
        QRegularExpressionMatch match;
        if ((match = position.match(line)).hasMatch()) {
            // wev prints surface-local positions; the window fills its output.
            at = std::to_string(int(std::floor(output.x + match.captured(1).toDouble()))) + "," +
                 std::to_string(int(std::floor(output.y + match.captured(2).toDouble())));
        } else if ((match = button.match(line)).hasMatch()) {
            lines.push_back((match.captured(1) + " " + match.captured(2)).toStdString() + " at " + at);
        } else if ((match = key.match(line)).hasMatch() && keySerials.insert(match.captured(1)).second) {
            // wev takes a keyboard each time the seat's abilities change and so prints a key once for
            // each, with one serial. Its key codes are XKB's, the kernel's plus 8.
            lines.push_back("key " + std::to_string(match.captured(2).toInt() - 8) + " " +
                            match.captured(3).toStdString());
        } else if ((match = wheel.match(line)).hasMatch()) {
            lines.push_back(match.captured(1).toDouble() < 0 ? "wheel up" : "wheel down");
        }
    }
    return lines;
}

// A wev window on an output, and how much it had printed once sway had the replay device.
struct Wev
{
    const Output& output;
    qint64 id = 0;
    qsizetype mark = 0;
};

// pass over and over, as many of its lines as lines has.
std::vector<std::string> repeated(const std::vector<std::string>& pass, std::size_t lines)
{
    std::vector<std::string> passes;
    for (std::size_t i = 0; i < lines; ++i)
        passes.push_back(pass[i % pass.size()]);
    return passes;
}

// sway, which refuses to run as root, as uid 1000 with seatd handing it the input devices, on the
// headless outputs and libinput's devices, with a wev window full-screen on each output.
class SwayInVm : public CliInVm
{
protected:
    static HeadlessSway::Setup setup()
    {
        HeadlessSway::Setup setup{
            "for_window [app_id=\"wev\"] fullscreen enable\n",
            // The replay device comes later.
            {"LIBSEAT_BACKEND=seatd", "WLR_BACKENDS=headless,libinput", "WLR_HEADLESS_OUTPUTS=2"},
            1000,
            {"video"},
            {"seatd", "wev", "stdbuf"},
            2};
        for (const Output& output : {kPrimary, kLeft})
            setup.config += QString("output %1 resolution %2x%3 position %4 %5\n")
                                .arg(output.name)
                                .arg(output.width)
                                .arg(output.height)
                                .arg(output.x)
                                .arg(output.y)
                                .toUtf8();
        return setup;
    }

    void SetUp() override
    {
        // The macro is read as the session's user.
        ASSERT_EQ(::chmod(folder.path().toLocal8Bit().constData(), 0755), 0);
        seatd.start("seatd", {"-g", "video"});
        ASSERT_TRUE(seatd.waitForStarted()) << "seatd: " << seatd.errorString().toStdString();
        ASSERT_TRUE(QTest::qWaitFor([] { return QFile::exists("/run/seatd.sock"); }, 120000));
        ASSERT_TRUE(sway.start()) << sway.error().toStdString();
        // The first window opens on the output that has the focus at first, the other where the focus
        // is sent next; each fills its output, which its size tells.
        ASSERT_TRUE(openWev(primaryWev));
        ASSERT_TRUE(ipc().runCommand(QStringLiteral("focus output ") + kLeft.name).ok());
        ASSERT_TRUE(openWev(leftWev));
    }

    void TearDown() override
    {
        if (cli)
            test::stopProcess(*cli);
        sway.stop();
        test::stopProcess(seatd);
    }

    // swaymsg would give up on a reply after 3 s, which sway, emulated and busy taking in a device, may
    // well take.
    SwayIpc ipc() const { return SwayIpc(sway.socketPath(), std::chrono::minutes(2)); }

    bool openWev(Wev& wev)
    {
        // wev would keep what it prints in its buffer while it writes to a file.
        wev.id = sway.startFoot({"-oL", "wev"}, "stdbuf");
        const QString size = QString("width: %1; height: %2").arg(wev.output.width).arg(wev.output.height);
        return wev.id != 0 &&
               QTest::qWaitFor([&] { return sway.clientOutput(wev.id).contains(size); }, 120000);
    }
    void setMark(Wev& wev) { wev.mark = sway.clientOutput(wev.id).lastIndexOf('\n') + 1; }
    // What the window received after the mark, from the first event of a pass on.
    std::vector<std::string> passes(const Wev& wev, const std::string& first) const
    {
        const QString printed = sway.clientOutput(wev.id);
        const std::vector<std::string> all = received(printed, wev.output);
        const auto since = all.begin() + qsizetype(received(printed.left(wev.mark), wev.output).size());
        return {std::find(since, all.end(), first), all.end()};
    }

    QProcess seatd;
    HeadlessSway sway{setup()};
    Wev primaryWev{kPrimary};
    Wev leftWev{kLeft};
};

TEST_F(SwayInVm, ClicksKeysAndTheWheelArriveAtTheWindowsOnThePixelsPlayed)
{
    Timeline macro;
    const auto click = [&](double x, double y, MouseButtonType button) {
        macro.push_back(Event(mouseDown, 0.1).at(x, y).button(button));
        macro.push_back(Event(mouseUp, 0.05).at(x, y).button(button));
    };
    click(0, 0, MouseButtonType::left);
    click(1279, 799, MouseButtonType::left);
    // A double click as quick as a macro can have it.
    for (const EventType type : {mouseDown, mouseUp, mouseDown, mouseUp})
        macro.push_back(Event(type).at(640, 400).button(MouseButtonType::left));
    click(-1024, -200, MouseButtonType::right);
    click(-1, 567, MouseButtonType::left);
    // Keys and the wheel go where the focus and the pointer are: the left output, clicked last.
    for (const Event& event : {Event(keyDown, 0.05).key(0), Event(keyUp).key(0), Event(keyDown).key(36),
                               Event(keyUp).key(36), Event(scroll).scroll(0, 1), Event(scroll).scroll(0, -1)})
        macro.push_back(event);
    const std::vector<std::string> primarySees = {"left pressed at 0,0",      "left released at 0,0",
                                                  "left pressed at 1279,799", "left released at 1279,799",
                                                  "left pressed at 640,400",  "left released at 640,400",
                                                  "left pressed at 640,400",  "left released at 640,400"};
    const std::vector<std::string> leftSees = {"right pressed at -1024,-200",
                                               "right released at -1024,-200",
                                               "left pressed at -1,567",
                                               "left released at -1,567",
                                               "key 30 pressed",
                                               "key 30 released",
                                               "key 28 pressed",
                                               "key 28 released",
                                               "wheel up",
                                               "wheel down"};

    // What is played before sway has taken in the replay device is lost, so the macro plays over and
    // over; once sway has it, every pass must arrive whole, two at least. The command-line tool runs as
    // the session's user, with /dev/uinput as the udev rule gives it, and learns the outputs from the
    // compositor, as it does in a Wayland session without --screens.
    ASSERT_EQ(::chmod("/dev/uinput", 0666), 0);
    const QString file = saveMacro("sway.json", macro);
    CliLauncher launcher{folder.path(), {}, {}, {"DISPLAY"}};
    const QProcessEnvironment session = sway.clientEnvironment();
    for (const QString& name : session.keys()) {
        if (name != "XDG_CONFIG_HOME")
            launcher.variables << name + '=' + session.value(name);
    }
    launcher.user = 1000;
    cli = launcher.start({"play", file, "--backend", "kernel", "--infinite"});
    const auto added = [&] {
        for (const QJsonValue input : ipc().request(kGetInputs).value_or(QJsonDocument()).array()) {
            if (input["name"] == replaydevice::name && input["type"] == "pointer")
                return true;
        }
        return false;
    };
    ASSERT_TRUE(QTest::qWaitFor(added, 120000)) << cli->readAllStandardError().toStdString();
    setMark(primaryWev);
    setMark(leftWev);
    std::vector<std::string> primary, left;
    const auto twoPassesOrAMistake = [&] {
        primary = passes(primaryWev, primarySees.front());
        left = passes(leftWev, leftSees.front());
        return (primary.size() >= 2 * primarySees.size() && left.size() >= 2 * leftSees.size()) ||
               primary != repeated(primarySees, primary.size()) || left != repeated(leftSees, left.size());
    };
    EXPECT_TRUE(QTest::qWaitFor(twoPassesOrAMistake, 240000)) << "not two whole passes in 4 minutes";
    EXPECT_GE(primary.size(), 2 * primarySees.size());
    EXPECT_EQ(primary, repeated(primarySees, primary.size()));
    EXPECT_GE(left.size(), 2 * leftSees.size());
    EXPECT_EQ(left, repeated(leftSees, left.size()));
}

} // namespace
} // namespace loopwren
