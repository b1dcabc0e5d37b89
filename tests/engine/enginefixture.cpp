#include "enginefixture.h"

#include <QCoreApplication>

namespace loopwren {
namespace {

// Puts a new T into the engine's slot and hands back a pointer the test keeps.
template <typename T, typename Slot, typename... Args>
T* own(std::unique_ptr<Slot>& slot, Args&&... args)
{
    auto service = std::make_unique<T>(std::forward<Args>(args)...);
    T* kept = service.get();
    slot = std::move(service);
    return kept;
}

} // namespace

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
    engine.reset();
    PlatformServices services;
    store = own<MemoryPreferencesStore>(services.preferences, std::move(values));
    hotkeys = own<FakeHotkeyService>(services.hotkeys, journal);
    accessibility = own<FakeAccessibility>(services.accessibility);
    workspace = own<FakeWorkspace>(services.workspace, journal);
    input = own<FakeInputMonitor>(services.input);
    own<FakeInputPosterFactory>(services.posters, journal);
    if (prepare)
        prepare();
    engine = std::make_unique<MacroEngine>(std::move(services), options);
    return *engine;
}

void EngineFixture::drain()
{
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace loopwren
