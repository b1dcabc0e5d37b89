#pragma once

#include <cstdint>
#include <memory>

struct xcb_connection_t;

namespace loopwren {

// Another client competing for key combinations: grabs them on the root window over an xcb connection
// of its own; disconnecting on destruction releases them.
class KeyGrabber
{
public:
    static std::unique_ptr<KeyGrabber> connect();
    ~KeyGrabber();
    KeyGrabber(const KeyGrabber&) = delete;
    KeyGrabber& operator=(const KeyGrabber&) = delete;

    // True when the server granted the grab.
    bool grab(std::uint8_t keycode, std::uint16_t modifiers);

private:
    KeyGrabber(xcb_connection_t* connection, std::uint32_t root) : m_connection(connection), m_root(root) {}

    xcb_connection_t* m_connection;
    std::uint32_t m_root;
};

} // namespace loopwren
