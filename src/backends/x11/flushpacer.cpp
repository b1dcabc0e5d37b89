#include "flushpacer.h"

#include "x11connection.h"

#include <X11/Xlib.h>
#include <algorithm>

namespace loopwren {

std::unique_ptr<FlushPacer> FlushPacer::start(const std::string& displayName,
                                              std::chrono::microseconds period)
{
    auto connection = X11Connection::open(displayName);
    if (!connection)
        return nullptr;
    std::unique_ptr<FlushPacer> pacer(new FlushPacer(std::move(connection)));
    pacer->m_thread = std::jthread([connection = pacer->m_connection.get(), period](std::stop_token stop) {
        auto next = std::chrono::steady_clock::now();
        while (!stop.stop_requested() && !connection->isBroken()) {
            XSync(connection->display(), False);
            // After a stall the pace starts again from now rather than catching up in a burst.
            next = std::max(next + period, std::chrono::steady_clock::now());
            std::this_thread::sleep_until(next);
        }
    });
    return pacer;
}

FlushPacer::FlushPacer(std::unique_ptr<X11Connection> connection) : m_connection(std::move(connection)) {}

FlushPacer::~FlushPacer()
{
    m_thread.request_stop();
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace loopwren
