#pragma once

#include "x11connection.h"

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace loopwren::x11test {

struct Rect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect&) const = default;
    friend std::ostream& operator<<(std::ostream& out, const Rect& rect)
    {
        return out << rect.width << "x" << rect.height << "+" << rect.x << "+" << rect.y;
    }
};

// Another client of the X server, as the tests and benchmarks see it: what they set up and what they
// read back goes over a connection of its own with plain Xlib, never through the X11 layer's
// window-manager client, so that a fault there cannot hide itself behind the test that looks for it.
class X11TestClient
{
public:
    // An empty name means $DISPLAY. Closing the connection on destruction takes its windows and grabs.
    explicit X11TestClient(const std::string& display = {});
    bool isOpen() const { return m_connection != nullptr; }
    X11Connection& connection() { return *m_connection; }
    Display* display() const { return m_connection->display(); }
    unsigned long root() const;
    unsigned long atom(const char* name) const;

    // The format-32 values of a property of window (0: the root), once the server has handled
    // everything asked of it so far, e.g. _NET_CURRENT_DESKTOP.
    std::vector<unsigned long> values(const char* property, unsigned long window = 0);
    std::optional<unsigned long> value(const char* property, unsigned long window = 0);
    unsigned long activeWindow() { return value("_NET_ACTIVE_WINDOW").value_or(0); }
    unsigned long inputFocus();
    // In root coordinates: the client window, and its frame (the client widened by _NET_FRAME_EXTENTS).
    std::optional<Rect> clientRect(unsigned long window);
    std::optional<Rect> frameRect(unsigned long window);
    bool isMaximized(unsigned long window);
    bool isIconic(unsigned long window) { return value("WM_STATE", window) == 3; } // ICCCM's IconicState
    // A client message to the root about window (0: the root itself), as EWMH has pagers send them.
    void request(const char* type, std::vector<long> data, unsigned long window = 0);

    // The core modifier and button state.
    unsigned pointerMask();
    // What the server holds down: empty when nothing, else e.g. " key 50 button 1".
    std::string heldInput();
    // The keyboard map's keycode for a keysym name, e.g. "k".
    unsigned keycode(const char* keysymName);
    // A passive grab of a key combination on the root, as an application holding it as its shortcut;
    // true when the server granted it.
    bool grabKey(unsigned keycode, unsigned modifiers);

private:
    std::unique_ptr<X11Connection> m_connection;
};

} // namespace loopwren::x11test
