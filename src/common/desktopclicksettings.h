#pragma once

#include "clickcounter.h"

namespace loopwren {

// The double-click rules of the desktop (QStyleHints) when a QGuiApplication exists, else
// ClickSettings' defaults: every capture counts clicks the way the user's toolkits do.
ClickSettings desktopClickSettings();

} // namespace loopwren
