#include "rename/runhistory.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

// Journals by name, newest first: the name starts with the run's start time
// in UTC, so the order of names is the order of runs.
QFileInfoList journalFiles(const QString &folder)
{
    QDir dir(folder);
    QFileInfoList files =
        dir.entryInfoList({QStringLiteral("*.journal")}, QDir::Files, QDir::Name | QDir::Reversed);
    return files;
}

} // namespace

namespace RunHistory {

QString runsFolder()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || !QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/Velnor/runs");
}

Listing list(const QString &folder)
{
    Listing listing;
    for (const QFileInfo &file : journalFiles(folder)) {
        RunJournal journal;
        QString error;
        if (Journal::read(file.filePath(), &journal, &error))
            listing.runs << journal;
        else
            listing.unreadable.append({file.filePath(), error});
    }
    // Runs started in the same second are told apart by the number their
    // ID gets: "-2" came after the plain one, "-10" after "-9".
    std::stable_sort(listing.runs.begin(), listing.runs.end(),
                     [](const RunJournal &a, const RunJournal &b) {
                         if (a.started != b.started)
                             return a.started > b.started;
                         if (a.id.size() != b.id.size())
                             return a.id.size() > b.id.size();
                         return a.id > b.id;
                     });
    return listing;
}

qsizetype lastUndoable(const Listing &listing)
{
    for (qsizetype i = 0; i < listing.runs.size(); ++i) {
        const RunJournal::State state = listing.runs[i].state;
        if (state == RunJournal::State::Complete || state == RunJournal::State::Interrupted ||
            state == RunJournal::State::Redone)
            return i;
    }
    return -1;
}

qsizetype find(const Listing &listing, const QString &id)
{
    for (qsizetype i = 0; i < listing.runs.size(); ++i)
        if (listing.runs[i].id == id)
            return i;
    return -1;
}

void prune(const QString &folder, int keepRuns, qint64 keepBytes)
{
    const QFileInfoList files = journalFiles(folder);
    qint64 bytes = 0;
    for (qsizetype i = 0; i < files.size(); ++i) {
        bytes += files[i].size();
        if (i > 0 && (i >= keepRuns || bytes > keepBytes))
            QFile::remove(files[i].filePath());
    }
}

} // namespace RunHistory
