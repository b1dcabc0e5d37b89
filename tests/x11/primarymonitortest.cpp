#include "primarymonitor.h"
#include "x11inputposter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace loopwren {
namespace {

struct MonitorCase
{
    const char* name;
    std::vector<MonitorArea> monitors;
    ScreenOrigin expected;
};

class PrimaryMonitorCases : public ::testing::TestWithParam<MonitorCase>
{
};

TEST_P(PrimaryMonitorCases, ChoosesTheOrigin)
{
    EXPECT_EQ(PrimaryMonitor::choose(GetParam().monitors), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, PrimaryMonitorCases,
    ::testing::Values(
        MonitorCase{"PrimaryWins", {{0, 0, 1920, 1080, false}, {1920, 0, 1280, 1024, true}}, {1920, 0}},
        MonitorCase{"PrimaryMayLieLeftOfTheRootOrigin",
                    {{0, 0, 800, 600, false}, {-1280, 200, 1280, 1024, true}},
                    {-1280, 200}},
        MonitorCase{"WithoutPrimaryTheOneHoldingTheRootOrigin",
                    {{1920, 0, 1280, 1024, false}, {0, 0, 1920, 1080, false}},
                    {0, 0}},
        MonitorCase{"ContainingIncludesTheTopLeftEdge",
                    {{500, 0, 100, 100, false}, {-100, -50, 101, 51, false}},
                    {-100, -50}},
        MonitorCase{
            "WithoutEitherTheFirst", {{300, 200, 800, 600, false}, {1100, 0, 800, 600, false}}, {300, 200}},
        MonitorCase{"NoMonitorsMeansTheRootWindow", {}, {0, 0}}),
    [](const ::testing::TestParamInfo<MonitorCase>& info) { return std::string(info.param.name); });

struct CoordinateCase
{
    int origin;
    double value;
    std::optional<int> expected;
};

TEST(X11InputPoster, RootCoordinatesAreRoundedAndClampedToTheProtocolRange)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    const CoordinateCase cases[] = {
        {200, 100.0, 300}, {200, 100.4, 300},   {200, 100.5, 301},      {200, -0.5, 200},
        {0, -0.5, -1},     {100, -250.0, -150}, {0, 1e300, 32767},      {0, -1e300, -32768},
        {0, inf, 32767},   {0, -inf, -32768},   {30000, 5000.0, 32767}, {0, std::nan(""), std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(X11InputPoster::rootCoordinate(c.origin, c.value), c.expected)
            << "origin " << c.origin << " value " << c.value;
}

} // namespace
} // namespace loopwren
