#include "backendchoice.h"
#include "helppage.h"
#include "loopwrenapp.h"
#include "macroengine.h"
#include "playbacksessionlock.h"
#include "qsettingspreferencesstore.h"
#include "qtscreenlayout.h"
#include "qtupdatefetcher.h"

#include <QApplication>
#include <QIcon>
#include <QPointer>
#include <QQmlEngineExtensionPlugin>

Q_IMPORT_QML_PLUGIN(LoopWren_UiPlugin)

int main(int argc, char* argv[])
{
    // A widgets application, because the file and message dialogs are Qt's widget dialogs.
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("LoopWren"));
    QApplication::setApplicationVersion(QStringLiteral(LOOPWREN_VERSION));
    // The installed menu entry's name, so desktops match the window to its entry and icon.
    QApplication::setDesktopFileName(QStringLiteral(LOOPWREN_APP_ID));
    QApplication::setWindowIcon(QIcon::fromTheme(
        QStringLiteral(LOOPWREN_APP_ID), QIcon(QStringLiteral(":/loopwren/icons/" LOOPWREN_APP_ID ".png"))));

    loopwren::PlatformServices services;
    loopwren::WindowEffects effects;
    // The engine the backend's hooks speak to, once the application below has built it; empty before
    // and after.
    QPointer<loopwren::MacroEngine> engine;
    // Without a backend for this session the engine runs on null services and the window shows that
    // there is no access to input.
    const loopwren::BackendChoice backend = loopwren::chooseBackend();
    if (backend.backend) {
        loopwren::FrontEndHooks hooks;
        hooks.screenLayout = loopwren::qtScreenLayout;
        hooks.openUrl = loopwren::LoopWrenApp::pageShower(loopwren::helppage::openInBrowser, engine);
        services = backend.backend->provide(hooks);
        effects = backend.backend->windowEffects();
        // A recording whose input was taken back ends as if the user had stopped it.
        QObject::connect(backend.backend.get(), &loopwren::Backend::inputTakenBack, [&engine] {
            if (engine)
                engine->stopRecording();
        });
    }
    services.preferences = std::make_unique<loopwren::QSettingsPreferencesStore>();
    services.updates = std::make_unique<loopwren::QtUpdateFetcher>();

    loopwren::EngineOptions options;
    options.applicationVersion = QStringLiteral(LOOPWREN_VERSION);
    options.updateBaseUrl = QStringLiteral(LOOPWREN_UPDATE_BASE_URL);
    options.playbackLockPath = loopwren::PlaybackSessionLock::sessionPath();
    // The backend outlives the application below, and with it the engine that asks.
    options.sessionProblems = [session = backend.backend.get(), problem = backend.problem] {
        if (!session)
            return loopwren::SessionProblems{problem, QString(), problem};
        const loopwren::Backend::Abilities can = session->abilities();
        return loopwren::SessionProblems{can.recordKeys ? QString() : can.recordProblem,
                                         can.recordPointer ? QString() : can.pointerProblem,
                                         can.play ? QString() : can.playProblem};
    };

    loopwren::LoopWrenApp application(std::move(services), options, effects);
    engine = &application.engine();
    if (!application.openWindow())
        return 1;
    return QApplication::exec();
}
