#pragma once

#include "dialogs.h"

#include <QEventLoop>
#include <QQueue>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <optional>

namespace loopwren {

// Answers the dialogs from queued answers and writes a readable line for each one shown. With nothing
// queued a message dialog is dismissed (-1) and a file dialog cancelled.
class FakeDialogs : public Dialogs
{
public:
    int runMessageDialog(const MessageDialog& a) override
    {
        open("message dialog: " + a.message + " | " + a.informativeText + " | " + a.buttons.join(", "));
        return messageAnswers.isEmpty() ? -1 : messageAnswers.dequeue();
    }
    std::optional<QString> runSaveFileDialog(const SaveFileDialog& p) override
    {
        open("save file dialog: " + p.title + " | " + p.message + " | " + p.proposedName);
        return fileAnswers.isEmpty() ? std::nullopt : fileAnswers.dequeue();
    }
    std::optional<QString> runOpenFileDialog(const OpenFileDialog& p) override
    {
        open("open file dialog: " + p.title + " | " + p.message);
        return fileAnswers.isEmpty() ? std::nullopt : fileAnswers.dequeue();
    }

    std::optional<QString> runTextInput(const TextInput& t) override
    {
        open("text input: " + t.title + " | " + t.label + " | " + t.proposed);
        return textAnswers.isEmpty() ? std::nullopt : textAnswers.dequeue();
    }
    std::optional<MacroSchedule> runScheduleDialog(const ScheduleDialog& d) override
    {
        open("schedule: " + d.title + " | " + d.kinds.join(", "));
        return scheduleAnswers.isEmpty() ? std::nullopt : scheduleAnswers.dequeue();
    }

    QQueue<int> messageAnswers;
    QQueue<std::optional<QString>> textAnswers;
    QQueue<std::optional<MacroSchedule>> scheduleAnswers;
    QQueue<std::optional<QString>> fileAnswers;
    QStringList shown;
    // When set, runs while the dialog is open inside a nested event loop, as Qt's own dialogs run one.
    std::function<void()> whileOpen;

private:
    void open(const QString& line)
    {
        shown.append(line);
        if (!whileOpen)
            return;
        QEventLoop loop;
        QTimer::singleShot(0, &loop, [&] {
            whileOpen();
            loop.quit();
        });
        loop.exec();
    }
};

} // namespace loopwren
