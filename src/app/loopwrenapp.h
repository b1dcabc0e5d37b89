#pragma once

#include "contentviewstate.h"
#include "hotkeycapture.h"
#include "librarystate.h"
#include "macroengine.h"
#include "modaldialogs.h"
#include "qtdialogs.h"
#include "quitprompt.h"
#include "settingsstate.h"
#include "windoweffects.h"
#include "windowvisibility.h"

#include <QObject>
#include <QPointer>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QSessionManager>
#include <functional>
#include <memory>

namespace loopwren {

// The application: one engine, one main window showing ContentView, and the quit prompt between the
// end of the process and both the window's close button and the end of the desktop session.
class LoopWrenApp : public QObject
{
    Q_OBJECT

public:
    // The engine hides and shows the main window itself (services.ownWindow is the window's), where
    // effects says it comes back. dialogs, when given, replaces Qt's own file and message dialogs.
    LoopWrenApp(PlatformServices services, EngineOptions options, WindowEffects effects = {},
                Dialogs* dialogs = nullptr);
    ~LoopWrenApp() override;

    // The front end's way of showing a page (the backend's help on giving access): through browser,
    // and, as a browser may open nothing without failing (none registered), also by naming the file
    // in the window of engine, once there is one. The backend is given this before the engine exists,
    // so engine is read at each call and must outlive the function.
    static std::function<bool(const QUrl&)> pageShower(std::function<bool(const QUrl&)> browser,
                                                       const QPointer<MacroEngine>& engine);

    // Opens the main window; false when its QML could not be loaded.
    bool openWindow();

    MacroEngine& engine() { return *m_engine; }
    ContentViewState& viewState() { return *m_viewState; }
    SettingsState& settingsState() { return *m_settingsState; }
    LibraryState& libraryState() { return *m_libraryState; }
    HotkeyCapture& hotkeyCapture() { return *m_hotkeyCapture; }
    QQuickWindow* window() const { return m_window; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The session manager asks before the desktop session ends (a logout or shutdown).
    void commitData(QSessionManager& manager);
    // Without a chance to ask, a timeline the prompt would have offered to save goes to a recovery file.
    void keepUnsavedTimeline();

    WindowVisibility* m_visibility = nullptr; // the engine's, which lives as long as the window may
    WindowEffects m_effects;
    QtDialogs m_qtDialogs;
    ModalDialogs m_dialogs;
    // The quit was answered for the timeline as it stands: the close that ends the session does not
    // ask again. Any change of the timeline makes the question new.
    bool m_quitAnswered = false;
    std::unique_ptr<MacroEngine> m_engine;
    std::unique_ptr<QuitPrompt> m_quitPrompt;
    // The settings page's capture of a hotkey; it lives as long as the window may show that page.
    std::unique_ptr<HotkeyCapture> m_hotkeyCapture;
    std::unique_ptr<SettingsState> m_settingsState;
    std::unique_ptr<ContentViewState> m_viewState;
    std::unique_ptr<LibraryState> m_libraryState;
    std::unique_ptr<QQmlApplicationEngine> m_qml;
    QQuickWindow* m_window = nullptr;
};

} // namespace loopwren
