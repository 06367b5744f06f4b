// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <memory>

class FileTableModel;
class QLabel;
class QPushButton;
class QTableView;
class RenamePlan;
class WorkQueue;

// The rename plan in the window: it follows every change of the list or the
// settings, made a moment after the last one; the New Name cells of files
// that cannot be renamed get a warning mark, and a button beside the count
// label says how many there are and selects the first of them.
class PlanMarks : public QObject
{
    Q_OBJECT
public:
    PlanMarks(QTableView *table, QLabel *countLabel, FileTableModel *model, WorkQueue *work);

    QPushButton *button() const { return m_button; }
    // "3 files cannot be renamed", as one text in every language.
    static QString problemsText(qsizetype count);

private:
    void changed();
    void show(std::shared_ptr<const RenamePlan> plan);
    void drop();
    void selectFirstProblem();

    QTableView *m_table;
    FileTableModel *m_model;
    WorkQueue *m_work;
    QPushButton *m_button;
    // The model's signals of a plan being shown or dropped are not changes.
    bool m_showing = false;
};
