// The user's LoopWren while the desktop session ends: the real application shell on Qt's xcb platform
// (the one that speaks to the session manager), with fake desktop services and scripted answers to its
// alerts and panels, and a timeline of two events. Prints each alert and panel it shows and each log
// line, then "quit" when the application ends.
//
//   session_app [--answer N]... [--save PATH]
#include "fakedialogs.h"
#include "fakeplatform.h"
#include "logline.h"
#include "loopwrenapp.h"
#include "memorypreferencesstore.h"

#include <QApplication>
#include <QQmlEngineExtensionPlugin>
#include <cstdio>

Q_IMPORT_QML_PLUGIN(LoopWren_UiPlugin)

namespace {

void print(const QString& line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

// Scripted answers, each shown line printed as it comes.
class PrintingDialogs : public loopwren::FakeDialogs
{
public:
    int runAlert(const loopwren::Alert& alert) override
    {
        const int answer = FakeDialogs::runAlert(alert);
        print(shown.last());
        return answer;
    }
    std::optional<QString> runSavePanel(const loopwren::SavePanel& panel) override
    {
        auto answer = FakeDialogs::runSavePanel(panel);
        print(shown.last());
        return answer;
    }
};

loopwren::MacroEvent key(std::uint16_t code)
{
    loopwren::MacroEvent event;
    event.id = loopwren::Uuid::random();
    event.type = loopwren::EventType::keyDown;
    event.keyCode = code;
    return event;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    loopwren::setLogSink(print);
    PrintingDialogs dialogs;
    const QStringList arguments = QApplication::arguments();
    for (int i = 1; i + 1 < arguments.size(); i += 2) {
        if (arguments[i] == QLatin1String("--answer"))
            dialogs.alertAnswers.enqueue(arguments[i + 1].toInt());
        else if (arguments[i] == QLatin1String("--save"))
            dialogs.panelAnswers.enqueue(arguments[i + 1]);
    }

    auto journal = std::make_shared<loopwren::Journal>();
    loopwren::PlatformServices services;
    services.preferences = std::make_unique<loopwren::MemoryPreferencesStore>();
    services.hotkeys = std::make_unique<loopwren::FakeHotkeyService>(journal);
    services.accessibility = std::make_unique<loopwren::FakeAccessibility>();
    services.workspace = std::make_unique<loopwren::FakeWorkspace>(journal);
    services.input = std::make_unique<loopwren::FakeInputMonitor>();
    services.posters = std::make_unique<loopwren::FakeInputPosterFactory>(journal);
    loopwren::LoopWrenApp application(std::move(services), {}, std::make_shared<loopwren::WindowVisibility>(),
                                      {}, &dialogs);
    if (!application.openWindow())
        return 1;
    application.engine().setRecordedEvents({key(0), key(1)});
    print(QStringLiteral("ready"));
    const int status = QApplication::exec();
    print(QStringLiteral("quit"));
    return status;
}
