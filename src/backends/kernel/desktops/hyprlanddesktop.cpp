#include "hyprlanddesktop.h"

#include "hyprlandipc.h"
#include "hyprlandworkspace.h"

#include <QJsonObject>

namespace loopwren {
namespace {

// The capture thread waits for the answer: a Hyprland that takes longer is busy, and the input goes
// without a position rather than hold up the rest.
constexpr std::chrono::milliseconds kPositionTimeout{250};

class HyprlandPointer : public PointerPositionSource
{
public:
    HyprlandPointer(QString socketPath, QPoint origin) : m_socketPath(std::move(socketPath)), m_origin(origin)
    {
    }

    std::optional<Point> pointerPosition() override
    {
        HyprlandIpc ipc(m_socketPath, kPositionTimeout);
        const std::optional<QJsonDocument> reply = ipc.query(QStringLiteral("cursorpos"));
        const QJsonObject position = reply ? reply->object() : QJsonObject();
        const QJsonValue x = position.value(QStringLiteral("x"));
        const QJsonValue y = position.value(QStringLiteral("y"));
        if (!x.isDouble() || !y.isDouble())
            return std::nullopt;
        return Point{x.toDouble() - m_origin.x(), y.toDouble() - m_origin.y()};
    }

private:
    QString m_socketPath;
    QPoint m_origin;
};

} // namespace

std::unique_ptr<HyprlandDesktop> HyprlandDesktop::connect()
{
    const QString socketPath = HyprlandIpc::sessionSocket();
    if (socketPath.isEmpty() || !HyprlandIpc(socketPath).query(QStringLiteral("version")))
        return nullptr;
    return std::unique_ptr<HyprlandDesktop>(new HyprlandDesktop(socketPath));
}

std::unique_ptr<Workspace> HyprlandDesktop::workspace(QPoint primaryOrigin)
{
    return std::make_unique<HyprlandWorkspace>(m_socketPath, primaryOrigin);
}

std::shared_ptr<PointerPositionSource> HyprlandDesktop::pointerPositions(QPoint primaryOrigin)
{
    return std::make_shared<HyprlandPointer>(m_socketPath, primaryOrigin);
}

} // namespace loopwren
