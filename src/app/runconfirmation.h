// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class FileTableModel;
class QMessageBox;
class QWidget;
class RenamePlan;
class WorkQueue;

// Start Renaming never leaves a folder half renamed by surprise: when the
// plan marks files that cannot be renamed, a sheet asks first whether to
// rename the others. The plan of the list as it stands is waited for if it
// is still being made.
class RunConfirmation : public QObject
{
    Q_OBJECT
public:
    RunConfirmation(QWidget *window, FileTableModel *model, WorkQueue *work);

    // Calls `go` at once when every listed file can be renamed, after the
    // user agrees when some cannot, and never when none can or the user
    // cancels.
    void confirm(std::function<void()> go);
    // After a run that stopped before its first move, since it could not
    // write down how to take the moves back: asks whether to rename without
    // undo, and calls `goWithoutUndo` if so.
    void askToRenameWithoutUndo(const QString &reason, std::function<void()> goWithoutUndo);

    // Waiting for the plan or for an answer.
    bool isAsking() const { return m_waiting || m_sheet || m_journalAlert; }
    QMessageBox *sheet() const { return m_sheet; }
    QMessageBox *journalAlert() const { return m_journalAlert; }

    // "3 of 13 files cannot be renamed. Rename the other 10?"
    static QString question(qsizetype problems, qsizetype total);

private:
    void decide(const RenamePlan &plan);
    QString firstReasons(const RenamePlan &plan) const;

    QWidget *m_window;
    FileTableModel *m_model;
    WorkQueue *m_work;
    std::function<void()> m_go;
    bool m_waiting = false;
    QPointer<QMessageBox> m_sheet;
    QPointer<QMessageBox> m_journalAlert;
};
