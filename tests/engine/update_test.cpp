#include "versiondocument.h"

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
    const Case cases[] = {{"1.0.1", "1.0.0", true},
                          {"1.0.0", "1.0.0", false},
                          {"1.2", "1.2.0", false},
                          {"1.2.0.1", "1.2", true},
                          {"1.10", "1.9", true},
                          {"0.9", "1.0", false},
                          {"2", "1.9.9", true},
                          {"1.2.3", "1.2.10", false},
                          {"01.2", "1.1", true},
                          // Empty pieces and pieces that are not whole numbers are dropped.
                          {"1..2", "1.1", true},
                          {".1.2.", "1.2", false},
                          {"1.x.3", "1.2", true},
                          {"2.0-beta", "1.9", true},
                          {"2.0-beta", "2.0", false},
                          {"v2.0", "1.0", false},
                          {"abc", "", false},
                          {"", "0.0.1", false},
                          {"1. 2", "1", false},
                          {"1.\u0663", "1", false}, // an Arabic-Indic three is not a decimal digit here
                          // A piece may carry a sign.
                          {"+2", "1", true},
                          {"-1", "0", false},
                          {"1.-1", "1", false},
                          {"1", "1.-1", true},
                          {"1.+1", "1", true},
                          {"1.+", "1", false},
                          {"1.+-1", "1", false},
                          // Pieces beyond 64 bits are dropped rather than wrapped.
                          {"99999999999999999999", "1", false},
                          {"1.99999999999999999999", "1", false},
                          {"9223372036854775807", "9223372036854775806", true},
                          {"9223372036854775808", "1", false},
                          {"-9223372036854775808", "0", false},
                          {"0", "-9223372036854775808", true}};
    for (const Case& c : cases)
        EXPECT_EQ(isNewerVersion(c.candidate, c.current), c.newer) << c.candidate << " vs " << c.current;
}

} // namespace
} // namespace loopwren
