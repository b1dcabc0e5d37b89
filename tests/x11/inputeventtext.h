#pragma once

#include "inputmonitor.h"

#include <string>
#include <vector>

namespace loopwren {

// One readable line per input, holding the fields that matter for its kind, so tests compare strings.
class InputEventText
{
public:
    static std::string describe(const InputEvent& event);
    static std::vector<std::string> describe(const std::vector<InputEvent>& events);
};

} // namespace loopwren
