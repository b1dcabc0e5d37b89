#pragma once

#include "x11connection.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace loopwren {

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

// The tests' own view of top-level windows, read on a connection of its own with plain Xlib rather
// than through the code under test, and the window-manager requests tests use to set a scene up.
class WindowInspector
{
public:
    static std::unique_ptr<WindowInspector> open(const std::string& displayName = {});

    std::vector<unsigned long> clientList();
    unsigned long activeWindow();
    unsigned long inputFocus();
    // The client window's area in root coordinates.
    std::optional<Rect> clientRect(unsigned long window);
    // The frame's outer area in root coordinates: the client's widened by _NET_FRAME_EXTENTS.
    std::optional<Rect> frameRect(unsigned long window);
    bool hasFrameExtents(unsigned long window);
    bool isMaximized(unsigned long window);
    bool isIconic(unsigned long window);
    std::optional<std::uint32_t> currentDesktop();
    std::optional<std::uint32_t> desktopCount();
    std::optional<std::uint32_t> desktopOf(unsigned long window);

    void requestMaximize(unsigned long window);
    void requestIconify(unsigned long window);
    void requestDesktopCount(std::uint32_t count);
    void requestCurrentDesktop(std::uint32_t desktop);
    void requestWindowDesktop(unsigned long window, std::uint32_t desktop);
    void requestActivation(unsigned long window);

private:
    explicit WindowInspector(std::unique_ptr<X11Connection> connection) : m_connection(std::move(connection))
    {
    }
    std::vector<unsigned long> property(unsigned long window, const char* name, unsigned long type);
    std::optional<std::uint32_t> cardinal(unsigned long window, const char* name);
    void sendToRoot(unsigned long window, const char* messageType, long l0, long l1 = 0, long l2 = 0,
                    long l3 = 0);

    std::unique_ptr<X11Connection> m_connection;
};

} // namespace loopwren
