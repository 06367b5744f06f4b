#pragma once

#include "plan/renameplan.h"

#include <QObject>
#include <QTimer>

#include <atomic>
#include <memory>
#include <mutex>

class FileList;
class FileTableModel;

// Makes the rename plan of the window's list again, on a thread of its own,
// a short moment after the last change: typing stays as quick as before and
// the plan follows. A newer change cancels the plan of an older one, and only
// the plan of the latest change is handed over.
class PlanScheduler : public QObject
{
    Q_OBJECT
public:
    // How long after the last change the plan is made.
    static constexpr int DelayMs = 150;

    PlanScheduler(const FileList *list, const FileTableModel *model, QObject *parent = nullptr);
    ~PlanScheduler() override;

    // Something changed: the plan in the making is out of date.
    void schedule();
    // Makes the plan now, without waiting for the moment to pass.
    void scheduleNow();
    // No plan until the next schedule: the one waiting or in the making is
    // dropped, and its worker stops.
    void cancel();

signals:
    // The plan of the list and settings as they were at the latest change.
    void planReady(std::shared_ptr<const RenamePlan> plan);

private:
    // What a worker needs to reach this object, if it still exists.
    struct Channel
    {
        std::mutex mutex;
        PlanScheduler *receiver = nullptr;
    };
    void start();
    void deliver(quint64 generation, std::shared_ptr<const RenamePlan> plan);

    const FileList *m_list;
    const FileTableModel *m_model;
    QTimer m_timer;
    quint64 m_generation = 0;
    std::shared_ptr<std::atomic<bool>> m_cancel;
    std::shared_ptr<Channel> m_channel;
};
