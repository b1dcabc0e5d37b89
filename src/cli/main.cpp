#include "clicommands.h"
#include "librarycommands.h"

#include "waylanddisplay.h"

#include <QGuiApplication>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// In a Wayland session the outputs' layout is known only to a GUI application on Qt's Wayland
// platform, as the window is one: a playback without --screens places the pointer on them, and
// recording and placing windows count positions from the primary output's top-left. The other
// commands need no display connection.
std::unique_ptr<QCoreApplication> makeApplication(int& argc, char* argv[])
{
    const auto isCommand = [&](const char* name) { return argc > 1 && std::strcmp(argv[1], name) == 0; };
    const bool screensGiven = std::any_of(argv + 1, argv + argc, [](const char* argument) {
        return std::strncmp(argument, "--screens", 9) == 0 || std::strncmp(argument, "-screens", 8) == 0;
    });
    const bool playsMacro = isCommand("play") || (isCommand("library") && argc > 2 && std::strcmp(argv[2], "play") == 0);
    const bool needsLayout = (playsMacro && !screensGiven) || isCommand("record") || isCommand("place");
    if (needsLayout && loopwren::cli::reachesWaylandCompositor()) {
        qputenv("QT_QPA_PLATFORM", "wayland");
        return std::make_unique<QGuiApplication>(argc, argv);
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

} // namespace

int main(int argc, char* argv[])
{
    // A display or compositor that goes away while a write to it is under way must end the run through
    // the session-lost path, with every key released and its message, not by SIGPIPE: seen under
    // ThreadSanitizer's slower timing, where the X server died between a playback's check and its write.
    std::signal(SIGPIPE, SIG_IGN);
    const std::unique_ptr<QCoreApplication> app = makeApplication(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.isEmpty() || arguments.first() == QLatin1String("--help") ||
        arguments.first() == QLatin1String("-h") || arguments.first() == QLatin1String("help"))
        return loopwren::cli::printHelp();

    const QString command = arguments.takeFirst();
    if (command == QLatin1String("validate"))
        return loopwren::cli::validate(arguments);
    if (command == QLatin1String("record"))
        return loopwren::cli::record(arguments);
    if (command == QLatin1String("play"))
        return loopwren::cli::play(arguments);
    if (command == QLatin1String("apps"))
        return loopwren::cli::apps(arguments);
    if (command == QLatin1String("place"))
        return loopwren::cli::place(arguments);
    if (command == QLatin1String("doctor"))
        return loopwren::cli::doctor(arguments);
    if (command == QLatin1String("library"))
        return loopwren::cli::library(arguments);

    std::fprintf(stderr, "loopwren-cli: unknown command '%s' (see loopwren-cli --help)\n",
                 qPrintable(command));
    return 2;
}
