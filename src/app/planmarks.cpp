// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/planmarks.h"

#include "app/elidedtext.h"
#include "app/problemmarkdelegate.h"
#include "app/workqueue.h"
#include "files/counttext.h"
#include "model/filetablemodel.h"
#include "plan/renameplan.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTableView>

#include <functional>

PlanMarks::PlanMarks(QTableView *table, QLabel *countLabel, FileTableModel *model, WorkQueue *work)
    : QObject(table), m_table(table), m_model(model), m_work(work)
{
    table->setItemDelegateForColumn(FileTableModel::NewNameColumn, new ProblemMarkDelegate(table));
    m_button = new ElidedButton(countLabel->parentWidget());
    m_button->setObjectName(QStringLiteral("problemsButton"));
    m_button->setFlat(true);
    m_button->setCursor(Qt::PointingHandCursor);
    m_button->setStyleSheet(QStringLiteral("QPushButton { color: #b35c00; }"));
    m_button->setIcon(table->style()->standardIcon(QStyle::SP_MessageBoxWarning));
    m_button->hide();
    // Right after the count label, in whichever row of the layout holds it.
    std::function<QBoxLayout *(QLayout *)> rowOf = [&](QLayout *layout) -> QBoxLayout * {
        if (!layout)
            return nullptr;
        auto *box = qobject_cast<QBoxLayout *>(layout);
        if (box && box->indexOf(countLabel) >= 0)
            return box;
        for (int i = 0; i < layout->count(); ++i) {
            if (QBoxLayout *found = rowOf(layout->itemAt(i)->layout()))
                return found;
        }
        return nullptr;
    };
    if (QBoxLayout *row = rowOf(countLabel->parentWidget()->layout()))
        row->insertWidget(row->indexOf(countLabel) + 1, m_button);
    connect(m_button, &QPushButton::clicked, this, &PlanMarks::selectFirstProblem);
    connect(work, &WorkQueue::planReady, this, &PlanMarks::show);
    // Any change of the list or the settings makes the plan shown out of
    // date; while a listing runs, the next plan waits for its end.
    connect(model, &QAbstractItemModel::modelReset, this, &PlanMarks::changed);
    connect(model, &QAbstractItemModel::layoutChanged, this, &PlanMarks::changed);
    connect(model, &QAbstractItemModel::dataChanged, this, &PlanMarks::changed);
    connect(model, &QAbstractItemModel::rowsInserted, this, &PlanMarks::changed);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &PlanMarks::changed);
}

QString PlanMarks::problemsText(qsizetype count)
{
    return CountText::numerus("PlanMarks",
                              QT_TRANSLATE_N_NOOP("PlanMarks", "%n file(s) cannot be renamed"),
                              count, "%n file cannot be renamed", "%n files cannot be renamed");
}

void PlanMarks::changed()
{
    if (m_showing)
        return;
    drop();
    m_work->schedulePlan();
}

void PlanMarks::drop()
{
    m_work->retirePlan(m_model->sharedPlan());
    m_showing = true;
    m_model->setPlan(nullptr);
    m_showing = false;
    m_button->hide();
}

void PlanMarks::show(std::shared_ptr<const RenamePlan> plan)
{
    const qsizetype problems = plan->problems();
    m_work->retirePlan(m_model->sharedPlan());
    m_showing = true;
    m_model->setPlan(std::move(plan));
    m_showing = false;
    m_button->setText(problemsText(problems));
    // Whole, where a narrow window shortens it.
    m_button->setToolTip(m_button->text());
    m_button->setVisible(problems > 0);
}

void PlanMarks::selectFirstProblem()
{
    const RenamePlan *plan = m_model->plan();
    if (!plan || plan->firstProblem() < 0)
        return;
    const QModelIndex first =
        m_model->index(int(plan->firstProblem()), FileTableModel::NewNameColumn);
    m_table->selectionModel()->select(first, QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
    m_table->scrollTo(first);
    m_table->setFocus();
}
