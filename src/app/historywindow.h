// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rename/runhistory.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTreeWidget;

// The Rename History window: the kept runs, newest first, with their time,
// folder, file count and state. The selected run can be undone when it has
// not been taken back yet, and done again when it has. It only asks: the
// undo control runs the job and hands the history back when it changes.
class HistoryWindow : public QDialog
{
    Q_OBJECT
public:
    explicit HistoryWindow(QWidget *parent = nullptr);

    void setHistory(const RunHistory::Listing &history);
    // An undo is going on: no other may start meanwhile.
    void setBusy(bool busy);

    QTreeWidget *runList() const { return m_runs; }
    QPushButton *undoButton() const { return m_undo; }
    QPushButton *redoButton() const { return m_redo; }

    // The words the State column uses.
    static QString stateText(RunJournal::State state);

signals:
    void undoRequested(const QString &journalPath);
    void redoRequested(const QString &journalPath);

private:
    void updateButtons();
    void requestSelected(bool redo);

    QTreeWidget *m_runs;
    QLabel *m_unreadable;
    QPushButton *m_undo;
    QPushButton *m_redo;
    QPushButton *m_close;
    bool m_busy = false;
};
