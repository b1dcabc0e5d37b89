// The real engine in a process of its own, for the tests that run it inside a private mount namespace
// (a full or read-only file system) or kill it in the middle of a save.
//
//   engine_helper save PATH COUNT
//       Saves a timeline of COUNT events (the same bytes every run) to PATH with MacroEngine::saveMacro.
//       Prints "saving" just before the save starts, then the engine's log lines, then how many events
//       it still holds. Exit status 0 when saved, 1 when the save failed.
//   engine_helper settings PROPERTY...
//       Starts the engine over the settings file of $XDG_CONFIG_HOME, as the application does, and
//       prints each property's value, one a line.
#include "helperprocess.h"
#include "memorypreferencesstore.h"
#include "qsettingspreferencesstore.h"
#include "testevents.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

void print(const QString& line)
{
    std::puts(line.toUtf8().constData());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[])
{
    using namespace loopwren;
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    PlatformServices services;
    if (args.size() == 4 && args[1] == QLatin1String("save")) {
        // The settings of whoever runs the tests stay untouched.
        services.preferences = std::make_unique<MemoryPreferencesStore>();
        MacroEngine engine(std::move(services));
        engine.setRecordedEvents(test::randomTimeline(args[3].toULongLong(), 1));
        print(QStringLiteral("saving"));
        const bool saved = engine.saveMacro(args[2]);
        print(QStringLiteral("%1 events kept").arg(engine.eventCount()));
        return saved ? 0 : 1;
    }
    if (args.size() > 1 && args[1] == QLatin1String("settings")) {
        services.preferences = std::make_unique<QSettingsPreferencesStore>();
        const MacroEngine engine(std::move(services));
        for (const QString& name : args.mid(2))
            print(settingText(engine.property(name.toLatin1().constData())));
        return 0;
    }
    std::fputs("usage: engine_helper save PATH COUNT | engine_helper settings PROPERTY...\n", stderr);
    return 2;
}
