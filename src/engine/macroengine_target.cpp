// Accessibility permission, the list of running applications and the target window.
#include "macroengine.h"
#include "mainqueue.h"

#include <algorithm>

namespace loopwren {
namespace {

// Plain string order over Unicode scalar values after canonical composition, case-sensitive:
// UTF-16 code unit order would misplace characters beyond the basic plane.
bool scalarLess(const QString& a, const QString& b)
{
    const QList<uint> left = a.normalized(QString::NormalizationForm_C).toUcs4();
    const QList<uint> right = b.normalized(QString::NormalizationForm_C).toUcs4();
    return std::lexicographical_compare(left.begin(), left.end(), right.begin(), right.end());
}

} // namespace

void MacroEngine::checkAccessibility()
{
    const bool granted = m_services.accessibility->isTrusted();
    mainqueue::post(this, [this, granted] { setIsAccessibilityGranted(granted); });
}

void MacroEngine::requestAccessibility()
{
    m_services.accessibility->requestTrust();
    mainqueue::postAfter(std::chrono::seconds(1), this, [this] { checkAccessibility(); });
}

void MacroEngine::refreshRunningApps()
{
    QStringList names;
    for (const RunningApplication& app : m_services.workspace->runningApplications()) {
        if (app.policy == RunningApplication::Policy::regular && app.name && !names.contains(*app.name))
            names.append(*app.name);
    }
    std::stable_sort(names.begin(), names.end(), scalarLess);

    mainqueue::post(this, [this, names] {
        setRunningApps(names);
        if (!m_targetAppName.isEmpty() || names.isEmpty())
            return;
        for (const QString& preferred : {QStringLiteral("Google Chrome"), QStringLiteral("Safari")}) {
            if (names.contains(preferred)) {
                setTargetAppName(preferred);
                return;
            }
        }
        setTargetAppName(names.first());
    });
}

void MacroEngine::focusTargetApp()
{
    if (m_targetAppName.isEmpty())
        return;
    const std::vector<RunningApplication> apps = m_services.workspace->runningApplications();
    const auto target = std::find_if(
        apps.begin(), apps.end(), [&](const RunningApplication& app) { return app.name == m_targetAppName; });
    if (target == apps.end())
        return;
    m_services.workspace->activate(*target);
    if (!m_setTargetWindowPosition && !m_setTargetWindowSize)
        return;

    // The frame is fixed now, so the worker never reads settings the main thread may be writing.
    WindowFrame frame;
    if (m_setTargetWindowPosition) {
        frame.x = m_targetWindowX;
        frame.y = m_targetWindowY;
    }
    if (m_setTargetWindowSize) {
        frame.width = m_targetWindowWidth;
        frame.height = m_targetWindowHeight;
    }
    Workspace* workspace = m_services.workspace.get();
    mainqueue::runInBackgroundAfter(std::chrono::milliseconds(100), this, [workspace, app = *target, frame] {
        workspace->placeFirstWindow(app, frame);
    });
}

} // namespace loopwren
