#include "windowvisibility.h"

namespace loopwren {

void WindowVisibility::hide()
{
    if (m_window && m_restoresMinimized)
        m_window->showMinimized();
}

void WindowVisibility::show()
{
    if (!m_window || !m_restoresMinimized)
        return;
    m_window->setWindowStates(m_window->windowStates() & ~Qt::WindowMinimized);
    m_window->show();
    m_window->raise();
    m_window->requestActivate();
}

} // namespace loopwren
