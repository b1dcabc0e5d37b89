#include "inputclock.h"

#include <gtest/gtest.h>

namespace loopwren {
namespace {

using namespace std::chrono_literals;
using Clock = InputClock::Clock;

// A read moment in the millisecond whose server stamp is ms, plus an offset.
Clock::time_point at(std::int64_t ms, std::chrono::microseconds offset)
{
    return Clock::time_point{std::chrono::milliseconds(ms)} + offset;
}

TEST(InputClock, PromptReadsKeepTheirPrecisionLateOnesFallBackToTheServersMillisecond)
{
    InputClock clock;
    const std::int64_t ms = 5'000'123;
    EXPECT_EQ(clock.stamp(static_cast<std::uint32_t>(ms), at(ms, 250us)), at(ms, 250us));
    EXPECT_EQ(clock.stamp(static_cast<std::uint32_t>(ms + 10), at(ms + 11, 200us)), at(ms + 11, 200us))
        << "read within the slack after its millisecond";
    EXPECT_EQ(clock.stamp(static_cast<std::uint32_t>(ms + 20), at(ms + 37, 0us)), at(ms + 20, 500us))
        << "held back by the server: the middle of the millisecond it happened in";
}

TEST(InputClock, HandlesTheWrapOfTheServerClockAndForeignClocks)
{
    InputClock clock;
    // Our clock past 2^32 ms: the server's 32-bit stamp has wrapped.
    const std::int64_t ms = (std::int64_t{1} << 32) + 40;
    EXPECT_EQ(clock.stamp(30, at(ms, 0us)), at(ms - 10, 500us));

    InputClock remote;
    const Clock::time_point read = at(900'000'000, 0us);
    EXPECT_EQ(remote.stamp(12345, read), read) << "a server clock hours away is not ours";
}

TEST(InputClock, NeverGoesBackwards)
{
    InputClock clock;
    const std::int64_t ms = 7'000'000;
    const Clock::time_point first = clock.stamp(static_cast<std::uint32_t>(ms), at(ms, 900us));
    // Read later, but stamped in an earlier millisecond by the server: no negative delay.
    const Clock::time_point second = clock.stamp(static_cast<std::uint32_t>(ms - 3), at(ms + 2, 0us));
    EXPECT_GE(second, first);
}

} // namespace
} // namespace loopwren
