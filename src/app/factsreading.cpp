// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/factsreading.h"

#include "app/jobbar.h"
#include "app/workqueue.h"
#include "files/filelist.h"
#include "files/zqfile.h"
#include "jobs/factsjob.h"
#include "model/filetablemodel.h"

FactsReading::FactsReading(FileTableModel *model, WorkQueue *work, JobBar *bar, QObject *parent)
    : QObject(parent), m_model(model), m_work(work), m_bar(bar),
      m_reader(std::make_unique<MetaReader>())
{
    work->setFactsGate([this] { return gate(); });
    // Records may go: the job's hand-over no longer knows them.
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, &FactsReading::listWillChange);
    connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this, &FactsReading::listWillChange);
    connect(model, &QAbstractItemModel::rowsInserted, this, [this] {
        m_allRead = false;
        m_cancelled = false;
    });
}

FactsReading::~FactsReading()
{
    m_work->setFactsGate({});
}

bool FactsReading::gate()
{
    const NameComposer &composer = m_model->composer();
    if (!composer.readsFacts())
        return false;
    const MetaReader::Request wanted = MetaReader::requestFor(composer);
    if (!m_covered.covers(wanted)) {
        // The names need what was not read: the gate is asked with no job
        // reading the list, so the records may change here.
        m_job.reset();
        m_files.clear();
        for (const auto &file : m_model->list()->contentsArray())
            file->setFacts(nullptr);
        m_covered = wanted;
        m_allRead = false;
        m_cancelled = false;
        m_model->reloadData();
    }
    if (m_allRead)
        return false;
    if (m_job)
        return true;
    if (m_cancelled && !m_startWhenRead)
        return false;
    return start();
}

bool FactsReading::start()
{
    std::vector<QByteArray> paths;
    m_files.clear();
    for (const auto &file : m_model->list()->contentsArray()) {
        if (!file->facts()) {
            m_files.push_back(file.get());
            paths.push_back(file->nativePath());
        }
    }
    if (m_files.empty()) {
        m_allRead = true;
        if (std::exchange(m_startWhenRead, false))
            emit startAsked();
        return false;
    }
    const auto total = qsizetype(paths.size());
    m_job = std::make_unique<FactsJob>(*m_reader, std::move(paths), m_covered);
    connect(m_job.get(), &Job::progressed, this, &FactsReading::takeRead);
    connect(m_job.get(), &Job::finished, this, &FactsReading::jobEnded);
    m_bar->showFacts(0, total);
    m_job->start();
    return true;
}

void FactsReading::takeRead()
{
    if (!m_job)
        return;
    // A listing, a run or an undo has the list (and the bar) now; what is
    // left is read after it.
    if (m_work->isBusy()) {
        m_job->cancel();
        m_files.clear();
        return;
    }
    const std::vector<FactsJob::Read> read = m_job->takeRead();
    if (!read.empty() && !m_files.empty()) {
        // The plan's worker may read the records: it lets go first.
        m_work->cancelPlan();
        for (const FactsJob::Read &one : read)
            m_files[one.index]->setFacts(one.facts);
        m_model->reloadData();
    }
    if (m_job->isRunning() && !m_job->isCancelled())
        m_bar->showFacts(m_job->done(), m_job->total());
}

void FactsReading::jobEnded()
{
    takeRead();
    // Deleted later: this runs inside the job's own signal.
    m_job.release()->deleteLater();
    m_files.clear();
    if (!m_work->isBusy())
        m_bar->showIdle();
    m_allRead = true;
    for (const auto &file : m_model->list()->contentsArray()) {
        if (!file->facts()) {
            m_allRead = false;
            break;
        }
    }
    if (m_allRead && std::exchange(m_startWhenRead, false))
        emit startAsked();
    // The plan follows, with what was read.
    m_work->schedulePlan();
}

void FactsReading::listWillChange()
{
    m_allRead = false;
    if (!m_job)
        return;
    m_job->cancel();
    m_files.clear();
}

bool FactsReading::deferRunUntilRead()
{
    if (!m_model->composer().readsFacts())
        return false;
    if (!m_job) {
        // Asked again, also after a Cancel: the run needs every name.
        m_work->cancelPlan();
        m_cancelled = false;
        gate();
    }
    if (!m_job)
        return false;
    m_startWhenRead = true;
    return true;
}

void FactsReading::cancel()
{
    m_startWhenRead = false;
    if (!m_job)
        return;
    m_cancelled = true;
    m_job->cancel();
}
