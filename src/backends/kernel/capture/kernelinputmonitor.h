#pragma once

#include "clickcounter.h"
#include "inputdelivery.h"
#include "inputmonitor.h"
#include "kernelcapturesession.h"
#include "pointerpositionsource.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace loopwren {

class LogindSession;

// Watches the user's input through the kernel's input devices with libinput: under Wayland or any
// other session, as long as this process may read /dev/input/event*. Construct, use and destroy it
// on the Qt main thread: handlers run there, from the event loop.
//
// The devices report how far the pointer moved, never where it is, so button and motion inputs carry
// a location only when a PointerPositionSource is given; keys and scrolling need none. Input of
// LoopWren's own replay device is left out, and so is input made while the user's login session is
// not the active one. The inputs carry no window system time.
class KernelInputMonitor : public InputMonitor
{
public:
    // The double-click rules come from QStyleHints when a QGuiApplication exists.
    explicit KernelInputMonitor(std::shared_ptr<PointerPositionSource> positions = nullptr);
    KernelInputMonitor(std::shared_ptr<PointerPositionSource> positions, ClickSettings clicks);
    ~KernelInputMonitor() override;
    KernelInputMonitor(const KernelInputMonitor&) = delete;
    KernelInputMonitor& operator=(const KernelInputMonitor&) = delete;

    std::optional<Token> watch(InputKinds kinds, Handler handler) override;
    void stopWatching(Token token) override;
    void finishWatching(Token token) override;

    // Called on the main thread when LoopWren's input service took the devices back (the session
    // stopped being active, say): the capture has ended, after delivering everything read before.
    void setTakenBackHandler(std::function<void(const QString& notice)> handler)
    {
        m_takenBack = std::move(handler);
    }

    // The input devices and whether this process could open them: those of the running capture, else
    // those found now.
    std::vector<InputDeviceAccess> devices() const;

private:
    bool ensureCapture();
    void stopCapture();

    std::shared_ptr<PointerPositionSource> m_positions;
    ClickSettings m_clicks;
    std::unique_ptr<LogindSession> m_login;
    InputDelivery m_delivery;
    std::function<void(const QString&)> m_takenBack;
    std::unique_ptr<QObject> m_context; // main thread: where the news of a take-back is queued
    std::unique_ptr<KernelCaptureSession> m_session; // last: stopped before the rest goes
};

} // namespace loopwren
