#include "enginefixture.h"

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
    engine.reset();
    PlatformServices services;
    store = install<MemoryPreferencesStore>(services.preferences, std::move(values));
    installFakes(services, journal);
    if (prepare)
        prepare();
    engine = std::make_unique<MacroEngine>(std::move(services), options);
    return *engine;
}

} // namespace loopwren
