#pragma once

#include <QRasterWindow>

// A plain Wayland window for the KWin tests, run in a process of its own (the test binary started with
// --window APP-ID): it prints "active" or "inactive" as the keyboard focus comes and goes, so a test
// sees focus as the application does, not as KWin reports it.
class KWinTestWindow : public QRasterWindow
{
public:
    KWinTestWindow();

    // Runs the window until KWin or the test ends it.
    static int run(int argc, char* argv[], const QString& appId);

protected:
    void paintEvent(QPaintEvent* event) override;
};
