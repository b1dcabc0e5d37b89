#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <thread>

namespace loopwren {

class X11Connection;

// Keeps the X server flushing its output. The server passes recorded input on to the recording
// client only when it flushes output for some client, which on a quiet desktop can be many
// milliseconds later; a steady trickle of tiny round trips on a connection of our own makes it flush
// at least every period, so the capture reads each input almost as it happens.
class FlushPacer
{
public:
    // nullptr when the display cannot be opened.
    static std::unique_ptr<FlushPacer> start(const std::string& displayName,
                                             std::chrono::microseconds period);
    ~FlushPacer();

private:
    explicit FlushPacer(std::unique_ptr<X11Connection> connection);

    std::unique_ptr<X11Connection> m_connection;
    std::jthread m_thread; // last: stopped before the connection goes
};

} // namespace loopwren
