// The real engine in a process of its own, for the tests that need one: to run inside a private mount
// namespace (a full or read-only file system) or to be killed in the middle of a save.
//
//   engine_helper save PATH COUNT
//       Builds a fixed timeline of COUNT events (the same bytes every run) and saves it to PATH with
//       MacroEngine::saveMacro. Prints "saving" just before the save starts, then the engine's log
//       lines, then whether the timeline in memory is still the one it saved. Exit status 0 when
//       saved, 1 when the save failed.
//   engine_helper settings
//       Starts the engine over the settings file of $XDG_CONFIG_HOME, as the application does, and
//       prints every setting as key=value, preceded by "unreadable=" and the keys the file held no
//       usable value for before the engine started.
#include "macroengine.h"
#include "macrofile.h"
#include "memorypreferencesstore.h"
#include "qsettingspreferencesstore.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

namespace loopwren {
namespace {

void print(const QString& line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}

Timeline fixedTimeline(qsizetype count)
{
    Timeline events;
    events.reserve(static_cast<std::size_t>(count));
    for (qsizetype i = 0; i < count; ++i) {
        std::array<std::uint8_t, 16> id{};
        for (std::size_t b = 0; b < 8; ++b)
            id[15 - b] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(i) >> (8 * b));
        MacroEvent event;
        event.id = Uuid(id);
        event.delaySincePrevious = static_cast<double>(i % 997) / 64.0;
        switch (i % 3) {
        case 0:
            event.type = EventType::keyDown;
            event.keyCode = static_cast<std::uint16_t>(i % 128);
            event.flags = 0x100000;
            break;
        case 1:
            event.type = EventType::mouseDown;
            event.location = Point{static_cast<double>(i % 1920) + 0.5, static_cast<double>(i % 1080)};
            event.mouseButton = MouseButtonType::left;
            event.clickCount = 1;
            break;
        default:
            event.type = EventType::scroll;
            event.location = Point{10, 20};
            event.scrollDeltaX = 0;
            event.scrollDeltaY = static_cast<std::int32_t>(i % 7) - 3;
            break;
        }
        events.push_back(event);
    }
    return events;
}

int save(const QString& path, qsizetype count)
{
    PlatformServices services;
    // The settings of whoever runs the tests stay untouched.
    services.preferences = std::make_unique<MemoryPreferencesStore>();
    MacroEngine engine(std::move(services));
    const Timeline events = fixedTimeline(count);
    engine.setRecordedEvents(events);
    print(QStringLiteral("saving"));
    const bool saved = engine.saveMacro(path);
    // Compared through the document they make: every field of every event counts.
    const bool unchanged = writeMacro(engine.recordedEvents()).text == writeMacro(events).text;
    print(unchanged ? QStringLiteral("timeline unchanged") : QStringLiteral("timeline changed"));
    return saved ? 0 : 1;
}

QString text(bool value) { return value ? QStringLiteral("true") : QStringLiteral("false"); }
QString text(double value) { return QString::number(value); }
QString text(const Hotkey& value) { return QString::fromStdString(encodeHotkey(value)); }

int settings()
{
    QStringList unreadable;
    {
        const QSettingsPreferencesStore store;
        for (const char* key : {"recordHotkey", "playbackHotkey"}) {
            const std::optional<QByteArray> bytes = store.readBytes(QLatin1String(key));
            if (!bytes || !decodeHotkey(std::string_view(bytes->constData(), bytes->size())))
                unreadable << QLatin1String(key);
        }
        for (const char* key : {"targetAppName", "appLanguage"}) {
            if (!store.readString(QLatin1String(key)))
                unreadable << QLatin1String(key);
        }
        for (const char* key :
             {"focusTargetAppBeforePlayback", "setTargetWindowPosition", "setTargetWindowSize",
              "showDeleteConfirmation", "hideWhenRecording", "hideOnPlayback", "showCloseSavePrompt"}) {
            if (!store.readBool(QLatin1String(key)))
                unreadable << QLatin1String(key);
        }
        for (const char* key :
             {"targetWindowX", "targetWindowY", "targetWindowWidth", "targetWindowHeight"}) {
            if (!store.readDouble(QLatin1String(key)))
                unreadable << QLatin1String(key);
        }
    }
    print(QStringLiteral("unreadable=") + unreadable.join(QLatin1Char(' ')));

    PlatformServices services;
    services.preferences = std::make_unique<QSettingsPreferencesStore>();
    const MacroEngine e(std::move(services));
    const std::pair<const char*, QString> values[] = {
        {"recordHotkey", text(e.recordHotkey())},
        {"playbackHotkey", text(e.playbackHotkey())},
        {"targetAppName", e.targetAppName()},
        {"appLanguage", e.language()},
        {"focusTargetAppBeforePlayback", text(e.focusTargetAppBeforePlayback())},
        {"setTargetWindowPosition", text(e.setTargetWindowPosition())},
        {"setTargetWindowSize", text(e.setTargetWindowSize())},
        {"showDeleteConfirmation", text(e.showDeleteConfirmation())},
        {"hideWhenRecording", text(e.hideWhenRecording())},
        {"hideOnPlayback", text(e.hideOnPlayback())},
        {"showCloseSavePrompt", text(e.showCloseSavePrompt())},
        {"targetWindowX", text(e.targetWindowX())},
        {"targetWindowY", text(e.targetWindowY())},
        {"targetWindowWidth", text(e.targetWindowWidth())},
        {"targetWindowHeight", text(e.targetWindowHeight())},
    };
    for (const auto& [key, value] : values)
        print(QLatin1String(key) + QLatin1Char('=') + value);
    return 0;
}

} // namespace
} // namespace loopwren

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    bool ok = false;
    if (args.size() == 4 && args[1] == QLatin1String("save")) {
        const qsizetype count = args[3].toLongLong(&ok);
        if (ok)
            return loopwren::save(args[2], count);
    }
    if (args.size() == 2 && args[1] == QLatin1String("settings"))
        return loopwren::settings();
    std::fputs("usage: engine_helper save PATH COUNT | engine_helper settings\n", stderr);
    return 2;
}
