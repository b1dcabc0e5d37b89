// Renders the main window in the states the README shows and writes them as PNG files:
//   ui_screenshots OUTPUT_DIR
// Runs on whatever platform Qt is given (scripts/screenshots.sh uses Xvfb). The desktop services are
// stand-ins of its own, so the pictures show the same applications, input and update every time.
#include "loopwrenapp.h"
#include "memorypreferencesstore.h"
#include "nullplatform.h"

#include <QDir>
#include <QEventLoop>
#include <QGuiApplication>
#include <QImage>
#include <QQmlEngineExtensionPlugin>
#include <QQuickItem>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

Q_IMPORT_QML_PLUGIN(LoopWren_UiPlugin)

namespace loopwren {
namespace {

class GrantedAccessibility : public Accessibility
{
public:
    bool isInputAccessGranted() override { return true; }
    void requestInputAccess() override {}
};

class ShownWorkspace : public NullWorkspace
{
public:
    std::vector<RunningApplication> runningApplications() override { return applications; }
    std::vector<RunningApplication> applications;
};

// Hands the recording the input the tool makes up.
class ScriptedInput : public InputMonitor
{
public:
    std::optional<Token> watch(InputKinds kinds, Handler handler) override
    {
        m_watches[m_next] = {kinds, std::move(handler)};
        return m_next++;
    }
    void stopWatching(Token token) override { m_watches.erase(token); }
    void deliver(const InputEvent& event)
    {
        const auto watches = m_watches; // a handler may stop its own watch
        for (const auto& [token, watch] : watches) {
            if (watch.first.contains(event.kind))
                watch.second(event);
        }
    }

private:
    std::map<Token, std::pair<InputKinds, Handler>> m_watches;
    Token m_next = 1;
};

// Answers nothing until offering is set, then a newer version.
class FixedUpdate : public UpdateFetcher
{
public:
    void fetch(const QString&, std::function<void(FetchResult)> completion) override
    {
        if (!offering)
            return;
        completion(FetchResult{QByteArray(R"({"version": "9.0",
            "download_url": "https://loopwren.example.org/download",
            "release_notes_en": "• Faster recording\n• Global hotkey fixes",
            "release_notes_id": "• Perekaman lebih cepat\n• Perbaikan hotkey global"})"),
                               QString()});
    }
    bool offering = false;
};

MacroEvent event(EventType type, double delay)
{
    MacroEvent made;
    made.id = Uuid::random();
    made.type = type;
    made.delaySincePrevious = delay;
    return made;
}

MacroEvent mouse(EventType type, double x, double y, MouseButtonType button = MouseButtonType::left)
{
    MacroEvent made = event(type, 0.25);
    made.location = Point{x, y};
    if (type != EventType::mouseMoved) {
        made.mouseButton = button;
        made.clickCount = 1;
    }
    return made;
}

MacroEvent key(EventType type, std::uint16_t code, double delay = 0.12)
{
    MacroEvent made = event(type, delay);
    made.keyCode = code;
    made.flags = 0;
    return made;
}

// Twelve events of every kind.
Timeline sampleTimeline()
{
    MacroEvent scroll = event(EventType::scroll, 0.4);
    scroll.scrollDeltaX = 0;
    scroll.scrollDeltaY = -3;
    MacroEvent down = mouse(EventType::mouseDown, 420, 224);
    down.delaySincePrevious = 0.08;
    return {mouse(EventType::mouseMoved, 412.6, 218.2),
            down,
            mouse(EventType::mouseUp, 420, 224),
            event(EventType::wait, 1.5),
            key(EventType::keyDown, 4),
            key(EventType::keyUp, 4),
            key(EventType::keyDown, 14),
            key(EventType::keyUp, 14),
            scroll,
            mouse(EventType::mouseDown, 96.9, 640.4, MouseButtonType::right),
            mouse(EventType::mouseUp, 96.9, 640.4, MouseButtonType::right),
            key(EventType::keyDown, 36, 2.04)};
}

// Lets the window finish its animations and draw.
void settle()
{
    QEventLoop loop;
    QTimer::singleShot(700, &loop, &QEventLoop::quit);
    loop.exec();
}

class Screenshots
{
public:
    explicit Screenshots(QString directory) : m_directory(std::move(directory)) {}

    bool run()
    {
        for (const QString& language : {QStringLiteral("English"), QStringLiteral("Indonesia")})
            runIn(language, language == QStringLiteral("English") ? QString() : QStringLiteral("-id"));
        return m_ok;
    }

private:
    void runIn(const QString& language, const QString& suffix)
    {
        PlatformServices services;
        services.preferences = std::make_unique<MemoryPreferencesStore>(QVariantMap{
            {QStringLiteral("appLanguage"), language}, {QStringLiteral("showDeleteConfirmation"), true}});
        services.accessibility = std::make_unique<GrantedAccessibility>();
        auto workspace = std::make_unique<ShownWorkspace>();
        ShownWorkspace& apps = *workspace;
        services.workspace = std::move(workspace);
        auto input = std::make_unique<ScriptedInput>();
        ScriptedInput& scripted = *input;
        services.input = std::move(input);
        auto updates = std::make_unique<FixedUpdate>();
        FixedUpdate& update = *updates;
        services.updates = std::move(updates);
        fillWithNullServices(services);
        EngineOptions options;
        options.applicationVersion = QStringLiteral(LOOPWREN_VERSION);
        options.updateBaseUrl = QStringLiteral("https://loopwren.example.org");
        // A library of its own, made up below.
        QTemporaryDir library;
        options.libraryFolder = library.filePath(QStringLiteral("macros"));
        // As on Wayland, where the window cannot come back once minimised: the settings page then shows
        // the note beside the two hiding settings, one of its optional rows.
        WindowEffects effects;
        effects.restoresMinimizedWindow = false;
        LoopWrenApp app(std::move(services), options, std::move(effects));
        if (!app.openWindow()) {
            std::fprintf(stderr, "the main window did not load\n");
            m_ok = false;
            return;
        }
        m_window = app.window();
        MacroEngine& engine = app.engine();
        m_window->resize(1040, 680);
        m_window->show();
        settle();
        capture(QStringLiteral("timeline-empty") + suffix);

        engine.setRecordedEvents(sampleTimeline());
        app.viewState().tapRow(1);
        settle();
        capture(QStringLiteral("timeline-editor") + suffix);

        app.viewState().editor()->close();
        engine.startRecording();
        record(scripted);
        settle();
        capture(QStringLiteral("recording") + suffix);
        engine.stopRecording();

        showSettings(app, apps);
        capture(QStringLiteral("settings") + suffix);

        m_window->resize(1040, 680);
        showLibrary(app);
        capture(QStringLiteral("library") + suffix);

        app.viewState().navigate(ContentViewState::Timeline);
        update.offering = true;
        engine.checkForUpdates();
        settle();
        capture(QStringLiteral("update-notice") + suffix);
    }

    // A short burst of input through the engine's real recording path.
    static void record(ScriptedInput& input)
    {
        const auto now = std::chrono::steady_clock::now();
        int step = 0;
        for (const InputKind kind : {InputKind::pointerMoved, InputKind::buttonDown, InputKind::buttonUp,
                                     InputKind::keyDown, InputKind::keyUp}) {
            InputEvent made;
            made.kind = kind;
            made.location = Point{640.0 + 12 * step, 360.0 - 5 * step};
            made.keyCode = 1;
            if (kind == InputKind::buttonDown || kind == InputKind::buttonUp)
                made.button = MouseButtonType::left;
            made.clickCount = 1;
            made.timestamp = now + std::chrono::milliseconds(180 * ++step);
            input.deliver(made);
        }
    }

    // The settings page with every optional row shown, in a window tall enough for the whole page.
    void showSettings(LoopWrenApp& app, ShownWorkspace& workspace)
    {
        MacroEngine& engine = app.engine();
        constexpr std::uint64_t controlShift = 0x40000 | 0x20000;
        engine.setRecordHotkey(Hotkey{15, controlShift});   // R
        engine.setPlaybackHotkey(Hotkey{35, controlShift}); // P
        for (const char* name : {"Firefox", "Files", "Terminal", "Text Editor"}) {
            RunningApplication application;
            application.name = QString::fromUtf8(name);
            workspace.applications.push_back(application);
        }
        engine.refreshRunningApps();
        engine.setTargetAppName(QStringLiteral("Firefox"));
        engine.setFocusTargetAppBeforePlayback(true);
        engine.setSetTargetWindowPosition(true);
        engine.setTargetWindowX(120);
        engine.setTargetWindowY(80);
        engine.setSetTargetWindowSize(true);
        engine.setTargetWindowWidth(1280);
        engine.setTargetWindowHeight(800);
        engine.setLoopCount(3);
        engine.setPlaybackSpeed(150);
        engine.setDelayVariation(25);
        engine.setPassPauseMaximum(3.5);
        engine.setPassPauseMinimum(1);
        engine.setClickSpread(8);
        engine.setStopPlaybackOnUserInput(true);
        app.viewState().navigate(ContentViewState::Settings);
        settle();
        if (auto* page = m_window->findChild<QQuickItem*>(QStringLiteral("settingsPage"))) {
            if (const auto* flickable = page->property("item").value<QQuickItem*>())
                m_window->resize(1040, static_cast<int>(flickable->property("contentHeight").toDouble()));
        }
        settle();
    }

    // Three macros, one with a hotkey, one playing slower, and a file that does not load.
    void showLibrary(LoopWrenApp& app)
    {
        MacroEngine& engine = app.engine();
        for (const char* name : {"Fill the order form", "Daily report", "Greeting"}) {
            engine.changeLibrary(
                [&](MacroLibrary& l) { return l.add(QString::fromUtf8(name), sampleTimeline()); });
        }
        LibraryEntry entry = *engine.library().find(QStringLiteral("Fill the order form"));
        entry.hotkey = Hotkey{3, 0x40000 | 0x80000}; // Ctrl+Alt+F
        entry.playbackSpeed = 200;
        engine.changeLibrary([&](MacroLibrary& l) { return l.update(entry); });
        QFile broken(engine.library().folder() + QStringLiteral("/old-export.json"));
        if (broken.open(QIODevice::WriteOnly))
            broken.write("[{\"type\": \"keyDown\"}");
        broken.close();
        engine.changeLibrary([](MacroLibrary& l) { return l.reload(); });
        app.viewState().navigate(ContentViewState::Library);
        app.libraryState().choose(1);
        settle();
    }

    void capture(const QString& name)
    {
        const QImage image = m_window->grabWindow();
        const QString path = QDir(m_directory).filePath(name + QStringLiteral(".png"));
        if (image.isNull() || !image.save(path)) {
            std::fprintf(stderr, "could not write %s\n", qPrintable(path));
            m_ok = false;
            return;
        }
        std::printf("%s\n", qPrintable(path));
    }

    QString m_directory;
    QQuickWindow* m_window = nullptr;
    bool m_ok = true;
};

} // namespace
} // namespace loopwren

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    QDir().mkpath(QString::fromLocal8Bit(argv[1]));
    loopwren::Screenshots screenshots(QString::fromLocal8Bit(argv[1]));
    return screenshots.run() ? 0 : 1;
}
