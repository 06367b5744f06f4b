// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QAction;
class QKeySequence;
class QWidget;
class ZQFile;

namespace Ui {
class VLNWindow;
}

// The window's keyboard and context menu beyond what its layout connects:
// Ctrl+L to the name template, Ctrl+Return (and Enter on the keypad) to
// start, the table's context menu (Show, Remove, Copy New Name, Reset New
// Name), Paste New Names, and the list's actions resting while the list is
// empty or the tutorial covers the window.
class WindowActions : public QObject
{
    Q_OBJECT
public:
    WindowActions(Ui::VLNWindow *ui, QObject *parent);

    // The button's tooltip ends with the keys that do the same, in the
    // user's language.
    static void showShortcut(QWidget *button, const QKeySequence &keys);

    // The new names of the selected rows, top to bottom, one a line, to the
    // clipboard.
    void copyNewNames();
    void goToNameTemplate();
    // The clipboard's lines become the new names of the selected rows, top
    // to bottom (of every row when none is selected); when the counts
    // differ, nothing changes and a sheet says so.
    void pasteNewNames();
    // The selected rows take the rules' names again.
    void resetNewNames();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showContextMenu(const QPoint &position);
    // The list's actions and buttons rest while the list is empty or the
    // tutorial covers it.
    void updateListActions();
    QList<ZQFile *> selectedFiles() const;

    Ui::VLNWindow *m_ui;
    // Held apart from the window: the tutorial's events still arrive while
    // the window is being taken down, when it can no longer be asked.
    QPointer<QWidget> m_tutorial;
    QList<QPointer<QAction>> m_listActions;
    QList<QPointer<QWidget>> m_listButtons;
};
