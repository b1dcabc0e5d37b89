// Whole-cycle timing of recording and playback on a real X server (run it under scripts/with-x11.sh):
// a generator posts a scripted stream at exact times, LoopWren records it and plays it back, and a
// probe logs when every input arrived. The same figures are taken for the generator replaying its own
// script (the noise floor) and for a player that counts nominal sleep slices.
#include "macroengine.h"
#include "playbackworker.h"
#include "probe.h"
#include "qsettingspreferencesstore.h"
#include "scriptedinput.h"
#include "timingstats.h"
#include "x11backend.h"
#include "x11inputposter.h"
#include "x11probewindow.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <random>
#include <thread>

using namespace loopwren;
using namespace loopwren::bench;
using Clock = std::chrono::steady_clock;

namespace {

void runEventsFor(std::chrono::milliseconds duration)
{
    const Clock::time_point end = Clock::now() + duration;
    while (Clock::now() < end)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// Runs work on its own thread while the main thread keeps the event loop going.
template <typename F>
void runBeside(F work)
{
    std::atomic<bool> done{false};
    std::thread thread([&] {
        work();
        done = true;
    });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    thread.join();
}

std::unique_ptr<InputPoster> poster()
{
    auto made = X11InputPoster::create({});
    if (!made) {
        std::fputs("playback_timing: no XTEST poster (is DISPLAY an X server?)\n", stderr);
        std::exit(2);
    }
    return made;
}

void measureStopLatency()
{
    std::vector<double> latencies;
    std::mt19937 random(3);
    std::uniform_int_distribution<int> wait(2, 8);
    for (int trial = 0; trial < 200; ++trial) {
        PlaybackPlan plan;
        MacroEvent key;
        key.id = Uuid::random();
        key.type = EventType::keyDown;
        key.keyCode = 0;
        key.delaySincePrevious = 60;
        plan.events = {key};
        std::atomic<Clock::rep> finishedAt{0};
        SteadyPlaybackClock steady;
        PlaybackWorker worker(
            std::move(plan), poster(), steady, [](std::size_t) {},
            [&] { finishedAt = Clock::now().time_since_epoch().count(); });
        std::this_thread::sleep_for(std::chrono::milliseconds(wait(random)));
        const Clock::time_point stop = Clock::now();
        worker.cancel();
        while (finishedAt == 0)
            std::this_thread::yield();
        latencies.push_back(std::chrono::duration<double, std::milli>(Clock::duration(finishedAt.load()) -
                                                                      stop.time_since_epoch())
                                .count());
    }
    std::printf(
        "stop latency (cancel to keys released and worker done), 200 stops: median %.3f ms  p99 %.3f ms  "
        "max %.3f ms\n",
        percentile(latencies, 0.5), percentile(latencies, 0.99), percentile(latencies, 1.0));
}

void measureCaptureThroughput(MacroEngine& engine, Probe& probe, X11ProbeWindow& sink)
{
    constexpr int kRate = 5000;
    constexpr int kSeconds = 10;
    engine.setRecordMouseMovements(true);
    engine.startRecording();
    runEventsFor(std::chrono::milliseconds(100));
    sink.clear();
    probe.take();

    qint64 longestStallUs = 0;
    QElapsedTimer sinceTick;
    sinceTick.start();
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestStallUs = std::max(longestStallUs, sinceTick.nsecsElapsed() / 1000);
        sinceTick.restart();
    });
    ticker.start(1);

    auto burst = poster();
    runBeside([&] {
        const Clock::time_point start = Clock::now();
        for (int i = 0; i < kRate * kSeconds; ++i) {
            std::this_thread::sleep_until(start + std::chrono::microseconds(1000000 / kRate) * i);
            burst->postMouseMoved(Point{100.0 + (i % 2) * 300.0, 100.0 + (i % 7) * 50.0}, std::nullopt);
        }
    });
    runEventsFor(std::chrono::milliseconds(500));
    ticker.stop();
    engine.stopRecording();
    runEventsFor(std::chrono::milliseconds(100));
    sink.clear();
    const std::size_t probed = probe.take().size();
    std::printf(
        "capture: %d motion events posted at %d/s for %d s; the server delivered %zu, LoopWren recorded "
        "%zu (%zu lost); longest main-thread stall while recording %.1f ms\n",
        kRate * kSeconds, kRate, kSeconds, probed, engine.recordedEvents().size(),
        probed - std::min(probed, engine.recordedEvents().size()), longestStallUs / 1000.0);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());

    Probe probe;
    if (!probe.isRunning()) {
        std::fputs("playback_timing: cannot start the RECORD probe (is DISPLAY an X server?)\n", stderr);
        return 2;
    }
    if (qEnvironmentVariableIsSet("TIMING_PING"))
        probe.startPinging();
    // The generated input lands here rather than in whatever window has the focus.
    std::string problem;
    const auto sink = X11ProbeWindow::open(&problem);
    if (!sink) {
        std::fprintf(stderr, "playback_timing: %s\n", problem.c_str());
        return 2;
    }
    // What the sink received is of no interest: it is dropped whenever the probe's log is taken.
    const auto take = [&] {
        sink->clear();
        return probe.take();
    };
    const std::unique_ptr<X11Backend> backend = X11Backend::open();
    if (!backend)
        return 2;
    PlatformServices services = backend->provide({});
    services.preferences = std::make_unique<QSettingsPreferencesStore>();
    MacroEngine engine(std::move(services));
    engine.setRecordMouseMovements(true);

    const Timeline script = makeScript(320, 7);
    double length = 0;
    for (const MacroEvent& e : script)
        length += e.delaySincePrevious;
    std::printf("script: %zu inputs over %.2f s\n", script.size(), length);

    auto generator = poster();
    runEventsFor(std::chrono::milliseconds(200));
    take();
    engine.startRecording();
    runBeside([&] { postAtAbsoluteTimes(script, *generator); });
    runEventsFor(std::chrono::milliseconds(300));
    engine.stopRecording();
    runEventsFor(std::chrono::milliseconds(50));
    const std::vector<ProbedInput> original = take();
    const Timeline recorded = engine.recordedEvents();
    std::printf("recorded %zu events\n", recorded.size());

    engine.startPlayback();
    while (engine.isPlaying())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    runEventsFor(std::chrono::milliseconds(300));
    const std::vector<ProbedInput> replay = take();

    runBeside([&] { postAtAbsoluteTimes(script, *generator); });
    runEventsFor(std::chrono::milliseconds(300));
    const std::vector<ProbedInput> noise = take();

    auto naivePoster = poster();
    runBeside([&] { postWithNominalSlices(recorded, *naivePoster); });
    runEventsFor(std::chrono::milliseconds(300));
    const std::vector<ProbedInput> naive = take();

    if (qEnvironmentVariableIsSet("TIMING_DUMP")) {
        for (std::size_t i = 0; i < std::min<std::size_t>(12, std::min(original.size(), replay.size())); ++i)
            std::printf("%-24s | %-24s\n", original[i].what.c_str(), replay[i].what.c_str());
        for (std::size_t i = 1; i < std::min<std::size_t>(40, std::min(original.size(), noise.size())); ++i)
            std::printf(
                "%-24s %8.3f %8.3f %8.3f\n", original[i].what.c_str(),
                std::chrono::duration<double, std::milli>(original[i].at - original[i - 1].at).count(),
                std::chrono::duration<double, std::milli>(noise[i].at - noise[i - 1].at).count(),
                script[i].delaySincePrevious * 1000);
    }
    if (qEnvironmentVariableIsSet("TIMING_DUMP")) {
        std::vector<std::pair<double, std::size_t>> worst;
        for (std::size_t i = 1; i < std::min(original.size(), replay.size()); ++i)
            worst.push_back(
                {std::abs(std::chrono::duration<double, std::milli>((replay[i].at - replay[i - 1].at) -
                                                                    (original[i].at - original[i - 1].at))
                              .count()),
                 i});
        std::sort(worst.rbegin(), worst.rend());
        for (std::size_t k = 0; k < std::min<std::size_t>(6, worst.size()); ++k)
            std::printf("worst %zu: %-24s after %-24s off by %.3f ms (original %.3f)\n", worst[k].second,
                        original[worst[k].second].what.c_str(), original[worst[k].second - 1].what.c_str(),
                        worst[k].first,
                        std::chrono::duration<double, std::milli>(original[worst[k].second].at -
                                                                  original[worst[k].second - 1].at)
                            .count());
    }
    std::printf("LoopWren replay     : %s\n", describe(compare(original, replay)).c_str());
    std::printf("noise floor         : %s\n", describe(compare(original, noise)).c_str());
    std::printf("nominal-slice player: %s\n", describe(compare(original, naive)).c_str());

    measureStopLatency();
    measureCaptureThroughput(engine, probe, *sink);
    return 0;
}
