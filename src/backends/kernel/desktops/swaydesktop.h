#pragma once

#include "waylanddesktop.h"

namespace loopwren {

// sway, through the IPC socket it names in $SWAYSOCK: windows, but no pointer position (its IPC has
// no way to ask for one).
class SwayDesktop : public WaylandDesktop
{
public:
    // The sway of this session, or nullptr when $SWAYSOCK is unset or does not answer.
    static std::unique_ptr<SwayDesktop> connect();

    QString name() const override { return QStringLiteral("sway"); }
    QString pointerProblem() const override;
    PointerArea absolutePointerArea() const override { return PointerArea::boundingBox; }
    std::unique_ptr<Workspace> workspace(QPoint primaryOrigin) override;
    std::shared_ptr<PointerPositionSource> pointerPositions(QPoint) override { return nullptr; }

private:
    explicit SwayDesktop(QString socketPath) : m_socketPath(std::move(socketPath)) {}

    QString m_socketPath;
};

} // namespace loopwren
