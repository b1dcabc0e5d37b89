#include "qtdialogs.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QSpinBox>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace loopwren {
namespace {

const QString kJsonFilter = QStringLiteral("JSON (*.json)");

// Widgets cannot take a QWindow as their parent; the transient parent keeps the dialog over the window.
void placeOver(QWidget& dialog, QWindow* window)
{
    dialog.setWindowModality(Qt::ApplicationModal);
    if (!window)
        return;
    dialog.winId();
    if (QWindow* handle = dialog.windowHandle())
        handle->setTransientParent(window);
}

} // namespace

int QtDialogs::runMessageDialog(const MessageDialog& request)
{
    QMessageBox box;
    box.setIcon(QMessageBox::Warning);
    box.setText(request.message);
    box.setInformativeText(request.informativeText);
    QList<QAbstractButton*> buttons;
    for (const QString& title : request.buttons) {
        // Roles only decide the placement; the answer is the button's position in the list.
        const auto role = buttons.isEmpty()                 ? QMessageBox::AcceptRole
                          : title == request.buttons.last() ? QMessageBox::RejectRole
                                                            : QMessageBox::DestructiveRole;
        buttons.append(box.addButton(title, role));
    }
    if (!buttons.isEmpty())
        box.setDefaultButton(qobject_cast<QPushButton*>(buttons.first()));
    placeOver(box, m_window);
    box.exec();
    return static_cast<int>(buttons.indexOf(box.clickedButton()));
}

std::optional<QString> QtDialogs::runSaveFileDialog(const SaveFileDialog& request)
{
    QFileDialog dialog(nullptr, request.title, QDir::homePath(), kJsonFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("json"));
    dialog.selectFile(request.proposedName);
    // QFileDialog has no place for a message line; the title carries the purpose.
    placeOver(dialog, m_window);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> QtDialogs::runOpenFileDialog(const OpenFileDialog& request)
{
    QFileDialog dialog(nullptr, request.title, QDir::homePath(), kJsonFilter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    placeOver(dialog, m_window);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> QtDialogs::runTextInput(const TextInput& input)
{
    QInputDialog dialog;
    dialog.setWindowTitle(input.title);
    dialog.setLabelText(input.label);
    dialog.setTextValue(input.proposed);
    placeOver(dialog, m_window);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

std::optional<MacroSchedule> QtDialogs::runScheduleDialog(const ScheduleDialog& d)
{
    QDialog dialog;
    dialog.setWindowTitle(d.title);
    auto* form = new QFormLayout(&dialog);
    auto* kind = new QComboBox;
    kind->addItems(d.kinds);
    kind->setCurrentIndex(static_cast<int>(d.current.kind));
    form->addRow(kind);
    auto* at = new QDateTimeEdit(d.current.at.isValid() ? d.current.at : QDateTime::currentDateTime().addSecs(3600));
    at->setCalendarPopup(true);
    at->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm"));
    form->addRow(at);
    auto* time = new QTimeEdit(d.current.time.isValid() ? d.current.time : QTime(9, 0));
    time->setDisplayFormat(QStringLiteral("HH:mm"));
    form->addRow(time);
    auto* days = new QWidget;
    auto* dayRow = new QHBoxLayout(days);
    dayRow->setContentsMargins(0, 0, 0, 0);
    QList<QCheckBox*> dayBoxes;
    const std::uint8_t weekdays = d.current.weekdays ? d.current.weekdays : 0x7F;
    for (int day = 0; day < d.weekdays.size(); ++day) {
        dayBoxes << new QCheckBox(d.weekdays[day]);
        dayBoxes.last()->setChecked(weekdays & (1u << day));
        dayRow->addWidget(dayBoxes.last());
    }
    form->addRow(days);
    auto* every = new QSpinBox;
    every->setRange(1, 24 * 60 * 7);
    every->setValue(d.current.everyMinutes > 0 ? d.current.everyMinutes : 60);
    form->addRow(d.everyLabel, every);
    auto* buttons = new QDialogButtonBox;
    buttons->addButton(d.okText, QDialogButtonBox::AcceptRole);
    buttons->addButton(d.cancelText, QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    // Only the fields of the chosen kind are offered.
    const auto follow = [=] {
        const auto chosen = static_cast<MacroSchedule::Kind>(kind->currentIndex());
        at->setVisible(chosen == MacroSchedule::Kind::once);
        time->setVisible(chosen == MacroSchedule::Kind::daily);
        days->setVisible(chosen == MacroSchedule::Kind::daily);
        every->setVisible(chosen == MacroSchedule::Kind::interval);
        if (QWidget* label = form->labelForField(every))
            label->setVisible(chosen == MacroSchedule::Kind::interval);
    };
    QObject::connect(kind, &QComboBox::currentIndexChanged, &dialog, follow);
    follow();
    placeOver(dialog, m_window);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    MacroSchedule schedule;
    schedule.kind = static_cast<MacroSchedule::Kind>(kind->currentIndex());
    if (schedule.kind == MacroSchedule::Kind::once)
        schedule.at = at->dateTime();
    if (schedule.kind == MacroSchedule::Kind::daily) {
        schedule.time = time->time();
        for (int day = 0; day < dayBoxes.size(); ++day)
            schedule.weekdays |= dayBoxes[day]->isChecked() ? (1u << day) : 0u;
    }
    if (schedule.kind == MacroSchedule::Kind::interval)
        schedule.everyMinutes = every->value();
    return schedule;
}

} // namespace loopwren
