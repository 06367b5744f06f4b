// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The journal's records, line by line: the one set of rules that
// Journal::read and Journal::readSummary both go through.

#include "rename/journal.h"

#include <QByteArrayView>
#include <QHash>

#include <algorithm>
#include <array>
#include <charconv>
#include <vector>

namespace JournalRecords {

template<typename T> bool parseNumber(QByteArrayView field, T *value)
{
    const char *end = field.data() + field.size();
    const auto [stop, error] = std::from_chars(field.data(), end, *value);
    return error == std::errc() && stop == end && !field.isEmpty();
}

// No record has more fields than a move.
constexpr int maxFields = 9;

struct Fields
{
    std::array<QByteArrayView, maxFields> at;
    int count = 0;
};

// Splits a record at its spaces; false when it has more fields than any.
bool split(QByteArrayView line, Fields *fields);

// Takes a journal's records one by one into a summary and, when there is
// one, the whole journal.
class RecordReader
{
public:
    RecordReader(RunSummary *summary, RunJournal *full)
        : m_summary(summary), m_full(full), m_outcomes(full ? &full->outcomes : &m_ownOutcomes)
    {}

    // False for a line that is not a record this version writes.
    bool take(QByteArrayView line);
    // Counts what the records left to be counted.
    void finish();

private:
    bool index(QByteArrayView field, qsizetype *value) const
    {
        qint64 number = 0;
        if (!parseNumber(field, &number) || number < 0 || number >= m_moveCount)
            return false;
        *value = qsizetype(number);
        return true;
    }
    bool takePlan(const Fields &f);
    // What the run itself began of a move (RunJournal::runSteps); later
    // undos and redos change nothing there.
    void noteRunStep(qsizetype move, quint8 step, const QByteArray *placedAt = nullptr)
    {
        if (m_runOver)
            return;
        quint8 &kept = m_full->runSteps[size_t(move)];
        kept = std::max(kept, step);
        if (placedAt)
            m_full->lastPlaced.insert(move, *placedAt);
        else if (step == RunJournal::NoStep)
            m_full->lastPlaced.remove(move);
    }

    RunSummary *m_summary;
    RunJournal *m_full;
    std::vector<RunJournal::Outcome> *m_outcomes;
    std::vector<RunJournal::Outcome> m_ownOutcomes;
    // What a folder record says, by its index; the summary only keeps the
    // indexes.
    struct Folder
    {
        QByteArray path;
        quint64 device = 0;
        QByteArray fileSystem;
        QByteArray volume;
    };
    QHash<qint64, Folder> m_folders;
    qint64 m_lastFolderNumber = 0;
    const Folder *m_lastFolder = nullptr; // of m_lastFolderNumber
    qsizetype m_moveCount = 0;
    bool m_runOver = false; // an undo or redo began
    // The last step of each folder since the last closing record.
    QHash<QByteArray, JournalStep> m_openSteps;
};

} // namespace JournalRecords
