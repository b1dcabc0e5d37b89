#pragma once

#include <chrono>
#include <functional>

namespace loopwren::test {

// How long a test waits for something that should happen: far beyond any real run, so that a loaded
// machine never trips it; only a hung or broken part takes this long.
inline constexpr std::chrono::seconds kEventuallyLimit{60};

// Runs the Qt event loop (when there is one) until condition holds; false if it still does not by the
// limit.
bool eventually(const std::function<bool()>& condition);
// Runs the Qt event loop for a while, so that what should not arrive has had its chance to.
void settle(std::chrono::milliseconds duration = std::chrono::milliseconds(200));

} // namespace loopwren::test
