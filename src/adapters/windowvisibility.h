#pragma once

#include <QPointer>
#include <QWindow>

namespace loopwren {

// Hides and shows this application's main window for the engine (while recording or playing, when so
// set): hiding minimises it, showing restores, raises and activates it. Kept apart from the rest of the
// workspace so a desktop-specific workspace can hand these two requests on to it.
class WindowVisibility
{
public:
    void setWindow(QWindow* window) { m_window = window; }
    QWindow* window() const { return m_window; }

    void hide();
    void show();

private:
    QPointer<QWindow> m_window;
};

} // namespace loopwren
