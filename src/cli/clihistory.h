// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rename/runhistory.h"

#include <QString>

#include <thread>

class CliArgs;

// The history of runs on the command line: --history, --undo and --redo, and
// the note about a run that was interrupted.
class CliHistory
{
public:
    // --history: the runs, newest first, as lines or one JSON object.
    static int list(bool json);
    // --undo or --redo of args.runId, or of the run in question when empty.
    static int undo(const CliArgs &args);

    // One line on standard error when the newest run of the history never
    // ended, with the command that takes it back; nothing otherwise. Not
    // when `except` is that run, as an undo of it says enough.
    static void noteInterrupted(const RunHistory::Listing &listing,
                                const QString &except = QString());
    // The same before a run, from the newest journal alone: reading the
    // whole history (up to 100 MiB) would hold up a run of one file. That
    // journal may hold a million records itself, so it is read on a thread
    // of its own from the moment the command starts, while the files are
    // listed; note() waits for it and says what is to say. The thread only
    // reads, and this process writes no journal before note() returns.
    class LastRun
    {
    public:
        LastRun();
        ~LastRun();
        LastRun(const LastRun &) = delete;
        LastRun &operator=(const LastRun &) = delete;
        void note();

    private:
        QString m_path; // the newest journal, or empty
        RunSummary m_run;
        bool m_read = false;
        std::thread m_reader;
    };

    // "complete", "interrupted", ...: one word, for the column of --history.
    static QString stateText(RunJournal::State state);
    // 12,345: the digits of a count in groups of three.
    static QString grouped(qsizetype count);
};
