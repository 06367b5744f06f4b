// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "meta/metareader.h"

#include <QObject>

#include <memory>
#include <vector>

class FactsJob;
class FileTableModel;
class JobBar;
class WorkQueue;
class ZQFile;

// The facts of the listed files (date taken, tag values, birth time) for
// the settings that need them, read in the background by a FactsJob and
// handed to the records batch by batch on the GUI thread; the bottom bar
// shows "Reading metadata 1,234 of 10,000" with Cancel. A keystroke never
// reads: the reading starts where the plan would, a moment after the last
// change, and the plan waits until every file has what its name needs. Rows
// still waiting show that they wait (FileTableModel::PendingRole).
//
// The records' facts always cover what was asked last: when the settings
// ask for more (another key), every record's facts are dropped and read
// again, the reader's cache giving back at once what it already holds. Facts
// are only set while no job reads the list: a run, an undo or a listing
// stops the reading, which starts again after them for the files left.
class FactsReading : public QObject
{
    Q_OBJECT
public:
    FactsReading(FileTableModel *model, WorkQueue *work, JobBar *bar, QObject *parent = nullptr);
    ~FactsReading() override;

    bool isReading() const { return bool(m_job); }
    // Start Renaming while names wait for facts: they are read (again, if
    // the reading was cancelled) and startAsked follows once every file has
    // them. True when the run waits.
    bool deferRunUntilRead();
    // The bar's Cancel: the reading stops; the files not read keep waiting
    // until Start or a change of the list or settings asks again.
    void cancel();
    const MetaReader &reader() const { return *m_reader; }

signals:
    void startAsked();

private:
    // Asked before each plan: true while facts are missing (and being read).
    bool gate();
    bool start();
    void takeRead();
    void jobEnded();
    void listWillChange();

    FileTableModel *m_model;
    WorkQueue *m_work;
    JobBar *m_bar;
    std::unique_ptr<MetaReader> m_reader;
    std::unique_ptr<FactsJob> m_job;
    // The record of each path the job reads; dropped before any record goes.
    std::vector<ZQFile *> m_files;
    // What the records' facts were read for.
    MetaReader::Request m_covered;
    bool m_allRead = false;
    bool m_cancelled = false;
    bool m_startWhenRead = false;
};
