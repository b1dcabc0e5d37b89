#pragma once

#include "waylanddesktop.h"

namespace loopwren {

// GNOME Shell, through the extension LoopWren ships (its package installs it; the user enables it
// once): the pointer's position, pushed at each move, and the windows.
class GnomeDesktop : public WaylandDesktop
{
public:
    // The GNOME Shell on the session bus, or nullptr when the Shell does not answer there. Without the
    // extension it still names the Shell, to tell the user how to enable the extension, but offers
    // neither windows nor positions.
    static std::unique_ptr<GnomeDesktop> connect();

    QString name() const override { return QStringLiteral("GNOME Shell"); }
    QString pointerProblem() const override;
    bool placesWindows() const override { return m_extension; }
    // The extension brings the windows as it brings the pointer: the same remedy.
    QString windowsProblem() const override { return pointerProblem(); }
    // The stage's size.
    PointerArea absolutePointerArea() const override { return PointerArea::fromOrigin; }
    std::unique_ptr<Workspace> workspace(QPoint primaryOrigin) override;
    std::shared_ptr<PointerPositionSource> pointerPositions(QPoint primaryOrigin) override;

private:
    GnomeDesktop(QString busAddress, bool extension)
        : m_busAddress(std::move(busAddress)), m_extension(extension)
    {
    }

    QString m_busAddress;
    bool m_extension;
};

} // namespace loopwren
