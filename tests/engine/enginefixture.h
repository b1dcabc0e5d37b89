#pragma once

#include "events.h"
#include "fakeplatform.h"
#include "logline.h"
#include "macroengine.h"
#include "memorypreferencesstore.h"

#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace loopwren {

// An engine on fakes. The fakes stay reachable through raw pointers; the engine owns them.
class EngineFixture : public testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Builds the engine over a store holding values; call once per test, before using engine.
    MacroEngine& build(QVariantMap values = {});
    // Runs queued main-thread work until nothing is left.
    static void drain();
    // Runs the event loop until condition holds or the time is up; returns the condition.
    static bool runUntil(const std::function<bool()>& condition, int timeoutMs = 30000);

    std::shared_ptr<Journal> journal = std::make_shared<Journal>();
    QStringList logged;
    std::unique_ptr<MacroEngine> engine;
    MemoryPreferencesStore* store = nullptr;
    FakeHotkeyService* hotkeys = nullptr;
    FakeAccessibility* accessibility = nullptr;
    FakeWorkspace* workspace = nullptr;
    FakeInputMonitor* input = nullptr;
    // Adjusted before build() to shape the services and the options.
    std::function<void(FakeHotkeyService&, FakeWorkspace&)> prepare;
    EngineOptions options;

private:
    LogSink m_previousSink;
};

} // namespace loopwren
