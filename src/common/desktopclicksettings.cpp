#include "desktopclicksettings.h"

#include <QGuiApplication>
#include <QStyleHints>

#include <algorithm>

namespace loopwren {

ClickSettings desktopClickSettings()
{
    ClickSettings settings;
    // qGuiApp is a plain cast of the application object, so a QCoreApplication needs the checked one.
    if (auto* hints = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                          ? QGuiApplication::styleHints()
                          : nullptr) {
        settings.intervalMs = static_cast<std::uint32_t>(std::max(0, hints->mouseDoubleClickInterval()));
        settings.distance = hints->mouseDoubleClickDistance();
    }
    return settings;
}

} // namespace loopwren
