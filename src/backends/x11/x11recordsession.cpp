#include "x11recordsession.h"

#include "primarymonitor.h"
#include "serverstate.h"

#include <X11/Xproto.h>

#include <poll.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace loopwren {

namespace {
// Recorded input reaches us at most this long after it happened (see FlushPacer).
constexpr std::chrono::microseconds kFlushPeriod{500};
} // namespace

namespace {

void logLine(const char* text)
{
    std::printf("LoopWren X11: %s\n", text);
    std::fflush(stdout);
}

} // namespace

std::unique_ptr<X11RecordSession> X11RecordSession::start(const std::string& displayName,
                                                          ClickSettings clicks, Sink sink)
{
    auto control = X11Connection::open(displayName);
    auto data = control ? X11Connection::open(displayName) : nullptr;
    if (!control || !data)
        return nullptr;
    int major = 0;
    int minor = 0;
    if (!XRecordQueryVersion(control->display(), &major, &minor)) {
        logLine("the X server offers no RECORD extension; input cannot be watched");
        return nullptr;
    }
    const ScreenOrigin origin = PrimaryMonitor::query(control->display());
    std::unique_ptr<X11RecordSession> session(
        new X11RecordSession(std::move(control), std::move(data), origin, clicks, std::move(sink)));
    if (!session->m_wake.isValid() || !session->enable())
        return nullptr;
    session->m_thread = std::jthread([raw = session.get()] { raw->run(); });
    session->m_pacer = FlushPacer::start(displayName, kFlushPeriod);
    return session;
}

X11RecordSession::X11RecordSession(std::unique_ptr<X11Connection> control,
                                   std::unique_ptr<X11Connection> data, ScreenOrigin origin,
                                   ClickSettings clicks, Sink sink)
    : m_control(std::move(control)), m_data(std::move(data)), m_translator(origin, clicks),
      m_sink(std::move(sink))
{
}

X11RecordSession::~X11RecordSession()
{
    m_wake.wake();
    if (m_thread.joinable())
        m_thread.join();
    // Whatever the final round trips below still read is dropped, not delivered.
    m_capturing = false;
    if (m_context) {
        Display* control = m_control->display();
        if (m_enabled)
            XRecordDisableContext(control, m_context);
        XRecordFreeContext(control, m_context);
        XSync(control, False);
    }
    // The data connection closes first: it is the one the context was enabled on.
    m_data.reset();
    m_control.reset();
}

void X11RecordSession::finish(std::chrono::milliseconds patience)
{
    if (!m_enabled || !m_thread.joinable())
        return;
    XRecordDisableContext(m_control->display(), m_context);
    XFlush(m_control->display());
    m_enabled = false;
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (isRunning() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    m_wake.wake();
    m_thread.join();
}

bool X11RecordSession::enable()
{
    const std::unique_ptr<XRecordRange, decltype(&XFree)> range(XRecordAllocRange(), &XFree);
    if (!range)
        return false;
    range->device_events.first = KeyPress;
    range->device_events.last = MotionNotify;
    XRecordClientSpec clients = XRecordAllClients;
    XRecordRange* ranges[] = {range.get()};
    Display* control = m_control->display();
    m_context = XRecordCreateContext(control, 0, &clients, 1, ranges, 1);
    if (!m_context)
        return false;
    // The context must exist on the server before the other connection names it.
    XSync(control, False);
    if (m_control->isBroken())
        return false;

    m_capturing = true;
    // Returns once the server has started recording (its first reply is awaited), so state queried
    // after this is not older than the first recorded event.
    if (!XRecordEnableContextAsync(m_data->display(), m_context, &X11RecordSession::onIntercept,
                                   reinterpret_cast<XPointer>(this))) {
        logLine("the X server refused to start recording input");
        return false;
    }
    m_enabled = true;
    seedHeldState();
    m_running.store(true, std::memory_order_release);
    return true;
}

void X11RecordSession::seedHeldState()
{
    // A server lost here seeds nothing: the recording ends before anything would be translated.
    const auto keys = queryHeldKeycodes(*m_control);
    const auto pointer = queryPointer(*m_control);
    if (keys && pointer)
        m_translator.seed(*keys, pointer->heldButtons(), pointer->capsLock());
}

void X11RecordSession::run()
{
    Display* display = m_data->display();
    const int fd = ConnectionNumber(display);
    for (;;) {
        // Handles what Xlib has already read as well as what is waiting on the socket.
        XRecordProcessReplies(display);
        deliverBatch();
        if (m_data->isBroken() || m_ended)
            break;
        pollfd fds[2] = {{fd, POLLIN, 0}, {m_wake.readEnd(), POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            logLine("waiting for recorded input failed; recording ends");
            break;
        }
        if (fds[1].revents != 0)
            break;
        if ((fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            // Let Xlib read what is left and notice the hang-up itself; never spin on a dead socket.
            XRecordProcessReplies(display);
            deliverBatch();
            if (!m_data->isBroken())
                logLine("the recording connection was closed; recording ends");
            break;
        }
    }
    m_running.store(false, std::memory_order_release);
}

void X11RecordSession::deliverBatch()
{
    if (m_batch.empty())
        return;
    std::vector<InputEvent> batch;
    batch.swap(m_batch);
    m_sink(std::move(batch));
}

void X11RecordSession::onIntercept(XPointer closure, XRecordInterceptData* data)
{
    reinterpret_cast<X11RecordSession*>(closure)->intercepted(data);
}

// Runs inside Xlib with the data connection locked: no Xlib call on it from here.
void X11RecordSession::intercepted(XRecordInterceptData* data)
{
    const auto readAt = std::chrono::steady_clock::now();
    if (data->category == XRecordEndOfData) {
        m_ended = true;
    } else if (data->category == XRecordFromServer && m_capturing && data->data &&
               static_cast<std::size_t>(data->data_len) * 4 >= sizeof(xEvent)) {
        xEvent wire;
        std::memcpy(&wire, data->data, sizeof wire);
        RawDeviceEvent raw;
        raw.type = wire.u.u.type & 0x7f; // the top bit only says the event was sent by a client
        raw.detail = wire.u.u.detail;
        raw.rootX = wire.u.keyButtonPointer.rootX;
        raw.rootY = wire.u.keyButtonPointer.rootY;
        raw.serverTime = static_cast<std::uint32_t>(wire.u.keyButtonPointer.time);
        raw.readAt = m_clock.stamp(raw.serverTime, readAt);
        if (auto event = m_translator.translate(raw))
            m_batch.push_back(*event);
    }
    XRecordFreeData(data);
}

} // namespace loopwren
