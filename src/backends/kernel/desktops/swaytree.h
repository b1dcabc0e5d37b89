#pragma once

#include <QJsonObject>
#include <QRect>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace loopwren {

// A window as sway's layout tree describes it.
struct SwayWindow
{
    std::int64_t id = 0; // the container's id, which sway's [con_id=…] criteria name
    std::int64_t processId = 0;
    QString appId;             // a Wayland window's
    QString instance, wmClass; // an X11 window's (through Xwayland)
    bool floating = false;
    bool focused = false;
    // The window's outer frame in layout coordinates: the container with its borders and title bar.
    QRect frame;
    // The part the application draws, in layout coordinates.
    QRect content;
};

// The windows of one GET_TREE reply, in tree order: each output, each workspace (the scratchpad's
// included), each container depth first, a workspace's tiled windows before its floating ones.
class SwayTree
{
public:
    explicit SwayTree(const QJsonObject& root);

    const std::vector<SwayWindow>& windows() const { return m_windows; }
    std::optional<SwayWindow> window(std::int64_t id) const;

private:
    void collect(const QJsonObject& node, bool floating);

    std::vector<SwayWindow> m_windows;
};

} // namespace loopwren
