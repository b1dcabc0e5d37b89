// What the engine does after a delay, checked on virtual time at the exact moment it is due.
#include "enginefixture.h"
#include "virtualdelaytimer.h"

namespace loopwren {
namespace {

using std::chrono::milliseconds;

class Delays : public EngineFixture
{
protected:
    VirtualDelayTimer timer;
};

TEST_F(Delays, AccessIsReadAgainOneSecondAfterItIsRequested)
{
    MacroEngine& e = build();
    drain();
    ASSERT_TRUE(e.isAccessibilityGranted());

    e.requestAccessibility();
    accessibility->trusted = false; // what the desktop answers from now on
    timer.advanceBy(milliseconds(999));
    drain();
    EXPECT_TRUE(e.isAccessibilityGranted()) << "read again before the second was up";
    timer.advanceBy(milliseconds(1));
    drain();
    EXPECT_FALSE(e.isAccessibilityGranted());
    EXPECT_EQ(accessibility->requests, 1);
}

TEST_F(Delays, AWindowIsPlacedATenthOfASecondAfterItsApplicationIsActivated)
{
    prepare = [](FakeHotkeyService&, FakeWorkspace& ws) { ws.applications = {{QString("Notes"), {}, 1, 1}}; };
    MacroEngine& e = build();
    drain();
    e.setTargetAppName("Notes");
    e.focusTargetApp();
    EXPECT_EQ(timer.waiting(), 0u) << "no frame stored: nothing to place";

    e.setSetTargetWindowPosition(true);
    e.setTargetWindowX(40);
    journal->clear();
    e.focusTargetApp();
    timer.advanceBy(milliseconds(99));
    drain();
    EXPECT_EQ(journal->lines(), QStringList{"activate Notes pid=1"});
    timer.advanceBy(milliseconds(1));
    ASSERT_TRUE(runUntil([&] { return journal->lines().size() == 2; }));
    EXPECT_TRUE(journal->lines().last().startsWith("place Notes position=(40, "))
        << journal->lines().join('\n').toStdString();
}

} // namespace
} // namespace loopwren
