#include "appfixture.h"
#include "qsettingspreferencesstore.h"

#include <QFile>
#include <QSettings>
#include <QTest>

namespace loopwren {

void AppFixture::SetUp()
{
    UiFixture::SetUp();
    // Through QSettings rather than by deleting the file: its in-process cache forgets the old values too.
    QSettings settings(QStringLiteral("LoopWren"), QStringLiteral("LoopWren"));
    settings.clear();
    settings.sync();
}

void AppFixture::TearDown()
{
    stopApp();
    UiFixture::TearDown();
}

void AppFixture::startApp(Start start)
{
    {
        QSettings settings(QStringLiteral("LoopWren"), QStringLiteral("LoopWren"));
        for (auto it = start.stored.cbegin(); it != start.stored.cend(); ++it)
            settings.setValue(it.key(), it.value());
        settings.sync();
    }
    PlatformServices services = fakeServices();
    services.preferences = std::make_unique<QSettingsPreferencesStore>();
    auto fetcherOwned = std::make_unique<QtUpdateFetcher>(QtUpdateFetcher::Limits{start.timeout});
    fetcher = fetcherOwned.get();
    services.updates = std::move(fetcherOwned);
    updates = nullptr;
    RunningApplication files, terminal;
    files.name = QStringLiteral("Files");
    terminal.name = QStringLiteral("Terminal");
    workspace->applications = {terminal, files};

    EngineOptions options;
    options.applicationVersion = start.version;
    options.updateBaseUrl = start.updateBaseUrl.isNull() ? server.baseUrl() : start.updateBaseUrl;
    m_app = std::make_unique<LoopWrenApp>(std::move(services), options, std::make_shared<WindowVisibility>(),
                                          WindowEffects{}, start.dialogs);
    if (!m_app->openWindow())
        throw std::runtime_error("the main window did not load");
    window = m_app->window();
    if (!QTest::qWaitForWindowExposed(window, 20000))
        throw std::runtime_error("the main window was not shown");
    // Typed keys go to the active window; an earlier test's window may have kept that role.
    window->requestActivate();
    if (!QTest::qWaitForWindowActive(window, 20000))
        throw std::runtime_error("the main window did not become active");
    drain();
}

void AppFixture::stopApp()
{
    m_app.reset();
    window = nullptr;
    fetcher = nullptr;
    drain();
}

void AppFixture::waitForChecks(int count)
{
    const bool done = QTest::qWaitFor(
        [&] { return server.requestCount() >= count && fetcher && fetcher->pendingRequests() == 0; }, 20000);
    ASSERT_TRUE(done) << "requests seen: " << server.requestCount();
    drain();
    EXPECT_EQ(server.requestCount(), count);
}

void AppFixture::showSettings()
{
    // Tall enough for the whole page: the page scrolls, and only what is on screen takes a click.
    window->resize(1040, 1700);
    app().viewState().navigate(ContentViewState::Settings);
    ASSERT_TRUE(waitUntil([&] { return item("settingsPage")->opacity() == 1; }))
        << "the page did not fade in";
    drain();
}

void AppFixture::tap(QQuickItem* target)
{
    bool drawn = false;
    const QMetaObject::Connection connection =
        QObject::connect(window, &QQuickWindow::frameSwapped, window, [&drawn] { drawn = true; });
    window->update();
    EXPECT_TRUE(QTest::qWaitFor([&] { return drawn; }, 20000)) << "the window drew no frame";
    QObject::disconnect(connection);
    click(target);
}

QString AppFixture::settingsFile()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/LoopWren/LoopWren.conf");
}

QString AppFixture::stored(const QString& key)
{
    QFile file(settingsFile());
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("<no file>");
    const QString prefix = key + QLatin1Char('=');
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size());
    }
    return QStringLiteral("<absent>");
}

} // namespace loopwren
