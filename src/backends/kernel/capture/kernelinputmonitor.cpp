#include "kernelinputmonitor.h"

#include "desktopclicksettings.h"
#include "logindsession.h"

namespace loopwren {

KernelInputMonitor::KernelInputMonitor(std::shared_ptr<PointerPositionSource> positions)
    : KernelInputMonitor(std::move(positions), desktopClickSettings())
{
}

KernelInputMonitor::KernelInputMonitor(std::shared_ptr<PointerPositionSource> positions, ClickSettings clicks)
    : m_positions(std::move(positions)), m_clicks(clicks), m_context(std::make_unique<QObject>())
{
}

KernelInputMonitor::~KernelInputMonitor()
{
    // The capture thread goes first; the delivery then discards any drain it queued.
    stopCapture();
}

std::optional<InputMonitor::Token> KernelInputMonitor::watch(InputKinds kinds, Handler handler)
{
    if (!handler || !ensureCapture())
        return std::nullopt;
    const Token token = m_delivery.add(kinds, std::move(handler));
    m_session->setMotionWanted(m_delivery.wants(InputKind::pointerMoved));
    return token;
}

void KernelInputMonitor::stopWatching(Token token)
{
    if (m_delivery.remove(token) && m_delivery.isEmpty())
        stopCapture();
    else if (m_session)
        m_session->setMotionWanted(m_delivery.wants(InputKind::pointerMoved));
}

void KernelInputMonitor::finishWatching(Token token)
{
    // The capture can be ended to collect its tail only when no other watch still depends on it;
    // otherwise what has arrived so far is what there is.
    if (m_delivery.isOnly(token) && m_session)
        m_session->finish();
    m_delivery.drain();
    stopWatching(token);
}

std::vector<InputDeviceAccess> KernelInputMonitor::devices() const
{
    return m_session ? m_session->devices() : KernelCaptureSession::probe();
}

bool KernelInputMonitor::ensureCapture()
{
    if (m_session && m_session->isRunning())
        return true;
    stopCapture();
    if (!m_login) {
        m_login = std::make_unique<LogindSession>();
        // Devices the input service took back when the session went inactive are asked for again
        // when it returns, so that the watches (the hotkeys, say) go on as before.
        QObject::connect(m_login.get(), &LogindSession::becameActive, m_context.get(), [this] {
            if (m_session && !m_session->isRunning() && !m_delivery.isEmpty() && ensureCapture())
                m_session->setMotionWanted(m_delivery.wants(InputKind::pointerMoved));
        });
    }
    m_session = KernelCaptureSession::start(m_clicks, m_positions, [this](std::vector<InputEvent>&& batch) {
        // Read and translated all the same, so that keys held across a switch of sessions stay known.
        if (m_login->isActive())
            m_delivery.receive(std::move(batch));
    }, [this, context = m_context.get()](const std::string& notice) {
        // Queued behind the inputs read before it, on an object that goes with this monitor.
        QMetaObject::invokeMethod(context, [this, text = QString::fromStdString(notice)] {
            if (m_takenBack)
                m_takenBack(text);
        }, Qt::QueuedConnection);
    });
    return m_session != nullptr;
}

void KernelInputMonitor::stopCapture()
{
    m_session.reset();
    m_delivery.discard();
}

} // namespace loopwren
