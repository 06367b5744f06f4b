// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMessageBox>

// The one way the window shows a message: a box that goes away (and is
// deleted) when answered, opened without an event loop of its own so that
// nothing runs inside it that does not expect to; its answer comes back
// through its finished signal. A sheet holds up its window only, an alert
// the whole application.
namespace Sheets {

// A sheet over `window`, titled as the window is, with OK unless buttons
// are added before it is opened.
QMessageBox *make(QWidget *window, QMessageBox::Icon icon, const QString &text,
                  const QString &informative = {}, const QString &detailed = {});
// Opens a box made by make().
void open(QMessageBox *sheet);
// An alert with the single button OK, shown at once.
QMessageBox *alert(QWidget *window, const QString &text);

// Nothing has moved: a run stopped before its first move, since it could not
// write down how to take the moves back (`reason`). The alert asks whether to
// rename without undo; *withoutUndo is the button that says so. Not opened yet.
QMessageBox *withoutUndo(QWidget *window, const QString &reason, QPushButton **withoutUndo);

} // namespace Sheets
