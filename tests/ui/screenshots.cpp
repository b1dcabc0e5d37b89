// Renders the main window in the states the README shows and writes them as PNG files:
//   ui_screenshots OUTPUT_DIR
// Runs on whatever platform Qt is given (scripts/screenshots.sh uses Xvfb).
#include "uifixture.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QQmlEngineExtensionPlugin>
#include <cstdio>

Q_IMPORT_QML_PLUGIN(LoopWren_UiPlugin)

namespace loopwren {
namespace {

class Screenshots : public UiFixture
{
public:
    explicit Screenshots(QString directory) : m_directory(std::move(directory))
    {
        engineOptions.applicationVersion = QStringLiteral(LOOPWREN_VERSION);
        // Answered by the fake fetcher, with the document set before each check.
        engineOptions.updateBaseUrl = QStringLiteral("https://loopwren.example.org");
    }

    bool run()
    {
        SetUp();
        TestBody();
        TearDown();
        return m_ok;
    }

protected:
    void TestBody() override
    {
        for (const QString& language : {QStringLiteral("English"), QStringLiteral("Indonesia")}) {
            const QString suffix =
                language == QStringLiteral("Indonesia") ? QStringLiteral("-id") : QString();
            build({{QStringLiteral("appLanguage"), language},
                   {QStringLiteral("showDeleteConfirmation"), true}});
            openWindow();
            window->resize(1040, 680);
            settle();
            capture(QStringLiteral("timeline-empty") + suffix);

            setTimeline(sampleTimeline());
            state->tapRow(1);
            settle();
            capture(QStringLiteral("timeline-editor") + suffix);

            state->editor()->close();
            engine->startRecording();
            record();
            settle();
            capture(QStringLiteral("recording") + suffix);
            engine->stopRecording();
            drain();

            showSettings();
            capture(QStringLiteral("settings") + suffix);

            window->resize(1040, 680);
            state->navigate(ContentViewState::Timeline);
            updates->document = R"({"version": "9.0", "download_url": "https://loopwren.example.org/download",
                "release_notes_en": "• Faster recording\n• Global hotkey fixes",
                "release_notes_id": "• Perekaman lebih cepat\n• Perbaikan hotkey global"})";
            engine->checkForUpdates();
            drain();
            settle();
            capture(QStringLiteral("update-notice") + suffix);

            qml.reset();
            state.reset();
            settings.reset();
            hotkeyCapture.reset();
            engine.reset();
            drain();
        }
    }

private:
    // A short burst of input through the engine's real recording path.
    void record()
    {
        const auto now = std::chrono::steady_clock::now();
        const InputKind kinds[] = {InputKind::pointerMoved, InputKind::buttonDown, InputKind::buttonUp,
                                   InputKind::keyDown, InputKind::keyUp};
        int step = 0;
        for (const InputKind kind : kinds) {
            InputEvent event;
            event.kind = kind;
            event.location = Point{640.0 + 12 * step, 360.0 - 5 * step};
            event.keyCode = 1;
            if (kind == InputKind::buttonDown || kind == InputKind::buttonUp)
                event.button = MouseButtonType::left;
            event.clickCount = 1;
            event.timestamp = now + std::chrono::milliseconds(180 * ++step);
            input->deliver(event);
        }
        drain();
    }

    // The settings page with every optional row shown, in a window tall enough for the whole page.
    void showSettings()
    {
        constexpr std::uint64_t controlShift = 0x40000 | 0x20000;
        engine->setRecordHotkey(Hotkey{15, controlShift});   // R
        engine->setPlaybackHotkey(Hotkey{35, controlShift}); // P
        for (const char* name : {"Firefox", "Files", "Terminal", "Text Editor"}) {
            RunningApplication application;
            application.name = QString::fromUtf8(name);
            workspace->applications.push_back(application);
        }
        engine->refreshRunningApps();
        drain();
        engine->setTargetAppName(QStringLiteral("Firefox"));
        engine->setFocusTargetAppBeforePlayback(true);
        engine->setSetTargetWindowPosition(true);
        engine->setTargetWindowX(120);
        engine->setTargetWindowY(80);
        engine->setSetTargetWindowSize(true);
        engine->setTargetWindowWidth(1280);
        engine->setTargetWindowHeight(800);
        engine->setLoopCount(3);
        engine->setPlaybackSpeed(150);
        state->navigate(ContentViewState::Settings);
        settle();
        if (QQuickItem* page = item("settingsPage")) {
            const auto* flickable = page->property("item").value<QQuickItem*>();
            if (flickable)
                window->resize(1040, static_cast<int>(flickable->property("contentHeight").toDouble()));
        }
        settle();
    }

    void settle() { wait(700); }

    void capture(const QString& name)
    {
        const QImage image = window->grabWindow();
        const QString path = QDir(m_directory).filePath(name + QStringLiteral(".png"));
        if (image.isNull() || !image.save(path)) {
            std::fprintf(stderr, "could not write %s\n", qPrintable(path));
            m_ok = false;
            return;
        }
        std::printf("%s\n", qPrintable(path));
    }

    QString m_directory;
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
