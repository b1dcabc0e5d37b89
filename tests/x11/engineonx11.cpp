#include "engineonx11.h"

#include "x11backend.h"
#include "x11testenvironment.h"

namespace loopwren {

void EngineOnX11::SetUp()
{
    const auto problem = X11TestEnvironment::displayProblem();
    ASSERT_TRUE(problem.empty()) << problem;
    m_previousSink = setLogSink([this](const QString& line) { m_logged.append(line); });
}

void EngineOnX11::TearDown()
{
    m_engine.reset();
    // Whatever the engine queued on its way out.
    X11TestEnvironment::settle(std::chrono::milliseconds(50));
    setLogSink(m_previousSink);
}

MacroEngine& EngineOnX11::build()
{
    PlatformServices services;
    auto store = std::make_unique<MemoryPreferencesStore>();
    m_store = store.get();
    services.preferences = std::move(store);
    m_backend = X11Backend::open();
    EXPECT_NE(m_backend, nullptr);
    FrontEndHooks hooks;
    hooks.openUrl = [](const QUrl&) { return true; };
    if (m_backend)
        m_backend->provide(services, hooks);
    m_engine = std::make_unique<MacroEngine>(std::move(services));
    X11TestEnvironment::settle(std::chrono::milliseconds(50));
    return *m_engine;
}

MacroEvent EngineOnX11::keyEvent(EventType type, std::uint16_t keyCode, double delay)
{
    MacroEvent event;
    event.id = Uuid::random();
    event.type = type;
    event.delaySincePrevious = delay;
    if (type == EventType::keyDown || type == EventType::keyUp)
        event.keyCode = keyCode;
    return event;
}

} // namespace loopwren
