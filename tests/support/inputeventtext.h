#pragma once

#include "inputmonitor.h"

#include <string>
#include <vector>

namespace loopwren::test {

// One readable line per input, with the fields that matter for its kind, so tests compare strings: a
// position or "nowhere", the flags only when some are set, or "flags=none" when the input carries none.
std::string describe(const InputEvent& event);
std::vector<std::string> describe(const std::vector<InputEvent>& events);

} // namespace loopwren::test
