// Stop latency of --stop-on-input on the kernel path, in the VM of tests/vm (make bench-stop-vm runs it
// there through tests/vm/run-vm.sh). loopwren-cli plays an endless stream of key presses through its
// replay device; a scripted uinput mouse, the user's hand, is pushed; probes read both devices' nodes
// with the kernel's own stamps. The latency runs from the mouse report that carries the motion past the
// watch's threshold to the playback's last input on the replay device. Prints the median and p99.
#include "evdevprobe.h"
#include "keymacro.h"
#include "replaydevice.h"
#include "scripteddevice.h"
#include "userinputwatch.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <libudev.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <vector>

using namespace loopwren;
using namespace loopwren::bench;

namespace {

using Clock = std::chrono::steady_clock;

// Relative reports count one each on the kernel path, where no desktop says where the pointer is: one
// more than the threshold stops the playback.
constexpr int kReports = static_cast<int>(UserInputWatch::kMoveThreshold) + 1;
// The playback's inputs, 2 ms apart, before the hand moves: one second.
constexpr std::size_t kUnderWay = 500;

bool waitFor(const std::function<bool()>& condition, std::chrono::seconds patience)
{
    const auto giveUp = Clock::now() + patience;
    while (!condition()) {
        if (Clock::now() > giveUp)
            return false;
        QThread::msleep(2);
    }
    return true;
}

// Whether udev has taken the device at node in as a mouse, which is when libinput opens it.
bool isTaggedMouse(const std::string& node)
{
    struct stat status
    {
    };
    if (node.empty() || ::stat(node.c_str(), &status) != 0)
        return false;
    udev* context = udev_new();
    udev_device* device = context ? udev_device_new_from_devnum(context, 'c', status.st_rdev) : nullptr;
    const char* mouse = device ? udev_device_get_property_value(device, "ID_INPUT_MOUSE") : nullptr;
    const bool tagged = mouse && std::string(mouse) == "1";
    if (device)
        udev_device_unref(device);
    if (context)
        udev_unref(context);
    return tagged;
}

double percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(values.size())) - 1);
    return values[std::min(index, values.size() - 1)];
}

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct Latency
{
    double toLast;      // to the last input, releases included
    double toLastPress; // to the last key press
};

// One playback stopped by the mouse; nullopt, said why, when the round saw no playback or no stop.
std::optional<Latency> runRound(ScriptedDevice& mouse, const QString& macro, const QProcessEnvironment& env,
                                int round)
{
    QProcess cli;
    cli.setProcessEnvironment(env);
    cli.start(LOOPWREN_CLI, {"play", macro, "--infinite", "--stop-on-input", "--backend", "kernel", "--screens",
                             "1280x800"});
    std::string replayNode;
    const bool found = waitFor(
        [&] {
            replayNode = EvdevProbe::findNode(replaydevice::name);
            return !replayNode.empty() || cli.state() == QProcess::NotRunning;
        },
        std::chrono::seconds(60));
    if (!found || replayNode.empty()) {
        std::fprintf(stderr, "round %d: no replay device: %s\n", round + 1, cli.readAllStandardError().constData());
        cli.kill();
        cli.waitForFinished();
        return std::nullopt;
    }
    EvdevProbe replay(replayNode);
    EvdevProbe hand(mouse.devnode(), EvdevProbe::Motion::logged);
    // A second into the playback, as a user takes the mouse in the middle of one: the capture that
    // watches for the user's input starts with the playback and first takes in every device there is,
    // which under emulation takes a good part of that second.
    if (!waitFor([&] { return replay.logged() >= kUnderWay || cli.state() == QProcess::NotRunning; },
                 std::chrono::seconds(60)) ||
        cli.state() == QProcess::NotRunning) {
        std::fprintf(stderr, "round %d: the playback did not get under way: %s\n", round + 1,
                     cli.readAllStandardError().constData());
        cli.kill();
        cli.waitForFinished();
        return std::nullopt;
    }
    mouse.nudge(4, 3, kReports);
    const bool stopped = cli.waitForFinished(60000);
    const QByteArray errors = cli.readAllStandardError();
    const std::vector<ProbedInput> pushed = hand.finish();
    const std::vector<ProbedInput> played = replay.finish();
    if (!stopped || !errors.contains("Playback stopped")) {
        std::fprintf(stderr, "round %d: the mouse did not stop the playback: %s\n", round + 1, errors.constData());
        cli.kill();
        cli.waitForFinished();
        return std::nullopt;
    }
    // The report that carried the motion past the threshold: the last of the push.
    const auto trigger = std::find_if(pushed.rbegin(), pushed.rend(),
                                      [](const ProbedInput& input) { return input.what.starts_with("rel "); });
    const auto lastPress = std::find_if(played.rbegin(), played.rend(),
                                        [](const ProbedInput& input) { return input.what.ends_with(" 1"); });
    if (trigger == pushed.rend() || lastPress == played.rend()) {
        std::fprintf(stderr, "round %d: the probes missed the push or the playback\n", round + 1);
        return std::nullopt;
    }
    return Latency{ms(played.back().at - trigger->at), ms(lastPress->at - trigger->at)};
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
    // Made before any playback starts, so the capture of each finds it among the devices there are.
    const std::unique_ptr<ScriptedDevice> mouse = ScriptedDevice::create("LoopWren bench hand");
    if (!mouse) {
        std::fputs("stop_latency_vm: cannot make a uinput device (is this the VM, as root?)\n", stderr);
        return 2;
    }
    if (!waitFor([&] { return isTaggedMouse(mouse->devnode()); }, std::chrono::seconds(60))) {
        std::fputs("stop_latency_vm: udev did not take the scripted mouse in\n", stderr);
        return 2;
    }
    QTemporaryDir folder;
    const QString path = folder.filePath("keys.json");
    if (!writeKeyMacro(path))
        return 2;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.insert("XDG_CONFIG_HOME", folder.filePath("config"));

    std::vector<double> toLast, toLastPress;
    for (int round = 0; round < rounds; ++round) {
        if (const std::optional<Latency> latency = runRound(*mouse, path, env, round)) {
            toLast.push_back(latency->toLast);
            toLastPress.push_back(latency->toLastPress);
        }
    }
    if (toLast.empty())
        return 1;
    std::printf("kernel path stop latency over %zu of %d rounds (kernel time stamps, ms): from the mouse report\n"
                "that carries the motion past the threshold to\n",
                toLast.size(), rounds);
    std::printf("  the playback's last input (releases included): median %.2f ms, p99 %.2f ms\n",
                percentile(toLast, 0.5), percentile(toLast, 0.99));
    std::printf("  the playback's last key press:                 median %.2f ms, p99 %.2f ms\n",
                percentile(toLastPress, 0.5), percentile(toLastPress, 0.99));
    std::printf("Figures taken under qemu's emulated CPU (TCG): compare them with each other, not with a "
                "desktop machine.\n");
    return 0;
}
