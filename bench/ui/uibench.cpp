// Whole-window timings that a unit test must never assert:
//   ui_bench startup LAUNCH_NS   time from LAUNCH_NS (CLOCK_REALTIME, taken by the caller right before it
//                                started this process) to the main window's first frame
//   ui_bench load EVENTS         time from loading a file of EVENTS events to the first frame showing them
//   ui_bench record RATE SECONDS main-thread busy share while recording RATE events/s into the visible list
// Each prints one line "name value unit". run.sh repeats them and reports medians.
#include "fakeplatform.h"
#include "loopwrenapp.h"
#include "memorypreferencesstore.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QQmlEngineExtensionPlugin>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>

Q_IMPORT_QML_PLUGIN(LoopWren_UiPlugin)

namespace {

using namespace loopwren;

struct Harness
{
    loopwren::FakeInputMonitor* input = nullptr;
    std::unique_ptr<LoopWrenApp> app;

    Harness()
    {
        PlatformServices services;
        auto inputOwned = std::make_unique<FakeInputMonitor>();
        input = inputOwned.get();
        services.input = std::move(inputOwned);
        services.accessibility = std::make_unique<FakeAccessibility>();
        services.preferences = std::make_unique<MemoryPreferencesStore>();
        app = std::make_unique<LoopWrenApp>(std::move(services), EngineOptions{});
    }
};

// Runs the event loop until the window has presented a frame in which condition holds.
void waitForFrame(QQuickWindow& window, const std::function<bool()>& condition)
{
    QEventLoop loop;
    auto connection = QObject::connect(&window, &QQuickWindow::frameSwapped, &loop, [&] {
        if (condition())
            loop.quit();
    });
    window.update();
    loop.exec();
    QObject::disconnect(connection);
}

double threadCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double msSince(qint64 launchNs)
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count() - launchNs) /
           1e6;
}

int startup(qint64 launchNs)
{
    // The phases go to standard error, so a slow start can be traced to its part.
    std::fprintf(stderr, "application object %.1f ms\n", msSince(launchNs));
    Harness harness;
    std::fprintf(stderr, "engine and state %.1f ms\n", msSince(launchNs));
    if (!harness.app->openWindow())
        return 1;
    std::fprintf(stderr, "window loaded %.1f ms\n", msSince(launchNs));
    waitForFrame(*harness.app->window(), [] { return true; });
    std::printf("startup_to_first_frame %.1f ms\n", msSince(launchNs));
    return 0;
}

int load(int events)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.json"));
    {
        // The file is written by the engine itself, so it is exactly what an export produces.
        Harness writer;
        Timeline timeline;
        timeline.reserve(static_cast<std::size_t>(events));
        for (int i = 0; i < events; ++i) {
            MacroEvent event;
            event.id = Uuid::random();
            event.type = i % 2 ? EventType::mouseUp : EventType::mouseDown;
            event.delaySincePrevious = 0.01 * (i % 50);
            event.location = Point{static_cast<double>(i % 1920), static_cast<double>(i % 1080)};
            event.mouseButton = MouseButtonType::left;
            event.clickCount = 1;
            event.flags = 0;
            timeline.push_back(event);
        }
        writer.app->engine().setRecordedEvents(std::move(timeline));
        if (!writer.app->engine().saveMacro(path))
            return 1;
    }
    Harness harness;
    if (!harness.app->openWindow())
        return 1;
    QQuickWindow& window = *harness.app->window();
    waitForFrame(window, [] { return true; });

    QElapsedTimer timer;
    timer.start();
    if (!harness.app->engine().loadMacro(path))
        return 1;
    TimelineModel& model = *harness.app->viewState().timeline();
    waitForFrame(window, [&] { return model.rowCount() == events; });
    std::printf("load_%d_events_to_frame %.1f ms\n", events, static_cast<double>(timer.nsecsElapsed()) / 1e6);
    return 0;
}

int record(int rate, int seconds)
{
    Harness harness;
    if (!harness.app->openWindow())
        return 1;
    QQuickWindow& window = *harness.app->window();
    waitForFrame(window, [] { return true; });
    MacroEngine& engine = harness.app->engine();
    engine.startRecording();

    QElapsedTimer clock;
    clock.start();
    const double cpuStart = threadCpuSeconds();
    qint64 delivered = 0;
    const qint64 total = static_cast<qint64>(rate) * seconds;
    QEventLoop loop;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(1);
    // Catch up on every tick so the average rate is exact even when a tick comes late, as a burst
    // of input read from the X connection would.
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        const qint64 due = std::min(total, clock.nsecsElapsed() * rate / 1000000000);
        for (; delivered < due; ++delivered) {
            InputEvent event;
            event.kind = delivered % 2 ? InputKind::buttonUp : InputKind::buttonDown;
            event.button = MouseButtonType::left;
            event.location = Point{static_cast<double>(delivered % 1000), 300.0};
            event.clickCount = 1;
            event.timestamp = std::chrono::steady_clock::now();
            harness.input->deliver(event);
        }
        if (delivered >= total)
            loop.quit();
    });
    tick.start();
    loop.exec();
    // Let the queued appends land and the last of them be drawn.
    waitForFrame(window, [&] { return engine.eventCount() == total; });
    const double wall = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    const double busy = threadCpuSeconds() - cpuStart;
    engine.stopRecording();
    std::printf("recording_%d_per_s_main_thread_busy %.1f %%  (%lld events in %.2f s, %s render loop)\n",
                rate, 100.0 * busy / wall, static_cast<long long>(engine.eventCount()), wall,
                qgetenv("QSG_RENDER_LOOP").isEmpty() ? "default" : qgetenv("QSG_RENDER_LOOP").constData());
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() == 3 && args[1] == QStringLiteral("startup"))
        return startup(args[2].toLongLong());
    if (args.size() == 3 && args[1] == QStringLiteral("load"))
        return load(args[2].toInt());
    if (args.size() == 4 && args[1] == QStringLiteral("record"))
        return record(args[2].toInt(), args[3].toInt());
    std::fprintf(stderr, "usage: ui_bench startup LAUNCH_NS | load EVENTS | record RATE SECONDS\n");
    return 2;
}
