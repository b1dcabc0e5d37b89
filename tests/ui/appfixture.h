#pragma once

#include "loopwrenapp.h"
#include "qtupdatefetcher.h"
#include "testhttpserver.h"
#include "uifixture.h"

#include <chrono>

namespace loopwren {

// The application as main.cpp builds it — the real settings file under $XDG_CONFIG_HOME, the real HTTP
// fetcher talking to a server of the test's own on 127.0.0.1, the real window offscreen — with fakes
// only for the desktop services (input, hotkeys, the list of running applications).
class AppFixture : public UiFixture
{
protected:
    void SetUp() override;
    void TearDown() override;

    struct Start
    {
        QString version = QStringLiteral("1.4.2");
        // Empty: the test's server.
        QString updateBaseUrl;
        std::chrono::milliseconds timeout{1000};
        QVariantMap stored;
        // The panels and alerts; none: Qt's own.
        Dialogs* dialogs = nullptr;
    };
    void startApp(Start start);
    void startApp() { startApp(Start{}); }
    MacroEngine& appEngine() { return m_app->engine(); }
    LoopWrenApp& app() { return *m_app; }
    void stopApp();

    // Waits until the server has seen count requests in all and every fetch has completed, then lets the
    // queued findings land.
    void waitForChecks(int count);
    void showSettings();
    // Clicks target once the window has drawn a frame: rows that just appeared are laid out only then,
    // and until that a click would land where they stood before.
    void tap(QQuickItem* target);

    static QString settingsFile();
    // The value text stored under key in the settings file on disk, or "<absent>".
    static QString stored(const QString& key);
    QStringList logLines() const { return logged; }

    TestHttpServer server;
    QtUpdateFetcher* fetcher = nullptr;

private:
    std::unique_ptr<LoopWrenApp> m_app;
};

} // namespace loopwren
