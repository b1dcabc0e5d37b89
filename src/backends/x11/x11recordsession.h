#pragma once

#include "flushpacer.h"
#include "inputclock.h"
#include "inputtranslator.h"
#include "wakepipe.h"
#include "x11connection.h"

#include <X11/Xlib.h>
#include <X11/extensions/record.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace loopwren {

// One RECORD capture of the core device events (KeyPress..MotionNotify) of every client.
//
// RECORD needs two connections: the data connection is given over to the enabled context and
// receives the intercepted events; the control connection creates, disables and frees the context.
// The data connection is read on a capture thread that sleeps in poll() on it and on a wake pipe,
// so destruction interrupts it at once instead of waiting for the next input.
class X11RecordSession
{
public:
    // Called on the capture thread with the inputs read in one go, in server order.
    using Sink = std::function<void(std::vector<InputEvent>&& batch)>;

    // nullptr when the display cannot be opened or offers no RECORD.
    static std::unique_ptr<X11RecordSession> start(const std::string& displayName, ClickSettings clicks,
                                                   Sink sink);

    // Stops the capture thread and releases the context; no sink call happens after this returns.
    ~X11RecordSession();
    X11RecordSession(const X11RecordSession&) = delete;
    X11RecordSession& operator=(const X11RecordSession&) = delete;

    // False once the connection broke or the context was ended from elsewhere.
    bool isRunning() const { return m_running.load(std::memory_order_acquire); }

    // Ends the capture once everything the server recorded before this call has gone to the sink:
    // the server answers a disabled context with the input it still holds, then with an end of data.
    // A server that does not answer within patience loses that tail rather than hang the caller.
    void finish(std::chrono::milliseconds patience);

private:
    X11RecordSession(std::unique_ptr<X11Connection> control, std::unique_ptr<X11Connection> data,
                     ScreenOrigin origin, ClickSettings clicks, Sink sink);

    bool enable();
    void seedHeldState();
    void run();
    void deliverBatch();
    void intercepted(XRecordInterceptData* data);
    static void onIntercept(XPointer closure, XRecordInterceptData* data);

    std::unique_ptr<X11Connection> m_control;
    std::unique_ptr<X11Connection> m_data;
    XRecordContext m_context = 0;
    bool m_enabled = false;
    // Touched only by whichever thread owns the data connection: the creating thread until the
    // capture thread starts, the capture thread until it is joined, then the destroying thread.
    bool m_capturing = false;
    bool m_ended = false;
    InputTranslator m_translator;
    InputClock m_clock;
    std::vector<InputEvent> m_batch;
    Sink m_sink;
    WakePipe m_wake;
    std::unique_ptr<FlushPacer> m_pacer;
    std::atomic<bool> m_running{false};
    std::jthread m_thread;
};

} // namespace loopwren
