// The kernel path's timing, in a VM whose kernel offers uinput (`make bench-vm` runs it there through
// tests/vm/run-vm.sh). A scripted uinput keyboard-and-mouse plays a stream; LoopWren records it through
// the kernel backend (libinput) and plays the recording back through its replay device; a probe reads
// both devices' nodes with the kernel's own time stamps. The replay is held to what LoopWren recorded:
// its inputs and their recorded delays. The floor is the scripted device playing the same stream again,
// held to its script and seen by the same kind of probe: what the kernel, the scheduler and the reading
// leave of exact times with no LoopWren in between. An input either side lost or added against its
// target counts as an interval of unbounded error, so neither can look more exact by delivering less.
// Rounds are interleaved in one run, so the figures compare side by side; under an emulated CPU they
// are relative, not what a desktop machine would show.
#include "backendchoice.h"
#include "evdevprobe.h"
#include "kernelinputmonitor.h"
#include "kernelscripts.h"
#include "macroengine.h"
#include "memorypreferencesstore.h"
#include "nullplatform.h"
#include "passes.h"
#include "replaydevice.h"
#include "scripteddevice.h"
#include "timingstats.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <utility>

using namespace loopwren;
using namespace loopwren::bench;

namespace {

constexpr std::size_t kMixedInputs = 1000;
constexpr std::size_t kSteadyInputs = 3000;

// The desktop would say where the pointer is; here every click is where the script puts it. When it
// was asked is kept: a desktop asked at that moment reports the pointer as it is then, so the time from
// the press to the question, times the pointer's speed, is how far a click's place can be off.
class ClickPlace : public PointerPositionSource
{
public:
    std::optional<Point> pointerPosition() override
    {
        std::lock_guard lock(m_mutex);
        m_asked.push_back(std::chrono::steady_clock::now());
        return clickPlace;
    }
    std::vector<std::chrono::steady_clock::time_point> takeQuestions()
    {
        std::lock_guard lock(m_mutex);
        return std::exchange(m_asked, {});
    }

private:
    std::mutex m_mutex;
    std::vector<std::chrono::steady_clock::time_point> m_asked;
};

// Milliseconds from each button input the device delivered to the question about its place: the
// capture asks once per button input, in order. Empty when the counts differ.
std::vector<double> questionLags(const std::vector<ProbedInput>& delivered,
                                 const std::vector<std::chrono::steady_clock::time_point>& asked)
{
    std::vector<std::chrono::steady_clock::time_point> buttons;
    for (const ProbedInput& input : delivered) {
        if (input.what.starts_with("key 27"))
            buttons.push_back(input.at);
    }
    std::vector<double> lags;
    if (buttons.size() != asked.size())
        return lags;
    for (std::size_t i = 0; i < buttons.size(); ++i)
        lags.push_back(std::chrono::duration<double, std::milli>(asked[i] - buttons[i]).count());
    return lags;
}

struct Round
{
    Comparison replay; // LoopWren's playback against what it recorded
    Comparison floor;  // the device playing its script again, against the script
    // The 1 kHz stream: inputs sent, read back from the device's node, recorded, read back from the
    // replay device's node; a probe that overflowed undercounts.
    std::size_t sent = 0, delivered = 0, recorded = 0, replayed = 0;
    bool deviceProbeOverflowed = false, replayProbeOverflowed = false;
    std::vector<double> questionLagMs; // from each press or release to the question about its place
};

// Compares what a pass delivered with its target, saying what it lacks, added or delivered out of order.
Comparison compareAndTell(const char* what, int round, const std::vector<ProbedInput>& target,
                          const Reading& run)
{
    const Comparison comparison = compareByOccurrence(target, run.inputs);
    if (comparison.missing > 0 || comparison.extra > 0 || comparison.outOfOrder > 0)
        std::printf("round %d: the %s lacks %zu of %zu inputs and adds %zu%s, %zu came out of order\n", round + 1,
                    what, comparison.missing, target.size(), comparison.extra,
                    run.overflowed ? " (its probe fell behind)" : "", comparison.outOfOrder);
    return comparison;
}

Round runRound(Passes& passes, MacroEngine& engine, ClickPlace& place, int round)
{
    Round result;
    const Timeline script = makeMixedScript(kMixedInputs, static_cast<std::uint32_t>(round + 1));
    place.takeQuestions();
    const Reading original = passes.record(script);
    result.questionLagMs = questionLags(original.inputs, place.takeQuestions());
    if (original.overflowed)
        std::printf("round %d: the probe fell behind the device while LoopWren recorded\n", round + 1);
    // The replay is held to the recording: its inputs at its delays, which the capture took from the
    // kernel's stamps. What the recording itself lost or added against the stream the device delivered
    // is the recording's, told here and not held against the replay.
    const std::vector<ProbedInput> recorded = expectedInputs(engine.recordedEvents());
    const Comparison recording = compareByOccurrence(original.inputs, recorded);
    if (recording.missing > 0 || recording.extra > 0)
        std::printf("round %d: the recording lacks %zu of the %zu inputs the device delivered and adds %zu\n",
                    round + 1, recording.missing, original.inputs.size(), recording.extra);
    // The floor, the device playing the script again, is held to the script. Both take turns at going
    // first, so neither always meets a fresher machine.
    const auto replay = [&] { result.replay = compareAndTell("replay", round, recorded, passes.replay()); };
    const auto floor = [&] {
        result.floor = compareAndTell("floor", round, expectedInputs(script), passes.playAgain(script));
    };
    if (round % 2 == 0) {
        floor();
        replay();
    } else {
        replay();
        floor();
    }

    const Timeline steady = makeSteadyScript(kSteadyInputs);
    const Reading delivered = passes.record(steady);
    const Reading replayed = passes.replay();
    result.sent = steady.size();
    result.delivered = delivered.inputs.size();
    result.recorded = engine.recordedEvents().size();
    result.replayed = replayed.inputs.size();
    result.deviceProbeOverflowed = delivered.overflowed;
    result.replayProbeOverflowed = replayed.overflowed;
    return result;
}

template <typename F>
double medianOf(const std::vector<Round>& rounds, F figure)
{
    std::vector<double> values;
    for (const Round& round : rounds)
        values.push_back(figure(round));
    return percentile(values, 0.5);
}

void printTiming(const std::vector<Round>& rounds)
{
    std::printf("\nInterval error (ms) of the replay against what LoopWren recorded, and of the floor (the device\n"
                "playing its script again) against the script; each input lost or added counts as an interval of\n"
                "unbounded error (inf). Drift (ms): the span from the first to the last input minus the target's;\n"
                "drift50: the same from the median offsets of the first and the last 50 inputs.\n");
    std::printf("%-6s| %-11s %7s %7s %8s %8s | %-11s %7s %7s %8s %8s\n", "round", "replay -/+", "median", "p99",
                "drift", "drift50", "floor -/+", "median", "p99", "drift", "drift50");
    const auto row = [](const Comparison& c) {
        std::printf("%4zu/%-4zu   %7.3f %7.3f %+8.2f %+8.2f", c.missing, c.extra, c.medianErrorMs, c.p99ErrorMs,
                    c.driftMs, c.settledDriftMs);
    };
    for (std::size_t i = 0; i < rounds.size(); ++i) {
        std::printf("%-6zu| ", i + 1);
        row(rounds[i].replay);
        std::printf(" | ");
        row(rounds[i].floor);
        std::printf("\n");
    }
    const auto median = [&](const Comparison Round::*side) {
        Comparison c;
        c.medianErrorMs = medianOf(rounds, [&](const Round& r) { return (r.*side).medianErrorMs; });
        c.p99ErrorMs = medianOf(rounds, [&](const Round& r) { return (r.*side).p99ErrorMs; });
        c.driftMs = medianOf(rounds, [&](const Round& r) { return (r.*side).driftMs; });
        c.settledDriftMs = medianOf(rounds, [&](const Round& r) { return (r.*side).settledDriftMs; });
        for (const Round& r : rounds) {
            c.missing += (r.*side).missing;
            c.extra += (r.*side).extra;
        }
        return c;
    };
    const Comparison replay = median(&Round::replay);
    const Comparison floor = median(&Round::floor);
    std::printf("%-6s| ", "median");
    row(replay);
    std::printf(" | ");
    row(floor);
    std::printf("  (-/+: all rounds)\n");
    std::printf("\nOver %zu interleaved rounds, medians of the rounds' figures:\n", rounds.size());
    std::printf("  replay against its recording: median %.3f ms, p99 %.3f ms, %zu inputs lost, %zu added\n",
                replay.medianErrorMs, replay.p99ErrorMs, replay.missing, replay.extra);
    std::printf("  floor against its script:     median %.3f ms, p99 %.3f ms, %zu inputs lost, %zu added\n",
                floor.medianErrorMs, floor.p99ErrorMs, floor.missing, floor.extra);
    const double medianRatio = replay.medianErrorMs / floor.medianErrorMs;
    const double p99Ratio = replay.p99ErrorMs / floor.p99ErrorMs;
    std::printf("  replay / floor:               median %.2fx, p99 %.2fx\n", medianRatio, p99Ratio);
    // Timing says nothing for inputs that never came: a replay that lost or added any is not at the
    // floor, however its intervals compare.
    if (replay.missing > 0 || replay.extra > 0)
        std::printf("  the replay lost or added inputs: not at the floor, whatever its timing\n");
    else
        std::printf("  the replay is %swithin 1.5x of the floor in median and p99\n",
                    medianRatio <= 1.5 && p99Ratio <= 1.5 ? "" : "not ");
}

void printQuestionLags(const std::vector<Round>& rounds)
{
    std::printf("\nFrom a button input's kernel stamp to the capture asking where the pointer is (ms)\n");
    std::printf("%-7s| %7s %7s %7s\n", "round", "inputs", "median", "p99");
    for (std::size_t i = 0; i < rounds.size(); ++i) {
        const std::vector<double>& lags = rounds[i].questionLagMs;
        if (lags.empty())
            std::printf("%-7zu| the questions did not match the button inputs one for one\n", i + 1);
        else
            std::printf("%-7zu| %7zu %7.3f %7.3f\n", i + 1, lags.size(), percentile(lags, 0.5),
                        percentile(lags, 0.99));
    }
}

void printLosses(const std::vector<Round>& rounds)
{
    std::printf("\n1,000 inputs/s for %.0f s (* the probe fell behind and undercounts)\n",
                kSteadyInputs / 1000.0);
    std::printf("%-7s| %6s %10s %9s %9s | %14s %11s\n", "round", "sent", "read back", "recorded", "replayed",
                "recording lost", "replay lost");
    std::size_t sent = 0, recorded = 0, replayedCounted = 0, recordedCounted = 0;
    for (std::size_t i = 0; i < rounds.size(); ++i) {
        const Round& r = rounds[i];
        std::printf("%-7zu| %6zu %9zu%s %9zu %8zu%s | %14td %11s\n", i + 1, r.sent, r.delivered,
                    r.deviceProbeOverflowed ? "*" : " ", r.recorded, r.replayed,
                    r.replayProbeOverflowed ? "*" : " ", static_cast<std::ptrdiff_t>(r.sent - r.recorded),
                    r.replayProbeOverflowed
                        ? "?"
                        : std::to_string(static_cast<std::ptrdiff_t>(r.recorded - r.replayed)).c_str());
        sent += r.sent;
        recorded += r.recorded;
        if (!r.replayProbeOverflowed) {
            recordedCounted += r.recorded;
            replayedCounted += r.replayed;
        }
    }
    std::printf("%-7s| %6zu %10s %9zu %9s | %14td %11td\n", "all", sent, "", recorded, "",
                static_cast<std::ptrdiff_t>(sent - recorded),
                static_cast<std::ptrdiff_t>(recordedCounted - replayedCounted));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    // The capture takes every device there is when it starts: the scripted one must exist by then.
    const std::unique_ptr<ScriptedDevice> hardware =
        ScriptedDevice::create("LoopWren bench keyboard and mouse");
    if (!hardware) {
        std::fputs("kernel_timing: cannot make a uinput device (is this the VM, as root?)\n", stderr);
        return 2;
    }
    const std::unique_ptr<Backend> backend = openKernelBackend();
    if (const Backend::Abilities can = backend->abilities(); !can.play) {
        std::fprintf(stderr, "kernel_timing: %s\n", qPrintable(can.playProblem));
        return 2;
    }
    FrontEndHooks hooks;
    hooks.screenLayout = [] { return ScreenLayout{{{0, 0, 1280, 800}}, 0}; };
    PlatformServices services = backend->provide(hooks);
    services.preferences = std::make_unique<MemoryPreferencesStore>();
    // The capture places clicks where the script put them: there is no desktop to ask.
    const auto place = std::make_shared<ClickPlace>();
    auto monitor = std::make_unique<KernelInputMonitor>(place, ClickSettings{});
    KernelInputMonitor& capture = *monitor;
    services.input = std::move(monitor);
    fillWithNullServices(services);
    MacroEngine engine(std::move(services));

    std::string replayNode;
    waitFor("the replay device's node", [&] {
        replayNode = EvdevProbe::findNode(replaydevice::name);
        return !replayNode.empty();
    });
    // Until udev has tagged the device, libinput leaves it alone.
    waitFor("udev to take the scripted device in", [&] { return sees(capture, hardware->name()); });

    std::printf("%d rounds: %zu keys, clicks and wheel notches 1-50 ms apart, then %zu at 1,000/s\n", rounds,
                kMixedInputs, kSteadyInputs);
    Passes passes(*hardware, capture, engine, replayNode);
    std::vector<Round> results;
    for (int round = 0; round < rounds; ++round) {
        results.push_back(runRound(passes, engine, *place, round));
        std::printf("round %d done\n", round + 1);
        std::fflush(stdout);
    }
    printTiming(results);
    printQuestionLags(results);
    printLosses(results);
    std::printf("\nFigures taken under qemu's emulated CPU (TCG): compare them with each other, not with a "
                "desktop machine.\n");
    return 0;
}
