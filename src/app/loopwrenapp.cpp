#include "loopwrenapp.h"

#include "logline.h"
#include "macrofiles.h"

#include <QCloseEvent>
#include <QGuiApplication>

namespace loopwren {

LoopWrenApp::LoopWrenApp(PlatformServices services, EngineOptions options, WindowEffects effects,
                         Dialogs* dialogs)
    : m_effects(std::move(effects)), m_dialogs(dialogs ? *dialogs : m_qtDialogs)
{
    auto visibility = std::make_unique<WindowVisibility>(m_effects.restoresMinimizedWindow);
    m_visibility = visibility.get();
    services.ownWindow = std::move(visibility);
    m_engine = std::make_unique<MacroEngine>(std::move(services), std::move(options));
    m_quitPrompt = std::make_unique<QuitPrompt>(*m_engine, m_dialogs);
    // Read now rather than when the Library page is first shown: its macros' hotkeys work from the start.
    m_engine->library();
    m_hotkeyCapture = std::make_unique<HotkeyCapture>(*m_engine);
    m_settingsState = std::make_unique<SettingsState>(*m_engine, *m_hotkeyCapture);
    m_viewState = std::make_unique<ContentViewState>(*m_engine, m_dialogs);
    m_libraryState = std::make_unique<LibraryState>(*m_engine, *m_viewState, *m_hotkeyCapture, m_dialogs);
    // The window is the application: closing it (once the quit prompt agrees) quits.
    QGuiApplication::setQuitOnLastWindowClosed(true);
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, &LoopWrenApp::commitData,
            Qt::DirectConnection);
    connect(m_engine.get(), &MacroEngine::recordedEventsChanged, this, [this] { m_quitAnswered = false; });
}

LoopWrenApp::~LoopWrenApp()
{
    // A capture still waiting for keys ends with the window; then the window goes, before the state and
    // the engine its views read until they are gone.
    m_hotkeyCapture->cancel();
    m_qml.reset();
}

std::function<bool(const QUrl&)> LoopWrenApp::pageShower(std::function<bool(const QUrl&)> browser,
                                                         const QPointer<MacroEngine>& engine)
{
    return [browser = std::move(browser), &engine](const QUrl& page) {
        const bool opened = browser && browser(page);
        if (engine) {
            engine->showNotice(QStringLiteral("Access Help Notice"),
                               page.isLocalFile() ? page.toLocalFile() : page.toString());
        }
        return opened;
    };
}

bool LoopWrenApp::openWindow()
{
    if (m_effects.rendersInSoftware())
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    const bool translucent = m_effects.isCompositing();
    // A translucent window needs an alpha channel, chosen before the window exists.
    if (translucent)
        QQuickWindow::setDefaultAlphaBuffer(true);

    m_qml = std::make_unique<QQmlApplicationEngine>();
    m_qml->setInitialProperties(
        {{QStringLiteral("viewState"), QVariant::fromValue(m_viewState.get())},
         {QStringLiteral("settingsState"), QVariant::fromValue(m_settingsState.get())},
         {QStringLiteral("libraryState"), QVariant::fromValue(m_libraryState.get())},
         {QStringLiteral("translucent"), translucent}});
    m_qml->load(QUrl(QStringLiteral("qrc:/qt/qml/LoopWren/Ui/Main.qml")));
    if (m_qml->rootObjects().isEmpty())
        return false;
    m_window = qobject_cast<QQuickWindow*>(m_qml->rootObjects().constFirst());
    if (!m_window)
        return false;
    m_window->installEventFilter(this);
    m_visibility->setWindow(m_window);
    m_qtDialogs.setParentWindow(m_window);
    if (translucent)
        m_effects.requestBlurBehind(*m_window);
    return true;
}

bool LoopWrenApp::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && event->type() == QEvent::Close) {
        m_viewState->commitTypedEdits();
        // Unlike a desktop with a dock, nothing here could bring a closed window back, so a cancelled
        // quit keeps the window open as well as the process.
        if (!m_quitAnswered && m_quitPrompt->ask() == QuitPrompt::Answer::stay) {
            event->ignore();
            return true;
        }
        // The window is going away: a hotkey capture must not keep watching the keyboard behind it.
        m_hotkeyCapture->cancel();
    }
    return QObject::eventFilter(watched, event);
}

void LoopWrenApp::commitData(QSessionManager& manager)
{
    if (m_quitAnswered)
        return;
    m_viewState->commitTypedEdits();
    if (!manager.allowsInteraction()) {
        keepUnsavedTimeline();
        m_quitAnswered = true;
        return;
    }
    // Qt ends the interaction itself once this returns, carrying a cancellation; release() would end
    // it at once without one.
    if (m_quitPrompt->ask() == QuitPrompt::Answer::stay) {
        manager.cancel();
        return;
    }
    manager.release();
    m_quitAnswered = true;
}

void LoopWrenApp::keepUnsavedTimeline()
{
    if (!m_engine->showCloseSavePrompt() || m_engine->recordedEvents().empty())
        return;
    QString problem;
    const QString path = macrofiles::saveRecovery(m_engine->recordedEvents(), &problem);
    if (path.isEmpty())
        logLine(QStringLiteral("Failed to keep the unsaved timeline: "), problem);
    else
        logLine(QStringLiteral("Kept the unsaved timeline in "), path);
}

} // namespace loopwren
