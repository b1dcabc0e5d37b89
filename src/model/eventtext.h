#pragma once

#include "hotkey.h"
#include "macroevent.h"

#include <cstdint>
#include <string>

namespace loopwren {

// The short English texts the interface shows; the same in every interface language.
std::string keyName(std::uint16_t keyCode);
std::string eventDescription(const MacroEvent& event);
std::string displayText(const Hotkey& hotkey);

} // namespace loopwren
