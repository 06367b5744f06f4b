// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/sheets.h"

#include <QCoreApplication>
#include <QPushButton>

namespace Sheets {

QMessageBox *make(QWidget *window, QMessageBox::Icon icon, const QString &text,
                  const QString &informative, const QString &detailed)
{
    auto *sheet = new QMessageBox(icon, window->windowTitle(), text, QMessageBox::NoButton, window);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->setWindowModality(Qt::WindowModal);
    sheet->setInformativeText(informative);
    if (!detailed.isEmpty())
        sheet->setDetailedText(detailed);
    return sheet;
}

void open(QMessageBox *sheet)
{
    if (sheet->buttons().isEmpty())
        sheet->setStandardButtons(QMessageBox::Ok);
    sheet->open();
}

QMessageBox *alert(QWidget *window, const QString &text)
{
    auto *alert = new QMessageBox(QMessageBox::Warning, QStringLiteral("Velnor"), text,
                                  QMessageBox::Ok, window);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    // show(), not open(): open() would make it window-modal.
    alert->setWindowModality(Qt::ApplicationModal);
    alert->show();
    return alert;
}

QMessageBox *withoutUndo(QWidget *window, const QString &reason, QPushButton **withoutUndo)
{
    QMessageBox *alert =
        make(window, QMessageBox::Warning,
             QCoreApplication::translate("VLNWindow", "The rename could not be prepared for undo."),
             QCoreApplication::translate(
                 "VLNWindow",
                 "%1\n\nNo file has been renamed. Without undo, this rename cannot be taken back.")
                 .arg(reason));
    *withoutUndo = alert->addButton(
        QCoreApplication::translate("VLNWindow", "Rename &Without Undo"), QMessageBox::AcceptRole);
    QPushButton *cancel = alert->addButton(QMessageBox::Cancel);
    alert->setDefaultButton(cancel);
    alert->setEscapeButton(cancel);
    return alert;
}

} // namespace Sheets
