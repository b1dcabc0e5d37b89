#include "activationwitness.h"

#include <QKeyEvent>

namespace loopwren {
namespace {

// The window system's milliseconds, wrapping as the X server's 32-bit time does.
std::uint32_t systemTime(const QInputEvent& event) { return static_cast<std::uint32_t>(event.timestamp()); }

} // namespace

bool ActivationWitness::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        m_lastPress = systemTime(static_cast<QInputEvent&>(*event));
        break;
    case QEvent::MouseButtonRelease:
        m_lastActivation = {{EventType::mouseDown, m_lastPress},
                            {EventType::mouseUp, systemTime(static_cast<QInputEvent&>(*event))}};
        break;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto& key = static_cast<QKeyEvent&>(*event);
        // A held key repeats its press; the first one is the one the capture kept.
        if (key.isAutoRepeat())
            break;
        if (event->type() == QEvent::KeyPress) {
            m_keyPresses[key.key()] = systemTime(key);
        } else {
            const auto pressed = m_keyPresses.find(key.key());
            if (pressed != m_keyPresses.end())
                m_lastActivation = {{EventType::keyDown, pressed->second},
                                    {EventType::keyUp, systemTime(key)}};
        }
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace loopwren
