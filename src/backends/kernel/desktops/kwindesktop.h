#pragma once

#include "waylanddesktop.h"

namespace loopwren {

class KWinBridge;

// KDE Plasma's KWin, through scripts LoopWren loads into it over the session bus: windows, and the
// pointer's position pushed by a script that stays loaded while this object lives.
class KWinDesktop : public WaylandDesktop
{
public:
    // The KWin on the session bus, or nullptr when org.kde.KWin does not answer there.
    static std::unique_ptr<KWinDesktop> connect();

    QString name() const override { return QStringLiteral("KWin"); }
    QString pointerProblem() const override { return m_pointerProblem; }
    // The workspace's size.
    PointerArea absolutePointerArea() const override { return PointerArea::fromOrigin; }
    std::unique_ptr<Workspace> workspace(QPoint primaryOrigin) override;
    std::shared_ptr<PointerPositionSource> pointerPositions(QPoint primaryOrigin) override;

private:
    KWinDesktop(std::shared_ptr<KWinBridge> bridge, QString pointerProblem);

    std::shared_ptr<KWinBridge> m_bridge;
    QString m_pointerProblem;
};

} // namespace loopwren
