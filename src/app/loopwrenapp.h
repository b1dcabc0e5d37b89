#pragma once

#include "appdelegate.h"
#include "contentviewstate.h"
#include "hotkeycapture.h"
#include "macroengine.h"
#include "qtdialogs.h"
#include "settingsstate.h"
#include "windoweffects.h"
#include "windowvisibility.h"

#include <QObject>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <memory>

namespace loopwren {

// The application: one engine, one main window showing ContentView, and the quit prompt between the
// window's close button and the end of the process.
class LoopWrenApp : public QObject
{
    Q_OBJECT

public:
    // services.workspace, when missing, becomes a workspace that hides and shows the window through
    // visibility; a desktop-specific workspace should hand those two requests to the same object.
    LoopWrenApp(PlatformServices services, EngineOptions options,
                std::shared_ptr<WindowVisibility> visibility, WindowEffects effects = {});
    ~LoopWrenApp() override;

    // Opens the main window; false when its QML could not be loaded.
    bool openWindow();

    MacroEngine& engine() { return *m_engine; }
    ContentViewState& viewState() { return *m_viewState; }
    SettingsState& settingsState() { return *m_settingsState; }
    HotkeyCapture& hotkeyCapture() { return *m_hotkeyCapture; }
    QQuickWindow* window() const { return m_window; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::shared_ptr<WindowVisibility> m_visibility;
    WindowEffects m_effects;
    QtDialogs m_dialogs;
    AppDelegate m_delegate;
    std::unique_ptr<MacroEngine> m_engine;
    // The settings page's capture of a hotkey; it lives as long as the window may show that page.
    std::unique_ptr<HotkeyCapture> m_hotkeyCapture;
    std::unique_ptr<SettingsState> m_settingsState;
    std::unique_ptr<ContentViewState> m_viewState;
    std::unique_ptr<QQmlApplicationEngine> m_qml;
    QQuickWindow* m_window = nullptr;
};

} // namespace loopwren
