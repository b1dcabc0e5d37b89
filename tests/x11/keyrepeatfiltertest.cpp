#include "keyrepeatfilter.h"

#include <gtest/gtest.h>

namespace loopwren {
namespace {

TEST(KeyRepeatFilterTest, RepeatsOfAHeldKeyAreNoNewPressesInEitherForm)
{
    KeyRepeatFilter filter;
    // Detectable autorepeat: further presses while the key is down.
    EXPECT_TRUE(filter.press(45, 1000));
    EXPECT_FALSE(filter.press(45, 1660));
    EXPECT_FALSE(filter.press(45, 1700));
    filter.release(45, 1720);
    // Classic autorepeat: a release and a press with the same server time.
    EXPECT_TRUE(filter.press(45, 2000));
    filter.release(45, 2660);
    EXPECT_FALSE(filter.press(45, 2660));
    filter.release(45, 2700);
    EXPECT_FALSE(filter.press(45, 2700));
    filter.release(45, 2712);
    // A real press, however quick, comes a moment after the release.
    EXPECT_TRUE(filter.press(45, 2713));
}

TEST(KeyRepeatFilterTest, KeysAreTrackedApartAndClearForgetsThem)
{
    KeyRepeatFilter filter;
    EXPECT_TRUE(filter.press(45, 1000));
    EXPECT_TRUE(filter.press(44, 1001));
    filter.release(45, 1510);
    filter.release(44, 1520);
    // Another key's release at the same moment makes no repeat pair.
    EXPECT_TRUE(filter.press(45, 1520));
    filter.clear();
    EXPECT_TRUE(filter.press(45, 1600));
}

} // namespace
} // namespace loopwren
