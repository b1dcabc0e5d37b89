#pragma once

#include "waylanddesktop.h"

namespace loopwren {

// Hyprland, through the request socket of the instance $HYPRLAND_INSTANCE_SIGNATURE names: windows,
// and the pointer's position, asked at each click and move ("cursorpos"): Hyprland tells no one of
// pointer motion as it happens, so the position is the one when LoopWren asks, a fraction of a
// millisecond after libinput delivered the input.
class HyprlandDesktop : public WaylandDesktop
{
public:
    // The Hyprland of this session, or nullptr when none is named or it does not answer.
    static std::unique_ptr<HyprlandDesktop> connect();

    QString name() const override { return QStringLiteral("Hyprland"); }
    QString pointerProblem() const override { return {}; }
    PointerArea absolutePointerArea() const override { return PointerArea::boundingBox; }
    std::unique_ptr<Workspace> workspace(QPoint primaryOrigin) override;
    std::shared_ptr<PointerPositionSource> pointerPositions(QPoint primaryOrigin) override;

private:
    explicit HyprlandDesktop(QString socketPath) : m_socketPath(std::move(socketPath)) {}

    QString m_socketPath;
};

} // namespace loopwren
