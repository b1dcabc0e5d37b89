#include "macroengine.h"

#include <gtest/gtest.h>

namespace loopwren {
namespace {

TEST(IsNewerVersion, ComparesNumericPiecesAndDropsTheRest)
{
    struct Case
    {
        const char* candidate;
        const char* current;
        bool newer;
    };
    const Case cases[] = {
        {"1.0.1", "1.0.0", true},
        {"1.0.0", "1.0.0", false},
        {"1.2", "1.2.0", false},
        {"1.2.0.1", "1.2", true},
        {"1.10", "1.9", true},
        {"0.9", "1.0", false},
        {"1..2", "1.1", true},
        {".1.2.", "1.2", false},
        {"1.x.3", "1.2", true},
        {"2.0-beta", "1.9", true},
        {"2.0-beta", "2.0", false},
        {"+2", "1", true},
        {"-1", "0", false},
        {"abc", "", false},
        {"", "0.0.1", false},
        {"99999999999999999999", "1", false},
        {"1.99999999999999999999", "1", false},
        {"1. 2", "1", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MacroEngine::isNewerVersion(c.candidate, c.current), c.newer)
            << c.candidate << " vs " << c.current;
}

} // namespace
} // namespace loopwren
