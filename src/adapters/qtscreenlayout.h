#pragma once

#include "screenlayout.h"

namespace loopwren {

// The screens of the running Qt GUI application in logical pixels, its primary screen marked; empty
// without a GUI application.
ScreenLayout qtScreenLayout();

} // namespace loopwren
