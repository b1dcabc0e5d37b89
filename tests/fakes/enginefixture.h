#pragma once

#include "eventually.h"
#include "events.h"
#include "fakeplatform.h"
#include "logline.h"
#include "macroengine.h"
#include "memorypreferencesstore.h"

#include "qttesting.h"

#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace loopwren {

// An engine on fakes, with the log lines it writes kept in `logged`. The fakes stay reachable through
// raw pointers; the engine owns them.
class EngineFixture : public testing::Test, protected FakeDesktop
{
protected:
    void SetUp() override;
    // Before the test's own members go: a clock or a folder the engine uses outlives it.
    void TearDown() override;

    // Builds the engine, replacing any earlier one, over a store holding values; `prepare` runs once the
    // fakes exist, before the engine starts using them.
    MacroEngine& build(QVariantMap values = {});
    static void drain() { test::drain(); }

    std::shared_ptr<Journal> journal = std::make_shared<Journal>();
    QStringList logged;
    std::function<void()> prepare;
    EngineOptions options;
    std::unique_ptr<MacroEngine> engine;
    MemoryPreferencesStore* store = nullptr;

private:
    LogSink m_previousSink;
};

} // namespace loopwren
