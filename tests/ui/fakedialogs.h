#pragma once

#include "dialogs.h"

#include <QQueue>
#include <QStringList>

namespace loopwren {

// Answers the panels and alerts from queued answers and writes a readable line for each one shown.
// With nothing queued an alert is dismissed (-1) and a panel cancelled.
class FakeDialogs : public Dialogs
{
public:
    int runAlert(const Alert& alert) override;
    std::optional<QString> runSavePanel(const SavePanel& panel) override;
    std::optional<QString> runOpenPanel(const OpenPanel& panel) override;

    QQueue<int> alertAnswers;
    QQueue<std::optional<QString>> panelAnswers;
    QStringList shown;
};

} // namespace loopwren
