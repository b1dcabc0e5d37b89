#include "gnomedesktop.h"

#include "gnomepointertracker.h"
#include "gnomeshellbus.h"
#include "gnomeworkspace.h"

namespace loopwren {

std::unique_ptr<GnomeDesktop> GnomeDesktop::connect()
{
    const QString address = GnomeShellBus::sessionAddress();
    if (address.isEmpty())
        return nullptr;
    const GnomeShellBus bus(address);
    if (!bus.isConnected() || !bus.answers(QStringLiteral("org.gnome.Shell")))
        return nullptr;
    const bool extension = bus.answers(QLatin1String(GnomeShellBus::kService));
    return std::unique_ptr<GnomeDesktop>(new GnomeDesktop(address, extension));
}

QString GnomeDesktop::pointerProblem() const
{
    if (m_extension)
        return QString();
    return QStringLiteral("LoopWren's GNOME Shell extension is not enabled: run `gnome-extensions enable %1` "
                          "and log in again")
        .arg(QLatin1String(GnomeShellBus::kUuid));
}

std::unique_ptr<Workspace> GnomeDesktop::workspace(QPoint primaryOrigin)
{
    if (!m_extension)
        return nullptr;
    return std::make_unique<GnomeWorkspace>(m_busAddress, primaryOrigin);
}

std::shared_ptr<PointerPositionSource> GnomeDesktop::pointerPositions(QPoint primaryOrigin)
{
    if (!m_extension)
        return nullptr;
    return std::make_shared<GnomePointerTracker>(m_busAddress, primaryOrigin);
}

} // namespace loopwren
