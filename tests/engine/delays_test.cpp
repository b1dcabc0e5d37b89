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
    accessibility->inputAccessGranted = false; // what the desktop answers from now on
    timer.advanceBy(milliseconds(999));
    drain();
    EXPECT_TRUE(e.isAccessibilityGranted()) << "read again before the second was up";
    timer.advanceBy(milliseconds(1));
    drain();
    EXPECT_FALSE(e.isAccessibilityGranted());
    EXPECT_EQ(accessibility->requests, 1);
}

} // namespace
} // namespace loopwren
