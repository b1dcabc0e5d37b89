#pragma once

#include "backend.h"
#include "logline.h"
#include "macroengine.h"
#include "memorypreferencesstore.h"

#include <gtest/gtest.h>

#include <memory>

namespace loopwren {

// An engine on the real X11 services, its settings in memory.
class EngineOnX11 : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Builds the engine; call it once the scene (environment, clients) is set up.
    MacroEngine& build();
    static MacroEvent keyEvent(EventType type, std::uint16_t keyCode, double delay = 0.0);

    std::unique_ptr<Backend> m_backend;
    std::unique_ptr<MacroEngine> m_engine;
    MemoryPreferencesStore* m_store = nullptr;
    QStringList m_logged;

private:
    LogSink m_previousSink;
};

} // namespace loopwren
