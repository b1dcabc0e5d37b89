#include "passes.h"

#include "evdevprobe.h"
#include "kernelinputmonitor.h"
#include "macroengine.h"
#include "realtime.h"
#include "scripteddevice.h"
#include "scriptedinput.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace loopwren::bench {
namespace {

constexpr int kPatienceMs = 120'000;

// Runs work on its own thread while the main thread keeps the event loop going.
void runBeside(const std::function<void()>& work)
{
    std::atomic<bool> done{false};
    std::thread thread([&] {
        work();
        done = true;
    });
    waitFor("the scripted input", [&] { return done.load(); });
    thread.join();
}

Reading finish(EvdevProbe& probe)
{
    std::vector<ProbedInput> inputs = probe.finish();
    return {std::move(inputs), probe.overflows() > 0};
}

} // namespace

Passes::Passes(ScriptedDevice& device, KernelInputMonitor& monitor, MacroEngine& engine,
               std::string replayNode)
    : m_device(device), m_monitor(monitor), m_engine(engine), m_replayNode(std::move(replayNode))
{
}

Reading Passes::record(const Timeline& script)
{
    EvdevProbe probe(m_device.devnode());
    m_engine.startRecording();
    waitFor("the capture to open the scripted device", [&] { return sees(m_monitor, m_device.name()); });
    play(script);
    m_engine.stopRecording();
    // The recorded events reach the timeline through the event queue.
    QCoreApplication::sendPostedEvents();
    return finish(probe);
}

Reading Passes::replay()
{
    EvdevProbe probe(m_replayNode);
    m_engine.startPlayback();
    waitFor("the playback", [&] { return !m_engine.isPlaying(); });
    return finish(probe);
}

Reading Passes::playAgain(const Timeline& script)
{
    EvdevProbe probe(m_device.devnode());
    play(script);
    return finish(probe);
}

void Passes::play(const Timeline& script)
{
    runBeside([&] {
        makeThisThreadRealTime();
        postAtAbsoluteTimes(script, m_device);
    });
}

void waitFor(const char* what, const std::function<bool()>& condition)
{
    const QDeadlineTimer deadline(kPatienceMs);
    // The main thread sleeps in the event loop between looks, as an application's does: one that spun
    // here would take a CPU of the VM's two from the player, where the floor's real-time thread would
    // not notice it. The tick bounds each sleep, for conditions that post no event when they come.
    QTimer tick;
    tick.start(5);
    while (!condition()) {
        if (deadline.hasExpired()) {
            std::fprintf(stderr, "kernel_timing: %s: not within %d s\n", what, kPatienceMs / 1000);
            std::exit(2);
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}

bool sees(const KernelInputMonitor& monitor, const std::string& name)
{
    for (const InputDeviceAccess& device : monitor.devices()) {
        if (device.name == name)
            return true;
    }
    return false;
}

} // namespace loopwren::bench
