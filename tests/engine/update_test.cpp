#include "versiondocument.h"

#include <gtest/gtest.h>

namespace loopwren {
namespace {

// Versions compare by their numeric pieces, a missing piece counting as 0. Empty pieces and pieces
// that are not whole numbers are dropped (an Arabic-Indic digit is not a decimal digit here), a piece
// may carry a sign, and a piece beyond 64 bits is dropped rather than wrapped.
TEST(IsNewerVersion, ComparesNumericPiecesAndDropsTheRest)
{
    // clang-format off
    const std::pair<const char*, const char*> newer[] = {
        {"1.0.1", "1.0.0"}, {"1.2.0.1", "1.2"}, {"1.10", "1.9"}, {"2", "1.9.9"}, {"01.2", "1.1"},
        {"1..2", "1.1"}, {"1.x.3", "1.2"}, {"2.0-beta", "1.9"}, {"+2", "1"}, {"1", "1.-1"}, {"1.+1", "1"},
        {"9223372036854775807", "9223372036854775806"}, {"0", "-9223372036854775808"}};
    const std::pair<const char*, const char*> notNewer[] = {
        {"1.0.0", "1.0.0"}, {"1.2", "1.2.0"}, {"0.9", "1.0"}, {"1.2.3", "1.2.10"}, {".1.2.", "1.2"},
        {"2.0-beta", "2.0"}, {"v2.0", "1.0"}, {"abc", ""}, {"", "0.0.1"}, {"1. 2", "1"}, {"1.\u0663", "1"},
        {"-1", "0"}, {"1.-1", "1"}, {"1.+", "1"}, {"1.+-1", "1"}, {"99999999999999999999", "1"},
        {"1.99999999999999999999", "1"}, {"9223372036854775808", "1"}, {"-9223372036854775808", "0"}};
    // clang-format on
    for (const auto& [candidate, current] : newer)
        EXPECT_TRUE(isNewerVersion(candidate, current)) << candidate << " vs " << current;
    for (const auto& [candidate, current] : notNewer)
        EXPECT_FALSE(isNewerVersion(candidate, current)) << candidate << " vs " << current;
}

} // namespace
} // namespace loopwren
