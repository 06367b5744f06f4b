#include "app/planscheduler.h"

#include "files/filelist.h"
#include "model/filetablemodel.h"
#include "rules/namecomposer.h"

#include <thread>

PlanScheduler::PlanScheduler(const FileList *list, const FileTableModel *model, QObject *parent)
    : QObject(parent), m_list(list), m_model(model), m_channel(std::make_shared<Channel>())
{
    m_channel->receiver = this;
    m_timer.setSingleShot(true);
    m_timer.setInterval(DelayMs);
    connect(&m_timer, &QTimer::timeout, this, &PlanScheduler::start);
}

PlanScheduler::~PlanScheduler()
{
    if (m_cancel)
        m_cancel->store(true);
    // A worker still running finds nobody to hand its plan to.
    std::lock_guard lock(m_channel->mutex);
    m_channel->receiver = nullptr;
}

void PlanScheduler::schedule()
{
    ++m_generation;
    if (m_cancel)
        m_cancel->store(true);
    m_cancel.reset();
    m_timer.start();
}

void PlanScheduler::cancel()
{
    schedule();
    m_timer.stop();
}

void PlanScheduler::scheduleNow()
{
    schedule();
    m_timer.stop();
    start();
}

void PlanScheduler::start()
{
    // The list and the settings as they are now; the worker touches neither.
    auto files = std::make_shared<std::vector<RenamePlan::File>>(
        RenamePlan::filesOf(*m_list, m_model->composer().settings().counterPerFolder));
    const NameComposer composer = m_model->composer();
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    m_cancel = cancel;
    std::thread([files, composer, cancel, channel = m_channel, generation = m_generation] {
        auto plan = std::make_shared<const RenamePlan>(RenamePlan::make(
            *files,
            [&composer](const RuleFile &file, qint64 row) {
                return composer.newNameForFile(file, row);
            },
            cancel.get()));
        if (cancel->load() || !plan->isComplete())
            return;
        std::lock_guard lock(channel->mutex);
        if (PlanScheduler *receiver = channel->receiver) {
            QMetaObject::invokeMethod(
                receiver, [receiver, generation, plan] { receiver->deliver(generation, plan); },
                Qt::QueuedConnection);
        }
    }).detach();
}

void PlanScheduler::deliver(quint64 generation, std::shared_ptr<const RenamePlan> plan)
{
    if (generation == m_generation)
        emit planReady(std::move(plan));
}
