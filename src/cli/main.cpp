#include "clicommands.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
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
    if (command == QLatin1String("doctor"))
        return loopwren::cli::doctor(arguments);

    std::fprintf(stderr, "loopwren-cli: unknown command '%s' (see loopwren-cli --help)\n",
                 qPrintable(command));
    return 2;
}
