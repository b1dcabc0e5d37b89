#include "kwintestwindow.h"

#include <QGuiApplication>
#include <QPainter>

#include <cstdio>

KWinTestWindow::KWinTestWindow()
{
    resize(400, 300);
    connect(this, &QWindow::activeChanged, this, [this] {
        std::printf("%s\n", isActive() ? "active" : "inactive");
        std::fflush(stdout);
    });
}

void KWinTestWindow::paintEvent(QPaintEvent*) { QPainter(this).fillRect(QRect(QPoint(), size()), Qt::red); }

int KWinTestWindow::run(int argc, char* argv[], const QString& appId)
{
    QGuiApplication application(argc, argv);
    // The Wayland app id, by which LoopWren finds the desktop entry.
    QGuiApplication::setDesktopFileName(appId);
    KWinTestWindow window;
    window.show();
    return QGuiApplication::exec();
}
