// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/runconfirmation.h"

#include "app/sheets.h"
#include "app/workqueue.h"
#include "files/counttext.h"
#include "model/filetablemodel.h"
#include "plan/renameplan.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {

// Enough to tell what is wrong without a sheet taller than the screen; the
// problems button selects the rest.
constexpr int reasonsShown = 3;

} // namespace

RunConfirmation::RunConfirmation(QWidget *window, FileTableModel *model, WorkQueue *work)
    : QObject(window), m_window(window), m_model(model), m_work(work)
{
    connect(m_work, &WorkQueue::planReady, this, [this](std::shared_ptr<const RenamePlan> plan) {
        if (std::exchange(m_waiting, false))
            decide(*plan);
    });
}

QString RunConfirmation::question(qsizetype problems, qsizetype total)
{
    return CountText::numerus(
               "RunConfirmation",
               QT_TRANSLATE_N_NOOP("RunConfirmation",
                                   "%n of %1 files cannot be renamed. Rename the other %2?"),
               problems, "%n of %1 files cannot be renamed. Rename the other %2?",
               "%n of %1 files cannot be renamed. Rename the other %2?")
        .arg(CountText::number(total), CountText::number(total - problems));
}

void RunConfirmation::confirm(std::function<void()> go)
{
    if (isAsking())
        return;
    m_go = std::move(go);
    const RenamePlan *plan = m_model->plan();
    if (plan && plan->isComplete()) {
        decide(*plan);
        return;
    }
    // The plan of the last change is on its way; the run waits for it.
    m_waiting = true;
    if (!m_work->isPlanPending())
        m_work->schedulePlan();
}

void RunConfirmation::decide(const RenamePlan &plan)
{
    if (plan.problems() == 0) {
        std::exchange(m_go, nullptr)();
        return;
    }
    const qsizetype total = plan.count();
    const qsizetype others = total - plan.problems();
    if (others == 0) {
        m_go = nullptr;
        QMessageBox *sheet = Sheets::make(
            m_window, QMessageBox::Warning,
            CountText::numerus(
                "RunConfirmation",
                QT_TRANSLATE_N_NOOP("RunConfirmation", "None of the %n file(s) can be renamed."),
                total, "The file cannot be renamed.", "None of the %n files can be renamed."),
            firstReasons(plan));
        m_sheet = sheet;
        Sheets::open(sheet);
        return;
    }
    QMessageBox *sheet = Sheets::make(m_window, QMessageBox::Warning,
                                      question(plan.problems(), total), firstReasons(plan));
    QPushButton *rename = sheet->addButton(
        CountText::numerus("RunConfirmation",
                           QT_TRANSLATE_N_NOOP("RunConfirmation", "Rename %n File(s)"), others,
                           "Rename %n File", "Rename %n Files"),
        QMessageBox::AcceptRole);
    QPushButton *cancel = sheet->addButton(QMessageBox::Cancel);
    sheet->setDefaultButton(cancel);
    sheet->setEscapeButton(cancel);
    // Drops made while the question is open wait for the answer: the run
    // renames the list the question counted.
    m_work->setHeld(true);
    connect(sheet, &QMessageBox::finished, this, [this, sheet, rename] {
        auto go = std::exchange(m_go, nullptr);
        // The run first: what was dropped meanwhile then waits behind it.
        if (sheet->clickedButton() == rename && go)
            go();
        m_work->setHeld(false);
    });
    m_sheet = sheet;
    Sheets::open(sheet);
}

// "“a.txt”: reason", one line each, for the first few files that cannot be
// renamed.
QString RunConfirmation::firstReasons(const RenamePlan &plan) const
{
    QStringList lines;
    for (qsizetype row = plan.firstProblem(); row >= 0 && row < plan.count(); ++row) {
        const RenamePlan::Row &r = plan.row(row);
        if (r.status != RenamePlan::Status::Refused && r.status != RenamePlan::Status::Conflict)
            continue;
        if (lines.size() == reasonsShown) {
            lines << tr("…");
            break;
        }
        const QString name =
            m_model->data(m_model->index(int(row), FileTableModel::OldNameColumn)).toString();
        lines << tr("“%1”: %2").arg(name, r.reason);
    }
    return lines.join(u'\n');
}

void RunConfirmation::askToRenameWithoutUndo(const QString &reason,
                                             std::function<void()> goWithoutUndo)
{
    QPushButton *withoutUndo = nullptr;
    QMessageBox *alert = Sheets::withoutUndo(m_window, reason, &withoutUndo);
    // Drops made while the alert is open wait for the answer.
    m_work->setHeld(true);
    connect(alert, &QMessageBox::finished, this,
            [this, alert, withoutUndo, go = std::move(goWithoutUndo)] {
                m_journalAlert = nullptr;
                m_work->setHeld(false);
                if (alert->clickedButton() == withoutUndo)
                    go();
            });
    m_journalAlert = alert;
    Sheets::open(alert);
}
