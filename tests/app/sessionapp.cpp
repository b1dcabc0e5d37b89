// The user's LoopWren while the desktop session ends: the real application shell on Qt's xcb platform
// (the one that speaks to the session manager), on services that do nothing, with scripted answers to
// its alerts and a timeline of two events. Prints each alert it shows and each log line, then "quit"
// when the application ends.
//
//   session_app [--answer N]...
#include "dialogs.h"
#include "logline.h"
#include "loopwrenapp.h"
#include "nullplatform.h"

#include <QApplication>
#include <QQmlEngineExtensionPlugin>
#include <QQueue>
#include <cstdio>

Q_IMPORT_QML_PLUGIN(LoopWren_UiPlugin)

namespace {

void print(const QString& line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

// The next scripted answer to each alert, which is printed as it is shown; no panel is ever chosen.
class PrintingDialogs : public loopwren::Dialogs
{
public:
    int runMessageDialog(const loopwren::MessageDialog& request) override
    {
        print(QStringLiteral("alert: %1 | %2 | %3")
                  .arg(request.message, request.informativeText, request.buttons.join(", ")));
        return answers.isEmpty() ? -1 : answers.dequeue();
    }
    std::optional<QString> runSaveFileDialog(const loopwren::SaveFileDialog&) override
    {
        return std::nullopt;
    }
    std::optional<QString> runOpenFileDialog(const loopwren::OpenFileDialog&) override
    {
        return std::nullopt;
    }
    std::optional<QString> runTextInput(const loopwren::TextInput&) override { return std::nullopt; }
    std::optional<loopwren::MacroSchedule> runScheduleDialog(const loopwren::ScheduleDialog&) override
    {
        return std::nullopt;
    }

    QQueue<int> answers;
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
            dialogs.answers.enqueue(arguments[i + 1].toInt());
    }
    loopwren::PlatformServices services;
    loopwren::fillWithNullServices(services);
    loopwren::LoopWrenApp application(std::move(services), {}, {}, &dialogs);
    if (!application.openWindow())
        return 1;
    application.engine().setRecordedEvents({key(0), key(1)});
    print(QStringLiteral("ready"));
    const int status = QApplication::exec();
    print(QStringLiteral("quit"));
    return status;
}
