#include "fakedialogs.h"

namespace loopwren {

int FakeDialogs::runAlert(const Alert& alert)
{
    shown.append(QStringLiteral("alert: %1 | %2 | %3")
                     .arg(alert.message, alert.informativeText, alert.buttons.join(QStringLiteral(", "))));
    return alertAnswers.isEmpty() ? -1 : alertAnswers.dequeue();
}

std::optional<QString> FakeDialogs::runSavePanel(const SavePanel& panel)
{
    shown.append(
        QStringLiteral("save panel: %1 | %2 | %3").arg(panel.title, panel.message, panel.proposedName));
    return panelAnswers.isEmpty() ? std::nullopt : panelAnswers.dequeue();
}

std::optional<QString> FakeDialogs::runOpenPanel(const OpenPanel& panel)
{
    shown.append(QStringLiteral("open panel: %1 | %2").arg(panel.title, panel.message));
    return panelAnswers.isEmpty() ? std::nullopt : panelAnswers.dequeue();
}

} // namespace loopwren
