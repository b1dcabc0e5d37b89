#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace loopwren {

// A modal warning alert: the message, the informative text and the buttons in order, the first being
// the default.
struct Alert
{
    QString message;
    QString informativeText;
    QStringList buttons;
};

struct SavePanel
{
    QString title;
    QString message;
    QString proposedName;
};

struct OpenPanel
{
    QString title;
    QString message;
};

// The modal panels and alerts the window and the quit prompt use. Each call blocks until the user
// answers. Behind an interface so that the decisions taken on the answers are tested with a fake.
class Dialogs
{
public:
    virtual ~Dialogs() = default;

    // The position of the chosen button, or -1 when the alert was dismissed without one.
    virtual int runAlert(const Alert& alert) = 0;
    // A destination for one JSON file, or nothing when the panel was cancelled.
    virtual std::optional<QString> runSavePanel(const SavePanel& panel) = 0;
    // One JSON file to read, or nothing when the panel was cancelled.
    virtual std::optional<QString> runOpenPanel(const OpenPanel& panel) = 0;
};

} // namespace loopwren
