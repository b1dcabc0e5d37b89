#pragma once

#include "libraryentry.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace loopwren {

// A modal warning message: the message, the informative text and the buttons in order, the first being
// the default.
struct MessageDialog
{
    QString message;
    QString informativeText;
    QStringList buttons;
};

struct SaveFileDialog
{
    QString title;
    QString message;
    QString proposedName;
};

struct OpenFileDialog
{
    QString title;
    QString message;
};

// A line of text to type: the title, the question and the text proposed.
struct TextInput
{
    QString title;
    QString label;
    QString proposed;
};

// When a library macro runs by itself: none, once at a date and time, daily at a time on chosen
// weekdays, every N minutes. The texts are in the interface language.
struct ScheduleDialog
{
    QString title;
    QStringList kinds;    // the four choices, in MacroSchedule::Kind order
    QStringList weekdays; // Monday first
    QString everyLabel;   // before the minutes
    QString okText;
    QString cancelText;
    MacroSchedule current;
};

// The modal dialogs the window and the quit prompt use. Each call blocks until the user
// answers. Behind an interface so that the decisions taken on the answers are tested with a fake.
class Dialogs
{
public:
    virtual ~Dialogs() = default;

    // The position of the chosen button, or -1 when the dialog was dismissed without one.
    virtual int runMessageDialog(const MessageDialog& request) = 0;
    // A destination for one JSON file, or nothing when the dialog was cancelled.
    virtual std::optional<QString> runSaveFileDialog(const SaveFileDialog& request) = 0;
    // One JSON file to read, or nothing when the dialog was cancelled.
    virtual std::optional<QString> runOpenFileDialog(const OpenFileDialog& request) = 0;
    // The typed text, or nothing when the dialog was cancelled.
    virtual std::optional<QString> runTextInput(const TextInput& input) = 0;
    // The chosen schedule, or nothing when the dialog was cancelled.
    virtual std::optional<MacroSchedule> runScheduleDialog(const ScheduleDialog& dialog) = 0;
};

} // namespace loopwren
