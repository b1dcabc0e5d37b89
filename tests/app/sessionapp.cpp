// The user's LoopWren while the desktop session ends: the real application shell on Qt's xcb platform
// (the one that speaks to the session manager), on services that do nothing, with scripted answers to
// its message dialogs and a timeline of two events. Prints each message dialog it shows and each log
// line, then "quit" when the application ends.
//
//   session_app [--answer N]...
#include "events.h"
#include "fakedialogs.h"
#include "logline.h"
#include "loopwrenapp.h"
#include "nullplatform.h"

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

// The scripted answers to the message dialogs, each printed as it is shown; no file is ever chosen.
class PrintingDialogs : public loopwren::FakeDialogs
{
public:
    int runMessageDialog(const loopwren::MessageDialog& request) override
    {
        const int answer = FakeDialogs::runMessageDialog(request);
        print(shown.last());
        return answer;
    }
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    loopwren::setLogSink(print);
    PrintingDialogs dialogs;
    const QStringList arguments = QApplication::arguments();
    for (int i = 1; i + 1 < arguments.size(); i += 2) {
        if (arguments[i] == QLatin1String("--answer"))
            dialogs.messageAnswers.enqueue(arguments[i + 1].toInt());
    }
    loopwren::PlatformServices services;
    loopwren::fillWithNullServices(services);
    loopwren::LoopWrenApp application(std::move(services), {}, {}, &dialogs);
    if (!application.openWindow())
        return 1;
    application.engine().setRecordedEvents({loopwren::makeKeyEvent(loopwren::EventType::keyDown, 0),
                                            loopwren::makeKeyEvent(loopwren::EventType::keyDown, 1)});
    print(QStringLiteral("ready"));
    const int status = QApplication::exec();
    print(QStringLiteral("quit"));
    return status;
}
