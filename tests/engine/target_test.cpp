#include "enginefixture.h"
#include "virtualdelaytimer.h"

namespace loopwren {
namespace {

RunningApplication app(const QString& name, std::int64_t pid)
{
    return RunningApplication{name, pid, static_cast<std::uint64_t>(pid)};
}

using Target = EngineFixture;

// The names are published after construction has returned, as the accessibility check is. The target
// defaults to Chrome, else Safari, else the first name; a choice already made stays.
TEST_F(Target, RunningAppsAreSortedDeduplicatedAndPickAPreferredDefault)
{
    prepare = [this] {
        workspace->applications = {app("Mail", 1),   app("Safari", 2), app("Google Chrome", 3),
                                   app("Finder", 4), app("Mail", 5),   RunningApplication{std::nullopt, 8, 8},
                                   app("alpha", 9),  app("Zed", 10),   app("\u00c9clair", 11)};
    };
    MacroEngine& e = build();
    EXPECT_FALSE(e.isAccessibilityGranted());
    EXPECT_TRUE(e.runningApps().isEmpty());
    drain();
    EXPECT_TRUE(e.isAccessibilityGranted());
    EXPECT_EQ(e.runningApps(),
              (QStringList{"Finder", "Google Chrome", "Mail", "Safari", "Zed", "alpha", "\u00c9clair"}));
    EXPECT_EQ(e.targetAppName(), "Google Chrome");
    EXPECT_EQ(store->values().value("targetAppName").toString(), "Google Chrome");

    const std::tuple<std::vector<RunningApplication>, QVariantMap, QString> cases[] = {
        {{app("Mail", 1), app("Safari", 2)}, {}, "Safari"},
        {{app("Mail", 1), app("Finder", 2)}, {}, "Finder"},
        {{app("Safari", 1)}, {{"targetAppName", QString("Gone")}}, "Gone"},
        {{}, {}, ""},
    };
    for (const auto& [apps, stored, expected] : cases) {
        prepare = [this, apps] { workspace->applications = apps; };
        build(stored);
        drain();
        EXPECT_EQ(engine->targetAppName(), expected);
    }
}

// The placement runs a tenth of a second after the activation, to the millisecond on virtual time,
// with the frame of the moment it was asked for; without a frame nothing is placed.
TEST_F(Target, FocusActivatesTheFirstExactMatchAndPlacesItsWindowAsItWasThen)
{
    VirtualDelayTimer timer;
    prepare = [this] {
        workspace->applications = {app("Notes", 1), app("menubar", 2), app("menubar", 3), app("safari", 4)};
    };
    MacroEngine& e = build();
    drain();
    journal->clear();
    for (const char* name : {"menubar", "Safari", "", "Notes"}) {
        e.setTargetAppName(name);
        e.focusTargetApp();
    }
    EXPECT_EQ(timer.waiting(), 0u) << "no frame: nothing to place";
    e.setSetTargetWindowPosition(true);
    e.setTargetWindowX(-20);
    e.setTargetWindowY(1e7);
    e.focusTargetApp();
    e.setTargetWindowX(500);
    e.setSetTargetWindowPosition(false);
    e.setSetTargetWindowSize(true);
    e.focusTargetApp();
    timer.advanceBy(std::chrono::milliseconds(99));
    EXPECT_EQ(timer.waiting(), 2u) << "placed early";
    timer.advanceBy(std::chrono::milliseconds(1));
    EXPECT_EQ(timer.waiting(), 0u) << "placed late";
    ASSERT_TRUE(test::eventually([&] { return journal->lines().size() >= 6; })); // placed on a thread of its own
    EXPECT_EQ(journal->lines(),
              (QStringList{"activate menubar pid=2", "activate Notes pid=1", "activate Notes pid=1",
                           "activate Notes pid=1", "place Notes position=(-20, 1e+07)",
                           "place Notes size=800x600"}));
}

} // namespace
} // namespace loopwren
