#include "qtdialogs.h"

#include <QAbstractButton>
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

int QtDialogs::runAlert(const Alert& alert)
{
    QMessageBox box;
    box.setIcon(QMessageBox::Warning);
    box.setText(alert.message);
    box.setInformativeText(alert.informativeText);
    QList<QAbstractButton*> buttons;
    for (const QString& title : alert.buttons) {
        // Roles only decide the placement; the answer is the button's position in the list.
        const auto role = buttons.isEmpty()               ? QMessageBox::AcceptRole
                          : title == alert.buttons.last() ? QMessageBox::RejectRole
                                                          : QMessageBox::DestructiveRole;
        buttons.append(box.addButton(title, role));
    }
    if (!buttons.isEmpty())
        box.setDefaultButton(qobject_cast<QPushButton*>(buttons.first()));
    placeOver(box, m_window);
    box.exec();
    return static_cast<int>(buttons.indexOf(box.clickedButton()));
}

std::optional<QString> QtDialogs::runSavePanel(const SavePanel& panel)
{
    QFileDialog dialog(nullptr, panel.title, QDir::homePath(), kJsonFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("json"));
    dialog.selectFile(panel.proposedName);
    // QFileDialog has no place for a message line; the title carries the purpose.
    placeOver(dialog, m_window);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> QtDialogs::runOpenPanel(const OpenPanel& panel)
{
    QFileDialog dialog(nullptr, panel.title, QDir::homePath(), kJsonFilter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    placeOver(dialog, m_window);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

} // namespace loopwren
