// The cost of playing back from the window, against the command-line tool, on a real X server (run
// it through run.sh, under scripts/with-x11.sh):
//   window_replay make FILE COUNT     writes a macro of COUNT clicks and key strokes, 2-120 ms apart
//   window_replay probe LOG           logs every click and key the server delivers until SIGTERM
//   window_replay window FILE         the application's window on the X11 backend plays FILE once
//   window_replay stats FILE LOG      compares the logged intervals with the file's delays; prints
//                                     "matched N median MS p99 MS"
#include "backendchoice.h"
#include "loopwrenapp.h"
#include "macrofile.h"
#include "macrofiles.h"
#include "memorypreferencesstore.h"
#include "probe.h"
#include "timingstats.h"

#include <QApplication>
#include <QFile>
#include <QQmlEngineExtensionPlugin>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <random>
#include <sys/socket.h>
#include <unistd.h>

Q_IMPORT_QML_PLUGIN(LoopWren_UiPlugin)

using namespace loopwren;
using namespace loopwren::bench;

namespace {

int make(const QString& path, int count)
{
    std::mt19937 random(11);
    std::uniform_int_distribution<int> gap(2, 120);
    Timeline events;
    for (int i = 0; i < count; i += 2) {
        const bool click = i % 4 == 0;
        for (const bool down : {true, false}) {
            MacroEvent event;
            event.id = Uuid::random();
            event.delaySincePrevious = gap(random) / 1000.0;
            if (click) {
                // On the desktop's background, away from LoopWren's window.
                event.type = down ? EventType::mouseDown : EventType::mouseUp;
                // Always the same place: the pointer needs no jump (and no hover) before a press.
                event.location = Point{1500.0, 850.0};
                event.mouseButton = MouseButtonType::left;
                event.clickCount = 1;
            } else {
                event.type = down ? EventType::keyDown : EventType::keyUp;
                event.keyCode = static_cast<std::uint16_t>(i % 7); // letters: they do nothing here
            }
            event.flags = 0;
            events.push_back(event);
        }
    }
    const QString error = macrofiles::save(path, events);
    if (!error.isEmpty())
        std::fprintf(stderr, "window_replay: %s\n", qPrintable(error));
    return error.isEmpty() ? 0 : 1;
}

int signalPipe[2];

int probe(const QString& path)
{
    Probe probe;
    if (!probe.isRunning())
        return 2;
    probe.startPinging();
    ::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe);
    std::signal(SIGTERM, [](int) { (void)!::write(signalPipe[0], "x", 1); });
    QSocketNotifier stop(signalPipe[1], QSocketNotifier::Read);
    QObject::connect(&stop, &QSocketNotifier::activated, [] { QCoreApplication::quit(); });
    std::puts("probing");
    std::fflush(stdout);
    QCoreApplication::exec();
    std::ofstream out(path.toStdString());
    for (const ProbedInput& input : probe.take()) {
        if (input.what.rfind("move", 0) != 0)
            out << std::chrono::duration_cast<std::chrono::nanoseconds>(input.at.time_since_epoch()).count()
                << ' ' << input.what << '\n';
    }
    return 0;
}

int window(const QString& path)
{
    BackendChoice backend = chooseBackend();
    if (!backend.backend)
        return 2;
    PlatformServices services = backend.backend->provide({});
    services.preferences = std::make_unique<MemoryPreferencesStore>();
    LoopWrenApp app(std::move(services), {}, backend.backend->windowEffects());
    if (!app.openWindow() || !app.engine().loadMacro(path))
        return 1;
    QObject::connect(&app.engine(), &MacroEngine::playbackFinished, [] { QCoreApplication::quit(); });
    // Shown and settled first, as a user would see it before pressing PLAYBACK.
    QTimer::singleShot(1500, &app.engine(), [&app] { app.engine().startPlayback(); });
    return QApplication::exec();
}

int stats(const QString& macroPath, const QString& logPath)
{
    const MacroReadResult macro = macrofiles::load(macroPath);
    std::ifstream log(logPath.toStdString());
    std::vector<ProbedInput> observed;
    for (long long ns = 0; log >> ns;) {
        std::string rest;
        std::getline(log, rest);
        observed.push_back({rest, std::chrono::steady_clock::time_point(std::chrono::nanoseconds(ns))});
    }
    if (!macro.ok() || observed.size() != macro.events.size()) {
        std::printf("matched %zu of %zu\n", observed.size(), macro.events.size());
        return 1;
    }
    std::vector<double> errors;
    for (std::size_t i = 1; i < observed.size(); ++i) {
        const double seen =
            std::chrono::duration<double, std::milli>(observed[i].at - observed[i - 1].at).count();
        errors.push_back(std::abs(seen - macro.events[i].delaySincePrevious * 1000.0));
    }
    std::printf("matched %zu median %.3f p99 %.3f\n", observed.size(), percentile(errors, 0.5),
                percentile(errors, 0.99));
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "window") {
        QApplication app(argc, argv);
        return argc == 3 ? window(QString::fromLocal8Bit(argv[2])) : 2;
    }
    QCoreApplication app(argc, argv);
    if (mode == "make" && argc == 4)
        return make(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]));
    if (mode == "probe" && argc == 3)
        return probe(QString::fromLocal8Bit(argv[2]));
    if (mode == "stats" && argc == 4)
        return stats(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    std::fputs("usage: window_replay make FILE COUNT | probe LOG | window FILE | stats FILE LOG\n", stderr);
    return 2;
}
