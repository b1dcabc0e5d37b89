#include "enginefixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace loopwren {

void EngineFixture::SetUp()
{
    m_previousSink = setLogSink([this](const QString& line) { logged.append(line); });
}

void EngineFixture::TearDown()
{
    engine.reset();
    drain();
    setLogSink(m_previousSink);
}

MacroEngine& EngineFixture::build(QVariantMap values)
{
    PlatformServices services;
    auto storeOwned = std::make_unique<MemoryPreferencesStore>(std::move(values));
    auto hotkeysOwned = std::make_unique<FakeHotkeyService>(journal);
    auto accessibilityOwned = std::make_unique<FakeAccessibility>();
    auto workspaceOwned = std::make_unique<FakeWorkspace>(journal);
    auto inputOwned = std::make_unique<FakeInputMonitor>();
    store = storeOwned.get();
    hotkeys = hotkeysOwned.get();
    accessibility = accessibilityOwned.get();
    workspace = workspaceOwned.get();
    input = inputOwned.get();
    if (prepare)
        prepare(*hotkeys, *workspace);
    services.preferences = std::move(storeOwned);
    services.hotkeys = std::move(hotkeysOwned);
    services.accessibility = std::move(accessibilityOwned);
    services.workspace = std::move(workspaceOwned);
    services.input = std::move(inputOwned);
    services.posters = std::make_unique<FakeInputPosterFactory>(journal);
    engine = std::make_unique<MacroEngine>(std::move(services), options);
    return *engine;
}

void EngineFixture::drain()
{
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool EngineFixture::runUntil(const std::function<bool()>& condition, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(200);
    }
    return true;
}

} // namespace loopwren
