#include "x11connection.h"

#include <X11/Xlib.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <unordered_map>

// Xlib's own protocol-error handler (it prints and exits); compared against, never called.
extern "C" int _XDefaultError(Display* display, XErrorEvent* error);

namespace loopwren {

namespace {

std::mutex g_mutex;
std::unordered_map<Display*, X11Connection*> g_connections;
// The handlers that were current before ours, for connections that are not ours.
std::atomic<XErrorHandler> g_previousErrorHandler{nullptr};
std::atomic<XIOErrorHandler> g_previousIOErrorHandler{nullptr};

X11Connection* findConnection(Display* display)
{
    std::lock_guard lock(g_mutex);
    const auto it = g_connections.find(display);
    return it == g_connections.end() ? nullptr : it->second;
}

// Only the error fields are touched here: calling back into Xlib from its error path can deadlock.
int onProtocolError(Display* display, XErrorEvent* error)
{
    const XErrorHandler previous = g_previousErrorHandler.load();
    if (!findConnection(display) && previous && previous != &_XDefaultError)
        return previous(display, error);
    std::printf("LoopWren X11: protocol error %u on request %u.%u (resource 0x%lx)\n",
                static_cast<unsigned>(error->error_code), static_cast<unsigned>(error->request_code),
                static_cast<unsigned>(error->minor_code), error->resourceid);
    std::fflush(stdout);
    return 0;
}

int onIOError(Display* display)
{
    auto* connection = findConnection(display);
    if (!connection) {
        // Not ours: whoever opened it decides what a lost connection means to them.
        const XIOErrorHandler previous = g_previousIOErrorHandler.load();
        return previous ? previous(display) : 0;
    }
    std::printf("LoopWren X11: connection to %s lost\n", DisplayString(display));
    std::fflush(stdout);
    connection->markBroken();
    return 0;
}

// Xlib calls this after the I/O error handler; its default exits the process. Returning leaves the
// display flagged as dead, which makes later calls on it return without touching the socket.
void onIOErrorExit(Display* /*display*/, void* connection)
{
    static_cast<X11Connection*>(connection)->markBroken();
}

// Xlib's handlers are process-wide and whoever sets them last wins: Qt's xcb plugin, for one, sets
// handlers that end the process. So ours are put back in place whenever one of our connections opens,
// keeping whatever had replaced them as the handler for the connections that are not ours.
void installHandlers()
{
    static std::mutex installMutex;
    std::lock_guard lock(installMutex);
    const XErrorHandler previousError = XSetErrorHandler(&onProtocolError);
    if (previousError != &onProtocolError)
        g_previousErrorHandler = previousError;
    const XIOErrorHandler previousIOError = XSetIOErrorHandler(&onIOError);
    if (previousIOError != &onIOError)
        g_previousIOErrorHandler = previousIOError;
}

} // namespace

std::unique_ptr<X11Connection> X11Connection::open(const std::string& displayName)
{
    installHandlers();
    Display* display = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
    if (!display)
        return nullptr;
    std::unique_ptr<X11Connection> connection(new X11Connection(display));
    XSetIOErrorExitHandler(display, &onIOErrorExit, connection.get());
    {
        std::lock_guard lock(g_mutex);
        g_connections[display] = connection.get();
    }
    return connection;
}

X11Connection::X11Connection(Display* display) : m_display(display) {}

X11Connection::~X11Connection()
{
    // Still registered while closing, so a server that dies during the final round trip is handled as
    // ours. On an already broken connection Xlib skips that round trip.
    Display* const closed = m_display;
    if (isBroken()) {
        // After a lost server Xlib may still count a reader from the thread that hit the loss, and
        // XCloseDisplay would wait for it forever. The socket is closed; the dead display's memory
        // is left behind on purpose.
        ::close(ConnectionNumber(m_display));
    } else {
        XCloseDisplay(m_display);
    }
    std::lock_guard lock(g_mutex);
    // The address may already belong to a display opened meanwhile on another thread.
    const auto it = g_connections.find(closed);
    if (it != g_connections.end() && it->second == this)
        g_connections.erase(it);
}

} // namespace loopwren
