#include "clicommands.h"

#include "backendchoice.h"
#include "logline.h"
#include "macroengine.h"
#include "macrofiles.h"
#include "playbacksessionlock.h"
#include "qsettingspreferencesstore.h"
#include "qtscreenlayout.h"
#include "readonlypreferencesstore.h"
#include "sessiondoctor.h"
#include "signalwatcher.h"
#include "targetwindow.h"
#include "userschedules.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <optional>

namespace loopwren::cli {
namespace {

// Exit statuses of a run ended by a signal, as a shell reports them.
int exitStatusFor(int signalNumber) { return 128 + signalNumber; }

int usageError(const QString& message)
{
    std::fprintf(stderr, "loopwren-cli: %s (see loopwren-cli --help)\n", qPrintable(message));
    return 2;
}

// What this session cannot do, and where the user learns what to do about it.
int refuse(const char* action, const QString& problem)
{
    std::fprintf(stderr,
                 "loopwren-cli: cannot %s in this session: %s; run loopwren-cli doctor for what to do\n",
                 action, qPrintable(problem));
    return 1;
}

// A command whose session went away ends at once with this status, touching no file.
constexpr int kSessionLostStatus = 1;

void reportSessionLost(const QString& notice, const char* consequence)
{
    std::fprintf(stderr, "loopwren-cli: lost %s; %s\n", qPrintable(notice), consequence);
}

// The engine over the user's stored settings and the session's backend, which it keeps for the run.
// It reads the settings the window stored but never changes them, never checks for updates, and binds
// the global hotkeys only when asked: a script drives it, not the keyboard.
struct Session
{
    std::unique_ptr<Backend> backend;
    std::unique_ptr<MacroEngine> engine;
};

// The front end's part of a session: which backend, and the screens for one that places the pointer.
struct SessionOptions
{
    bool withHotkeys = false;
    QString backend{};
    ScreenLayout screens{};
    bool concurrent = false; // plays even while another player of the session plays
};

Session openSession(const SessionOptions& options)
{
    Session session;
    BackendChoice choice = chooseBackend(options.backend);
    if (!choice.backend) {
        std::fprintf(stderr, "loopwren-cli: %s; run loopwren-cli doctor for what to do\n",
                     qPrintable(choice.problem));
        return session;
    }
    FrontEndHooks hooks;
    hooks.hotkeys = options.withHotkeys;
    // The screens given on the command line, or else those of the Wayland session, when the tool
    // runs as a GUI application there (see main).
    if (options.screens.outputs.empty())
        hooks.screenLayout = qtScreenLayout;
    else
        hooks.screenLayout = [screens = options.screens] { return screens; };
    PlatformServices services = choice.backend->provide(hooks);
    services.preferences =
        std::make_unique<ReadOnlyPreferencesStore>(std::make_unique<QSettingsPreferencesStore>());
    session.backend = std::move(choice.backend);
    EngineOptions engineOptions;
    if (!options.concurrent)
        engineOptions.playbackLockPath = PlaybackSessionLock::sessionPath();
    session.engine = std::make_unique<MacroEngine>(std::move(services), engineOptions);
    return session;
}

const QCommandLineOption kBackend(QStringLiteral("backend"), QString(), QStringLiteral("NAME"));

// "1920x1080" or "1920x1080+0+0,1280x1024+1920+0": logical sizes and offsets, the primary first.
std::optional<ScreenLayout> parseScreens(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral(R"(^(\d+)x(\d+)(?:([+-]\d+)([+-]\d+))?$)"));
    ScreenLayout layout;
    for (const QString& part : text.split(QLatin1Char(','))) {
        const QRegularExpressionMatch match = pattern.match(part.trimmed());
        if (!match.hasMatch() || match.captured(1).toDouble() <= 0 || match.captured(2).toDouble() <= 0)
            return std::nullopt;
        layout.outputs.push_back({match.captured(3).toDouble(), match.captured(4).toDouble(),
                                  match.captured(1).toDouble(), match.captured(2).toDouble()});
    }
    return layout;
}

// The single FILE argument and the options, or an error status. Every command that opens a session
// takes --backend.
std::optional<QString> parse(QCommandLineParser& parser, const QStringList& arguments, int& status)
{
    parser.addOption(kBackend);
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    if (!parser.parse(QStringList{QStringLiteral("loopwren-cli")} + arguments)) {
        status = usageError(parser.errorText());
        return std::nullopt;
    }
    if (parser.positionalArguments().size() != 1) {
        status = usageError(QStringLiteral("expected exactly one FILE"));
        return std::nullopt;
    }
    return parser.positionalArguments().first();
}

// The value of --backend (empty when not given) for a command that takes nothing else, or none when
// anything else was given.
std::optional<QString> parseBackendOnly(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.addOption(kBackend);
    if (!parser.parse(QStringList{QStringLiteral("loopwren-cli")} + arguments) ||
        !parser.positionalArguments().isEmpty())
        return std::nullopt;
    return parser.value(kBackend);
}

// A number within [lowest, highest], or none.
std::optional<double> numberWithin(const QString& text, double lowest, double highest)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < lowest || value > highest)
        return std::nullopt;
    return value;
}

// --vary, --pass-pause, --spread and --seed; none after a usage error has been reported.
std::optional<PlaybackOverrides> parseVariation(const QCommandLineParser& parser, const QCommandLineOption& vary,
                                                const QCommandLineOption& passPause,
                                                const QCommandLineOption& spread, const QCommandLineOption& seed)
{
    PlaybackOverrides overrides;
    if (parser.isSet(vary) && !(overrides.delayVariation = numberWithin(parser.value(vary), 0, 100))) {
        usageError(QStringLiteral("--vary takes a percentage from 0 to 100"));
        return std::nullopt;
    }
    if (parser.isSet(passPause)) {
        // "2-5", or "3" for exactly 3 seconds.
        const QStringList ends = parser.value(passPause).split(QLatin1Char('-'));
        const auto low = ends.size() <= 2 ? numberWithin(ends.first(), 0, 3600) : std::nullopt;
        const auto high = ends.size() == 2 ? numberWithin(ends.last(), 0, 3600) : low;
        if (!low || !high || *low > *high) {
            usageError(QStringLiteral("--pass-pause takes MIN-MAX seconds, from 0 to 3600, MIN not above MAX"));
            return std::nullopt;
        }
        overrides.passPauseMinimum = low;
        overrides.passPauseMaximum = high;
    }
    if (parser.isSet(spread) && !(overrides.clickSpread = numberWithin(parser.value(spread), 0, 50))) {
        usageError(QStringLiteral("--spread takes a number of pixels from 0 to 50"));
        return std::nullopt;
    }
    if (parser.isSet(seed)) {
        bool ok = false;
        overrides.seed = parser.value(seed).toULongLong(&ok);
        if (!ok) {
            usageError(QStringLiteral("--seed takes a whole number from 0 to 18446744073709551615"));
            return std::nullopt;
        }
    }
    return overrides;
}

} // namespace

int apps(const QStringList& arguments)
{
    const std::optional<QString> backend = parseBackendOnly(arguments);
    if (!backend)
        return usageError(QStringLiteral("apps takes no arguments but --backend"));
    const Session session = openSession({.backend = *backend});
    if (!session.engine)
        return 1;
    if (const Backend::Abilities can = session.backend->abilities(); !can.placeWindows)
        return refuse("list the running applications", can.placeProblem);
    MacroEngine* engine = session.engine.get();
    // The engine lists the running applications as it starts and publishes them a step later.
    QObject::connect(engine, &MacroEngine::runningAppsChanged, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    for (const QString& name : engine->runningApps())
        std::printf("%s\n", qPrintable(name));
    return 0;
}

int place(const QStringList& arguments)
{
    const std::optional<QString> backend = parseBackendOnly(arguments);
    if (!backend)
        return usageError(QStringLiteral("place takes no arguments but --backend"));
    const Session session = openSession({.backend = *backend});
    if (!session.engine)
        return 1;
    if (const Backend::Abilities can = session.backend->abilities(); !can.placeWindows)
        return refuse("bring the target application forward", can.placeProblem);
    MacroEngine* engine = session.engine.get();
    const QString target = engine->targetAppName();
    if (target.isEmpty()) {
        std::fputs("loopwren-cli: no target application is set (Setting, Target Program)\n", stderr);
        return 1;
    }
    QObject::connect(engine, &MacroEngine::runningAppsChanged, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    if (!engine->runningApps().contains(target)) {
        std::fprintf(stderr, "loopwren-cli: the target application %s is not running\n", qPrintable(target));
        return 1;
    }
    // The placement starts on a worker a moment after the activation; the engine waits for it when it
    // goes, so once it has started the command may end.
    engine->focusTargetApp();
    QTimer::singleShot(2 * TargetWindow::placementDelay, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    std::printf("Brought %s forward\n", qPrintable(target));
    return 0;
}

int doctor(const QStringList& arguments)
{
    const std::optional<QString> backend = parseBackendOnly(arguments);
    if (!backend)
        return usageError(QStringLiteral("doctor takes no arguments but --backend"));
    SessionReport report = examineSession(*backend);
    // Schedules are a matter of their own: recording and playback work without them.
    const QString unscheduled = UserSchedules().unavailableReason();
    report.checks.push_back(
        {unscheduled.isEmpty() ? SessionCheck::Verdict::fine : SessionCheck::Verdict::lacking,
         QStringLiteral("schedules"),
         unscheduled.isEmpty() ? QStringLiteral("kept by your systemd user manager") : unscheduled,
         unscheduled.isEmpty() ? QString()
                               : QStringLiteral("a login through pam_systemd starts the user "
                                                "manager (systemctl --user); macros still play "
                                                "by hand and by hotkey without it")});
    for (const SessionCheck& check : report.checks) {
        const char* mark = check.verdict == SessionCheck::Verdict::fine      ? "ok"
                           : check.verdict == SessionCheck::Verdict::lacking ? "NO"
                                                                             : "--";
        std::printf("%s  %s: %s\n", mark, qPrintable(check.subject), qPrintable(check.finding));
        if (!check.remedy.isEmpty())
            std::printf("      to do: %s\n", qPrintable(check.remedy));
    }
    std::printf(report.works ? "LoopWren can record and play in this session.\n"
                             : "LoopWren cannot both record and play in this session yet.\n");
    return report.works ? 0 : 1;
}

int printHelp()
{
    std::fputs("Usage: loopwren-cli COMMAND [ARGUMENTS]\n"
               "\n"
               "Commands:\n"
               "  validate FILE   check that FILE is a macro LoopWren can load; prints \"OK: N events\"\n"
               "  record FILE [--mouse-moves] [--duration SECONDS] [--backend x11|kernel]\n"
               "                  record the desktop's input until SIGINT/SIGTERM or the duration,\n"
               "                  then write FILE; prints \"Recorded N events\"\n"
               "  play FILE [--speed PERCENT] [--loops N | --infinite] [--focus-target]\n"
               "       [--backend x11|kernel] [--screens WIDTHxHEIGHT[+X+Y][,...]]\n"
               "                  play FILE as synthetic input; SIGINT/SIGTERM or the stored playback\n"
               "                  hotkey stops it with every key released (exit 130/143 for a signal);\n"
               "                  --focus-target first brings the stored target application forward\n"
               "                  and places its window as stored; --screens gives the kernel backend\n"
               "                  the desktop's screens in logical pixels, the primary first (in a\n"
               "                  Wayland session it asks the compositor without it); while another\n"
               "                  playback runs in this session (the window's or another\n"
               "                  loopwren-cli's) it refuses, unless --concurrent\n"
               "       [--vary PERCENT] [--pass-pause MIN-MAX] [--spread PIXELS] [--seed N]\n"
               "       [--stop-on-input] [--concurrent]\n"
               "                  --vary multiplies each delay by a factor drawn from 1 - PERCENT/100 to\n"
               "                  1 + PERCENT/100 (0 to 100); --pass-pause waits a number of seconds\n"
               "                  drawn from MIN to MAX before every pass after the first; --spread moves\n"
               "                  each click to a point drawn within PIXELS (0 to 50) of where it was\n"
               "                  recorded, its release and drags with it; --seed N draws the same values\n"
               "                  in every run (without it, fresh ones each run). --stop-on-input stops\n"
               "                  the playback, with every key released, when you press a key or button\n"
               "                  or move the mouse on a device of your own; it exits 0 as the hotkey\n"
               "                  does, saying why on standard error. Without these options the values\n"
               "                  stored by LoopWren apply\n"
               "  apps [--backend x11|kernel]\n"
               "                  list the running applications that can be targets, one per line\n"
               "  place [--backend x11|kernel]\n"
               "                  bring the stored target application forward and place its first\n"
               "                  window as stored, without playing anything\n"
               "  doctor [--backend x11|kernel]\n"
               "                  say line by line what works in this session and what to do about what\n"
               "                  does not; exits 0 when recording and playback both work\n"
               "  library list | play NAME [OPTIONS] | export NAME FILE | import FILE [NAME]\n"
               "                  the macro library: list its macros (name, events, length of one pass,\n"
               "                  hotkey, next scheduled run), play one with its own loops, speed and\n"
               "                  timing (OPTIONS as for play override them), copy one out to FILE, or\n"
               "                  add FILE under NAME (else its file name)\n"
               "  library schedule NAME once YYYY-MM-DDTHH:MM | daily HH:MM DAYS | every MINUTES | none\n"
               "                  play NAME by itself, with its own values, whether LoopWren runs or\n"
               "                  not: once at a local date and time, daily at a time on DAYS (mon,tue,\n"
               "                  ...,sun or all), or every MINUTES from now on; none clears it. Your\n"
               "                  systemd user manager keeps it, as the units loopwren-macro-*.timer\n"
               "                  and .service in ~/.config/systemd/user, which run this loopwren-cli\n"
               "  library remove NAME\n"
               "                  delete NAME's file from the library, and its schedule with it\n"
               "  help            show this text\n"
               "\n"
               "record, play, apps and place use the settings stored by LoopWren and never change them.\n"
               "They work through the X11 display, or, with --backend kernel or without a display,\n"
               "through the kernel's input devices (playing needs write access to /dev/uinput;\n"
               "recording needs LoopWren's input service, or, as the fallback, membership of the input\n"
               "group).\n",
               stdout);
    return 0;
}

int validate(const QStringList& arguments)
{
    if (arguments.size() != 1)
        return usageError(QStringLiteral("validate takes exactly one FILE"));
    const MacroReadResult result = macrofiles::load(arguments.first());
    if (!result.ok()) {
        logLine(QStringLiteral("Failed to load macro: "), QString::fromStdString(result.error));
        return 1;
    }
    std::printf("OK: %zu events\n", result.events.size());
    return 0;
}

int record(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption moves(QStringLiteral("mouse-moves"));
    const QCommandLineOption duration(QStringLiteral("duration"), QString(), QStringLiteral("SECONDS"));
    parser.addOptions({moves, duration});
    int status = 0;
    const std::optional<QString> file = parse(parser, arguments, status);
    if (!file)
        return status;
    std::optional<double> seconds;
    if (parser.isSet(duration)) {
        bool ok = false;
        seconds = parser.value(duration).toDouble(&ok);
        if (!ok || !std::isfinite(*seconds) || *seconds < 0)
            return usageError(QStringLiteral("--duration takes a number of seconds"));
    }

    // Found out now rather than after a recording of ten minutes.
    if (const QString problem = macrofiles::checkWritable(*file); !problem.isEmpty()) {
        std::fprintf(stderr, "loopwren-cli: cannot save a recording there: %s; nothing is recorded\n",
                     qPrintable(problem));
        return 1;
    }

    const Session session = openSession({.backend = parser.value(kBackend)});
    if (!session.engine)
        return 1;
    if (const Backend::Abilities can = session.backend->abilities(); !can.recordKeys) {
        return refuse("record", can.recordProblem);
    }
    MacroEngine* engine = session.engine.get();
    // A signal is the ordinary way to end an open-ended recording: the file is still written.
    SignalWatcher watcher;
    QObject::connect(&watcher, &SignalWatcher::signalled, [] { QCoreApplication::exit(0); });
    if (seconds)
        QTimer::singleShot(std::chrono::milliseconds(std::llround(*seconds * 1000)),
                           [] { QCoreApplication::exit(0); });

    // A recording cut off by the loss of its session is incomplete: it is discarded, and a file of
    // that name keeps what it held.
    QString lost;
    QObject::connect(session.backend.get(), &Backend::sessionLost, [&lost](const QString& notice) {
        lost = notice;
        QCoreApplication::exit(kSessionLostStatus);
    });

    // Input taken back by the input service ends the recording; what came before is saved.
    QObject::connect(session.backend.get(), &Backend::inputTakenBack, [](const QString& notice) {
        std::fprintf(stderr, "loopwren-cli: %s; the recording ends\n", qPrintable(notice));
        QCoreApplication::exit(0);
    });

    engine->setRecordMouseMovements(parser.isSet(moves));
    engine->startRecording();
    std::puts("Recording; stop with Ctrl+C");
    std::fflush(stdout);
    QCoreApplication::exec();
    if (!lost.isEmpty()) {
        reportSessionLost(lost, "the recording is discarded");
        return kSessionLostStatus;
    }
    // Input read before the stop is delivered first, then the appends it queued land.
    QCoreApplication::processEvents();
    engine->stopRecording();
    QCoreApplication::processEvents();

    if (!engine->saveMacro(*file)) {
        // The destination went away during the recording; the recording itself is not lost.
        QString problem;
        const QString kept = macrofiles::saveRecovery(engine->recordedEvents(), &problem);
        if (kept.isEmpty())
            std::fprintf(stderr, "loopwren-cli: the recording could not be kept either: %s\n",
                         qPrintable(problem));
        else
            std::fprintf(stderr, "loopwren-cli: the recording is kept in %s\n", qPrintable(kept));
        return 1;
    }
    std::printf("Recorded %zu events\n", engine->recordedEvents().size());
    std::fflush(stdout);
    return 0;
}

int play(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption speed(QStringLiteral("speed"), QString(), QStringLiteral("PERCENT"));
    const QCommandLineOption loops(QStringLiteral("loops"), QString(), QStringLiteral("N"));
    const QCommandLineOption infinite(QStringLiteral("infinite"));
    const QCommandLineOption focusTarget(QStringLiteral("focus-target"));
    const QCommandLineOption screens(QStringLiteral("screens"), QString(), QStringLiteral("LAYOUT"));
    const QCommandLineOption vary(QStringLiteral("vary"), QString(), QStringLiteral("PERCENT"));
    const QCommandLineOption passPause(QStringLiteral("pass-pause"), QString(), QStringLiteral("MIN-MAX"));
    const QCommandLineOption spread(QStringLiteral("spread"), QString(), QStringLiteral("PIXELS"));
    const QCommandLineOption seed(QStringLiteral("seed"), QString(), QStringLiteral("N"));
    const QCommandLineOption stopOnInput(QStringLiteral("stop-on-input"));
    const QCommandLineOption concurrent(QStringLiteral("concurrent"));
    parser.addOptions({speed, loops, infinite, focusTarget, screens, vary, passPause, spread, seed, stopOnInput,
                       concurrent});
    int status = 0;
    const std::optional<QString> file = parse(parser, arguments, status);
    if (!file)
        return status;
    if (parser.isSet(loops) && parser.isSet(infinite))
        return usageError(QStringLiteral("--loops and --infinite exclude each other"));

    double percent = 100.0;
    if (parser.isSet(speed)) {
        bool ok = false;
        percent = parser.value(speed).toDouble(&ok);
        if (!ok || !std::isfinite(percent) || percent <= 0)
            return usageError(QStringLiteral("--speed takes a positive percentage"));
    }
    qint64 passes = 1;
    if (parser.isSet(loops)) {
        bool ok = false;
        passes = parser.value(loops).toLongLong(&ok);
        if (!ok || passes < 1)
            return usageError(QStringLiteral("--loops takes a whole number of at least 1"));
    }

    std::optional<PlaybackOverrides> overrides = parseVariation(parser, vary, passPause, spread, seed);
    if (!overrides)
        return 2;
    if (parser.isSet(stopOnInput))
        overrides->stopOnUserInput = true;

    std::optional<ScreenLayout> layout = ScreenLayout();
    if (parser.isSet(screens) && !(layout = parseScreens(parser.value(screens))))
        return usageError(QStringLiteral("--screens takes WIDTHxHEIGHT[+X+Y] per screen, the primary first, "
                                         "separated by commas"));

    // The stored playback hotkey stops the playback, as it does in the window.
    const Session session = openSession({.withHotkeys = true,
                                         .backend = parser.value(kBackend),
                                         .screens = *layout,
                                         .concurrent = parser.isSet(concurrent)});
    if (!session.engine)
        return 1;
    if (const Backend::Abilities can = session.backend->abilities(); !can.play) {
        return refuse("play", can.playProblem);
    }
    MacroEngine* engine = session.engine.get();
    if (!engine->loadMacro(*file))
        return 1;
    QCoreApplication::sendPostedEvents();
    if (engine->recordedEvents().empty()) {
        std::puts("Played 0 events");
        return 0;
    }

    if (overrides->stopOnUserInput) {
        if (const QString problem = engine->userInputWatchProblem(); !problem.isEmpty()) {
            std::fprintf(stderr, "loopwren-cli: cannot stop on your input in this session: %s\n",
                         qPrintable(problem));
            return 1;
        }
    }
    engine->setPlaybackOverrides(*overrides);
    engine->setPlaybackSpeed(percent);
    engine->setLoopCount(passes);
    engine->setInfiniteLoop(parser.isSet(infinite));

    SignalWatcher watcher;
    int exitStatus = 0;
    QObject::connect(&watcher, &SignalWatcher::signalled, [&](int signalNumber) {
        exitStatus = exitStatusFor(signalNumber);
        if (engine->isPlaying())
            engine->stopPlayback();
        else
            QCoreApplication::exit(0); // still waiting for the target to come forward
    });
    // Without its session nothing can be played or released any more: the playback ends at once.
    QObject::connect(session.backend.get(), &Backend::sessionLost, [&](const QString& notice) {
        reportSessionLost(notice, "the playback stops");
        exitStatus = kSessionLostStatus;
        QCoreApplication::exit(0);
    });
    // Ends as a stop by the hotkey does, saying why.
    QObject::connect(engine, &MacroEngine::playbackStoppedByUserInputChanged, [engine] {
        if (engine->playbackStoppedByUserInput())
            std::fputs("Playback stopped: you used the mouse or keyboard\n", stderr);
    });
    // Ends after the worker has released every key, whether the playback completed or was stopped.
    QObject::connect(engine, &MacroEngine::playbackFinished, [] { QCoreApplication::exit(0); });
    // The engine's log line names the other player.
    bool refused = false;
    QObject::connect(engine, &MacroEngine::playbackRefused, [&] {
        std::fputs("loopwren-cli: nothing is played; --concurrent plays alongside the other playback\n",
                   stderr);
        refused = true;
        exitStatus = 1;
        QCoreApplication::exit(0);
    });
    // The stored target settings apply; the stored choice to focus before every playback is left as
    // it is, so the option does not change what the window does next time.
    if (parser.isSet(focusTarget) && !engine->focusTargetAppBeforePlayback()) {
        engine->focusTargetApp();
        QTimer::singleShot(std::chrono::milliseconds(500), engine, [engine] { engine->startPlayback(); });
    } else {
        engine->startPlayback();
    }
    if (!refused)
        QCoreApplication::exec();
    return exitStatus;
}

} // namespace loopwren::cli
