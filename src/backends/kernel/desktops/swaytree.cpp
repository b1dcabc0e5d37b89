#include "swaytree.h"

#include <QJsonArray>

namespace loopwren {
namespace {

QRect rectOf(const QJsonValue& value)
{
    const QJsonObject rect = value.toObject();
    return QRect(rect.value(QStringLiteral("x")).toInt(), rect.value(QStringLiteral("y")).toInt(),
                 rect.value(QStringLiteral("width")).toInt(), rect.value(QStringLiteral("height")).toInt());
}

// sway's "rect" of a window leaves out its title bar, which "deco_rect" describes, but relative to the
// window's parent or workspace rather than in layout coordinates; the bar sits right above the rect
// (in a tabbed or stacked container, the bars share the strip above), so only its height is taken.
QRect outerFrame(const QJsonObject& node)
{
    const QRect rect = rectOf(node.value(QStringLiteral("rect")));
    const int titleHeight = rectOf(node.value(QStringLiteral("deco_rect"))).height();
    return rect.adjusted(0, -titleHeight, 0, 0);
}

} // namespace

SwayTree::SwayTree(const QJsonObject& root) { collect(root, false); }

void SwayTree::collect(const QJsonObject& node, bool floating)
{
    const QString appId = node.value(QStringLiteral("app_id")).toString();
    const QJsonObject properties = node.value(QStringLiteral("window_properties")).toObject();
    const QString wmClass = properties.value(QStringLiteral("class")).toString();
    const QString type = node.value(QStringLiteral("type")).toString();
    const bool isContainer = type == QLatin1String("con") || type == QLatin1String("floating_con");
    if (isContainer && (!appId.isEmpty() || !wmClass.isEmpty())) {
        SwayWindow window;
        window.id = node.value(QStringLiteral("id")).toInteger();
        window.processId = node.value(QStringLiteral("pid")).toInteger();
        window.appId = appId;
        window.instance = properties.value(QStringLiteral("instance")).toString();
        window.wmClass = wmClass;
        window.floating = floating || type == QLatin1String("floating_con");
        window.focused = node.value(QStringLiteral("focused")).toBool();
        window.frame = outerFrame(node);
        window.content = rectOf(node.value(QStringLiteral("window_rect")))
                             .translated(rectOf(node.value(QStringLiteral("rect"))).topLeft());
        m_windows.push_back(std::move(window));
    }
    for (const QJsonValue& child : node.value(QStringLiteral("nodes")).toArray())
        collect(child.toObject(), floating);
    for (const QJsonValue& child : node.value(QStringLiteral("floating_nodes")).toArray())
        collect(child.toObject(), true);
}

std::optional<SwayWindow> SwayTree::window(std::int64_t id) const
{
    for (const SwayWindow& candidate : m_windows) {
        if (candidate.id == id)
            return candidate;
    }
    return std::nullopt;
}

} // namespace loopwren
