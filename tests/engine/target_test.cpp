#include "enginefixture.h"

namespace loopwren {
namespace {

RunningApplication app(const QString& name, std::int64_t pid,
                       RunningApplication::Policy policy = RunningApplication::Policy::regular)
{
    return RunningApplication{name, policy, pid, static_cast<std::uint64_t>(pid)};
}

class Target : public EngineFixture
{
protected:
    MacroEngine& buildWith(std::vector<RunningApplication> apps, QVariantMap values = {})
    {
        prepare = [apps](FakeHotkeyService&, FakeWorkspace& ws) { ws.applications = apps; };
        MacroEngine& e = build(std::move(values));
        drain();
        return e;
    }
};

TEST_F(Target, RunningAppsAreSortedDeduplicatedAndPickAPreferredDefault)
{
    MacroEngine& e = buildWith({app("Mail", 1), app("Safari", 2), app("Google Chrome", 3), app("Finder", 4),
                                app("Mail", 5), app("menubar", 6, RunningApplication::Policy::accessory),
                                app("agent", 7, RunningApplication::Policy::prohibited),
                                RunningApplication{std::nullopt, RunningApplication::Policy::regular, 8, 8},
                                app("alpha", 9), app("Zed", 10), app("\u00c9clair", 11)});
    EXPECT_EQ(e.runningApps(),
              (QStringList{"Finder", "Google Chrome", "Mail", "Safari", "Zed", "alpha", "\u00c9clair"}));
    EXPECT_EQ(e.targetAppName(), "Google Chrome");
    EXPECT_EQ(store->values().value("targetAppName").toString(), "Google Chrome");
}

TEST_F(Target, DefaultFallsBackToSafariThenTheFirstNameAndNeverReplacesAChoice)
{
    EXPECT_EQ(buildWith({app("Mail", 1), app("Safari", 2)}).targetAppName(), "Safari");
    engine.reset();
    EXPECT_EQ(buildWith({app("Mail", 1), app("Finder", 2)}).targetAppName(), "Finder");
    engine.reset();
    EXPECT_EQ(buildWith({app("Safari", 1)}, {{"targetAppName", QString("Gone")}}).targetAppName(), "Gone");
    engine.reset();
    EXPECT_EQ(buildWith({}).targetAppName(), "");
}

TEST_F(Target, FocusActivatesTheFirstExactMatchIncludingAccessories)
{
    MacroEngine& e = buildWith({app("Notes", 1), app("menubar", 2, RunningApplication::Policy::accessory),
                                app("menubar", 3), app("safari", 4)});
    journal->clear();
    e.setTargetAppName("menubar");
    e.focusTargetApp();
    e.setTargetAppName("Safari");
    e.focusTargetApp();
    e.setTargetAppName("");
    e.focusTargetApp();
    EXPECT_EQ(journal->lines(), QStringList{"activate menubar pid=2"});
}

TEST_F(Target, PlacementCopiesTheFrameWhenScheduledAndRunsLater)
{
    MacroEngine& e = buildWith({app("Notes", 1)});
    e.setTargetAppName("Notes");
    e.setSetTargetWindowPosition(true);
    e.setTargetWindowX(-20);
    e.setTargetWindowY(1e7);
    journal->clear();
    e.focusTargetApp();
    e.setTargetWindowX(500); // after scheduling: not used
    ASSERT_TRUE(runUntil([&] { return journal->lines().size() == 2; }));
    EXPECT_EQ(journal->lines(), (QStringList{"activate Notes pid=1", "place Notes position=(-20, 1e+07)"}));

    journal->clear();
    e.setSetTargetWindowPosition(false);
    e.focusTargetApp();
    runUntil([] { return false; }, 300);
    EXPECT_EQ(journal->lines(), QStringList{"activate Notes pid=1"}) << "nothing to place";

    journal->clear();
    e.setSetTargetWindowSize(true);
    e.focusTargetApp();
    ASSERT_TRUE(runUntil([&] { return journal->lines().size() == 2; }));
    EXPECT_EQ(journal->lines().last(), "place Notes size=800x600");
}

} // namespace
} // namespace loopwren
