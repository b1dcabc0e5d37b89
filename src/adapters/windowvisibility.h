#pragma once

#include "ownwindow.h"

#include <QPointer>
#include <QWindow>

namespace loopwren {

// This application's main window as the engine hides and shows it (while recording or playing, when so
// set): hiding minimises it, showing restores, raises and activates it. Where the window system cannot
// bring a minimised window back, it does neither.
class WindowVisibility : public OwnWindow
{
public:
    explicit WindowVisibility(bool restoresMinimized) : m_restoresMinimized(restoresMinimized) {}

    void setWindow(QWindow* window) { m_window = window; }
    QWindow* window() const { return m_window; }

    bool canHide() const override { return m_restoresMinimized; }
    void hide() override;
    void show() override;

private:
    QPointer<QWindow> m_window;
    bool m_restoresMinimized;
};

} // namespace loopwren
