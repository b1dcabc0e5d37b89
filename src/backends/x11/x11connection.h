#pragma once

#include <atomic>
#include <memory>
#include <string>

// Xlib's display type, declared here so that this header does not pull in Xlib's macros (None,
// Bool, Status, KeyPress, ...), which collide with Qt's names.
struct _XDisplay;
using Display = _XDisplay;

namespace loopwren {

// One private Xlib connection, closed on destruction.
//
// Xlib's default handlers end the process on any protocol error and on a lost connection. Opening a
// connection makes process-wide handlers current that log errors on our connections and let the
// caller carry on; a lost connection is logged and marked broken, so the owner can notice and give
// up on it. Give up it must: Xlib still queues requests on a lost connection, and once its buffer is
// full it hands out null requests that XTEST and others write through. Errors on connections opened by
// others (Qt's) still go to the handlers those installed.
class X11Connection
{
public:
    // nullptr when the display cannot be opened. An empty name means $DISPLAY.
    static std::unique_ptr<X11Connection> open(const std::string& displayName);

    ~X11Connection();
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    Display* display() const { return m_display; }
    bool isBroken() const { return m_broken.load(std::memory_order_acquire); }

    // Called from the I/O error path; public for the handler, not for general use.
    void markBroken() { m_broken.store(true, std::memory_order_release); }

private:
    explicit X11Connection(Display* display);

    Display* m_display;
    std::atomic<bool> m_broken{false};
};

} // namespace loopwren
