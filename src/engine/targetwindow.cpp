#include "targetwindow.h"

#include "mainqueue.h"

#include <QCoreApplication>

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

// LoopWren's own window, by this process or by the names a desktop knows it by (its menu entry's name,
// its X class, its Wayland app id): a macro played into LoopWren itself would only edit the macro, and
// loopwren-cli lists the window's process too.
bool isLoopWren(const RunningApplication& app)
{
    static const QStringList names = {QStringLiteral("LoopWren"),
                                      QStringLiteral("io.github.loopwren.LoopWren")};
    return app.processId == QCoreApplication::applicationPid() || (app.name && names.contains(*app.name));
}

} // namespace

TargetWindow::TargetWindow(Workspace& workspace) : m_workspace(workspace)
{
    m_placements.setMaxThreadCount(1);
}

// A placement still pending uses the workspace, which goes after this unit.
TargetWindow::~TargetWindow() { m_placements.waitForDone(); }

QStringList TargetWindow::runningApplicationNames()
{
    QStringList names;
    for (const RunningApplication& app : m_workspace.runningApplications()) {
        if (app.name && !names.contains(*app.name) && !isLoopWren(app))
            names.append(*app.name);
    }
    std::stable_sort(names.begin(), names.end(), scalarLess);
    return names;
}

void TargetWindow::focus(const QString& name, const std::optional<WindowFrame>& frame)
{
    const std::vector<RunningApplication> apps = m_workspace.runningApplications();
    const auto target = std::find_if(apps.begin(), apps.end(),
                                     [&](const RunningApplication& app) { return app.name == name; });
    if (target == apps.end())
        return;
    m_workspace.activate(*target);
    if (!frame)
        return;
    Workspace* workspace = &m_workspace;
    mainqueue::runInBackgroundAfter(
        placementDelay, this, m_placements,
        [workspace, app = *target, frame = *frame] { workspace->placeFirstWindow(app, frame); });
}

} // namespace loopwren
