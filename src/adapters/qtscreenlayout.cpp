#include "qtscreenlayout.h"

#include <QGuiApplication>
#include <QScreen>

namespace loopwren {

ScreenLayout qtScreenLayout()
{
    ScreenLayout layout;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return layout;
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (QScreen* screen : screens) {
        const QRect geometry = screen->geometry();
        if (screen == QGuiApplication::primaryScreen())
            layout.primary = layout.outputs.size();
        layout.outputs.push_back({double(geometry.x()), double(geometry.y()), double(geometry.width()),
                                  double(geometry.height())});
    }
    return layout;
}

} // namespace loopwren
