// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/clihistory.h"

#include "cli/cliargs.h"
#include "cli/cliformat.h"
#include "cli/clinames.h"
#include "cli/cliprogress.h"
#include "cli/clisignals.h"
#include "jobs/undojob.h"
#include "posix/namecodec.h"
#include "posix/textescape.h"
#include "rename/undorun.h"

#include <QDateTime>
#include <QDir>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

enum ExitStatus
{
    Success = 0,
    SomeFailed = 1,
    BadArguments = 2
};

using CliNames::printError;
using CliNames::printLine;

QString localTime(qint64 msecs)
{
    return QDateTime::fromMSecsSinceEpoch(msecs).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// A path as JSON: its text, and its exact bytes where they are not UTF-8.
void appendPath(QByteArray &out, const char *key, const QByteArray &path)
{
    out += '"';
    out += key;
    out += "\":";
    CliFormat::appendJsonString(out, NameCodec::decode(path));
    if (!NameCodec::isValidUtf8(path)) {
        out += ",\"";
        out += key;
        out += "Bytes\":\"" + path.toBase64() + '"';
    }
}

// An undo or redo that was cut short may be taken up in either direction.
bool mayRedo(RunJournal::State state)
{
    return state == RunJournal::State::Undone || state == RunJournal::State::UndoInterrupted ||
           state == RunJournal::State::PartlyUndone;
}

// The run an --undo or --redo without an ID means: the last one not undone,
// or the last one undone. An undo cut short by Ctrl+C is the one a second
// --undo finishes, not the run before it.
qsizetype runInQuestion(const RunHistory::Listing &listing, bool redo)
{
    // A redo puts back only the undo done last, never an older one.
    if (redo)
        return RunHistory::lastRedoable(listing);
    for (qsizetype i = 0; i < listing.runs.size(); ++i) {
        const RunSummary &run = listing.runs[i];
        // An undo cut short comes first; a run that planned no move is
        // nothing to undo.
        if (run.state == RunJournal::State::UndoInterrupted ||
            (run.state != RunJournal::State::Undone && run.planned > 0))
            return i;
    }
    return -1;
}

void noteUnreadable(const RunHistory::Listing &listing)
{
    for (const auto &[path, reason] : listing.unreadable)
        printError(QStringLiteral("'%1': %2").arg(CliFormat::printable(path), reason));
}

} // namespace

QString CliHistory::stateText(RunJournal::State state)
{
    switch (state) {
    case RunJournal::State::Interrupted:
        return QStringLiteral("interrupted");
    case RunJournal::State::Complete:
        return QStringLiteral("complete");
    case RunJournal::State::Undone:
        return QStringLiteral("undone");
    case RunJournal::State::Redone:
        return QStringLiteral("redone");
    case RunJournal::State::UndoInterrupted:
        return QStringLiteral("undo-interrupted");
    case RunJournal::State::PartlyUndone:
        return QStringLiteral("partly-undone");
    }
    return {};
}

QString CliHistory::grouped(qsizetype count)
{
    QString digits = QString::number(count < 0 ? -count : count);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QLatin1Char(','));
    return count < 0 ? QLatin1Char('-') + digits : digits;
}

void CliHistory::noteInterrupted(const RunHistory::Listing &listing, const QString &except)
{
    if (listing.runs.isEmpty())
        return;
    const RunSummary &last = listing.runs.first();
    // A run or an undo still going on, here or in another process.
    if (last.id == except || last.inUse)
        return;
    if (last.state == RunJournal::State::UndoInterrupted) {
        printLine(stderr, QStringLiteral("note: the undo or redo of the last rename (%1) was "
                                         "interrupted; `velnor-rename --undo %1` or `--redo %1` "
                                         "takes it up")
                              .arg(last.id));
        return;
    }
    // A run whose plan never became whole moved nothing.
    if (last.state != RunJournal::State::Interrupted || last.planned == 0)
        return;
    // Outcomes reach the journal in batches, so "after 0 files" may be
    // untrue: the undo looks at the disk.
    if (last.movedCount() == 0) {
        printLine(stderr, QStringLiteral("note: the last rename (%1) was interrupted before any "
                                         "file was recorded as renamed; `velnor-rename --undo "
                                         "%1` takes back what it renamed")
                              .arg(last.id));
        return;
    }
    printLine(stderr, QStringLiteral("note: the last rename (%1) was interrupted after %2 of %3 "
                                     "files; `velnor-rename --undo %1` takes it back")
                          .arg(last.id, grouped(last.movedCount()), grouped(last.planned)));
}

CliHistory::LastRun::LastRun()
{
    const QDir folder(RunHistory::runsFolder());
    const QStringList names = folder.entryList({QStringLiteral("*.journal")}, QDir::Files);
    const auto id = [](const QString &name) {
        return QStringView(name).chopped(qsizetype(sizeof(".journal") - 1));
    };
    const auto newest =
        std::min_element(names.cbegin(), names.cend(), [&id](const QString &a, const QString &b) {
            return RunHistory::isNewer(id(a), id(b));
        });
    if (newest == names.cend())
        return;
    m_path = folder.filePath(*newest);
    m_reader = std::thread([this] {
        QString error;
        m_read = Journal::readSummary(m_path, &m_run, &error);
    });
}

CliHistory::LastRun::~LastRun()
{
    if (m_reader.joinable())
        m_reader.join();
}

void CliHistory::LastRun::note()
{
    if (!m_reader.joinable())
        return;
    m_reader.join();
    if (!m_read)
        return;
    // Whether it is in use is asked now, just before this run.
    RunHistory::Listing listing;
    RunSummary &run = listing.runs.emplace_back(std::move(m_run));
    run.inUse = RunHistory::inUse(run.path);
    if (run.stepsOpen && !run.inUse)
        UndoRun::settle(run.path);
    noteInterrupted(listing);
}

int CliHistory::list(bool json)
{
    const RunHistory::Listing listing = RunHistory::list(RunHistory::runsFolder());
    noteUnreadable(listing);
    QByteArray out;
    if (json)
        out += "{\"runs\":[";
    bool first = true;
    for (const RunSummary &run : listing.runs) {
        if (!json) {
            out += QStringLiteral("%1  %2  %3  %4  %5\n")
                       .arg(run.id, localTime(run.started))
                       // The files the run renamed, as the History window
                       // counts them: for a run cancelled or cut short,
                       // not the files it was to move.
                       .arg(run.movedCount())
                       .arg(run.inUse ? QStringLiteral("running") : stateText(run.state),
                            TextEscape::path(run.root))
                       .toUtf8();
            continue;
        }
        out += first ? "\n{\"id\":" : ",\n{\"id\":";
        first = false;
        CliFormat::appendJsonString(out, run.id);
        out += ",\"time\":";
        // With the offset from UTC, so that a script need not guess the zone.
        const QDateTime time = QDateTime::fromMSecsSinceEpoch(run.started);
        CliFormat::appendJsonString(
            out, time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate));
        out += ",\"files\":" + QByteArray::number(run.planned) +
               ",\"renamed\":" + QByteArray::number(run.movedCount()) +
               ",\"failed\":" + QByteArray::number(run.failed) + ",\"state\":";
        CliFormat::appendJsonString(out,
                                    run.inUse ? QStringLiteral("running") : stateText(run.state));
        out += ',';
        appendPath(out, "folder", run.root);
        out += '}';
    }
    if (json)
        out += "]}\n";
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    return Success;
}

int CliHistory::undo(const CliArgs &args)
{
    const bool redo = args.redo;
    const QString option = redo ? QStringLiteral("--redo") : QStringLiteral("--undo");
    const RunHistory::Listing listing = RunHistory::list(RunHistory::runsFolder());
    noteUnreadable(listing);
    const qsizetype index =
        args.runId.isEmpty() ? runInQuestion(listing, redo) : RunHistory::find(listing, args.runId);
    if (index < 0 && !args.runId.isEmpty()) {
        printError(
            QStringLiteral("%1: no run with the ID '%2' (see --history)").arg(option, args.runId));
        return BadArguments;
    }
    if (index < 0) {
        printError(redo ? QStringLiteral("nothing to redo: no run in the history has been undone")
                        : QStringLiteral("nothing to undo: the history holds no run that has not "
                                         "been undone"));
        return SomeFailed;
    }
    const RunSummary &run = listing.runs[index];
    if (!redo)
        noteInterrupted(listing, run.id);
    if (!redo && run.state == RunJournal::State::Undone) {
        printError(QStringLiteral("--undo: the run %1 has been undone already; `velnor-rename "
                                  "--redo %1` renames its files again")
                       .arg(run.id));
        return SomeFailed;
    }
    if (redo && !mayRedo(run.state)) {
        printError(QStringLiteral("--redo: the run %1 has not been undone").arg(run.id));
        return SomeFailed;
    }

    UndoRun::Report report;
    {
        CliSignals::install();
        CliProgress progress;
        const QString doing = redo ? QStringLiteral("Redoing") : QStringLiteral("Undoing");
        UndoJob job(run.path, redo ? UndoRun::Direction::Redo : UndoRun::Direction::Undo);
        job.start();
        progress.waitFor(job, [&] {
            return QStringLiteral("%1: %2 of %3").arg(doing).arg(job.done()).arg(job.total());
        });
        report = job.report();
    }
    if (!report.error.isEmpty()) {
        printError(QStringLiteral("%1 %2: %3").arg(option, run.id, report.error));
        return CliSignals::exitStatus(SomeFailed);
    }
    for (const UndoRun::Kept &kept : std::as_const(report.kept))
        printError(
            QStringLiteral("'%1' stays, not '%2': %3")
                .arg(TextEscape::path(kept.path), TextEscape::path(kept.wanted), kept.reason));
    for (const QByteArray &folder : std::as_const(report.foldersKept))
        printError(
            QStringLiteral("folder '%1' stays: it is not empty").arg(TextEscape::path(folder)));
    if (args.json) {
        QByteArray out = "{\"id\":";
        CliFormat::appendJsonString(out, run.id);
        out += ",\"moved\":" + QByteArray::number(report.moved.size()) + ",\"kept\":[";
        for (qsizetype i = 0; i < report.kept.size(); ++i) {
            const UndoRun::Kept &kept = report.kept[i];
            out += i == 0 ? "\n{" : ",\n{";
            appendPath(out, "path", kept.path);
            out += ',';
            appendPath(out, "wanted", kept.wanted);
            out += ",\"reason\":";
            CliFormat::appendJsonString(out, kept.reason);
            out += '}';
        }
        out += "],\"notAttempted\":" + QByteArray::number(report.notAttempted) + "}\n";
        std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    } else {
        QString summary =
            QStringLiteral("%1 %2 kept").arg(report.message()).arg(report.kept.size());
        if (report.notAttempted > 0)
            summary += QStringLiteral(", %1 not attempted").arg(report.notAttempted);
        printLine(stdout, summary + QLatin1Char('.'));
    }
    return CliSignals::exitStatus(report.kept.isEmpty() && report.notAttempted == 0 ? Success
                                                                                    : SomeFailed);
}
