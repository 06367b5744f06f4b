// SPDX-License-Identifier: GPL-3.0-or-later
#include "rename/journalrecords.h"

#include <cstring>

namespace JournalRecords {

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Whether a record is of a kind: compared in line, as every record is
// compared with several kinds.
template<size_t N> bool is(QByteArrayView kind, const char (&text)[N])
{
    return kind.size() == qsizetype(N - 1) && std::memcmp(kind.data(), text, N - 1) == 0;
}

// Journal::decodeField; with no `bytes`, only whether the field is well
// formed.
bool decode(QByteArrayView field, QByteArray *bytes)
{
    if (bytes)
        bytes->clear();
    if (field == "%")
        return true;
    if (field.isEmpty())
        return false;
    if (bytes)
        bytes->reserve(field.size());
    const char *at = field.data();
    const char *const end = at + field.size();
    while (at < end) {
        // A run of bytes that stand for themselves goes over in one piece.
        const char *plain = at;
        while (at<end &&static_cast<unsigned char>(*at)> 0x20 &&
               static_cast<unsigned char>(*at) < 0x7F && *at != '%')
            ++at;
        if (bytes && at > plain)
            bytes->append(plain, at - plain);
        if (at == end)
            break;
        if (*at != '%' || end - at < 3)
            return false;
        const int high = hexValue(at[1]);
        const int low = hexValue(at[2]);
        if (high < 0 || low < 0)
            return false;
        if (bytes)
            bytes->append(char(high << 4 | low));
        at += 3;
    }
    return true;
}

} // namespace

bool split(QByteArrayView line, Fields *fields)
{
    // Fields are short (a kind, a number, a name): a look at each byte costs
    // less than a call to memchr for each of them.
    const char *start = line.data();
    const char *const end = start + line.size();
    for (const char *at = start; at != end; ++at) {
        if (*at != ' ')
            continue;
        if (fields->count == maxFields - 1)
            return false;
        fields->at[size_t(fields->count++)] = QByteArrayView(start, at - start);
        start = at + 1;
    }
    fields->at[size_t(fields->count++)] = QByteArrayView(start, end - start);
    return true;
}

bool RecordReader::takePlan(const Fields &f)
{
    const QByteArrayView kind = f.at[0];
    // Version 1 knew a file by its device and inode alone.
    const bool first = m_summary->version == 1;
    if (is(kind, "folder") && f.count == (first ? 3 : 6)) {
        qint64 number = 0;
        Folder folder;
        if (!parseNumber(f.at[1], &number) || !decode(f.at[2], m_full ? &folder.path : nullptr))
            return false;
        if (!first && (!parseNumber(f.at[3], &folder.device) ||
                       !decode(f.at[4], m_full ? &folder.fileSystem : nullptr) ||
                       !decode(f.at[5], m_full ? &folder.volume : nullptr)))
            return false;
        m_folders.insert(number, folder);
        m_lastFolder = nullptr;
        return true;
    }
    if (is(kind, "move") && f.count == (first ? 7 : 9)) {
        qint64 number = 0;
        qint64 folder = 0;
        JournalMove move;
        // Moves come folder by folder: one look in the table per folder.
        if (!parseNumber(f.at[2], &folder))
            return false;
        if (!m_lastFolder || folder != m_lastFolderNumber) {
            const auto found = m_folders.constFind(folder);
            m_lastFolder = found == m_folders.cend() ? nullptr : &*found;
            m_lastFolderNumber = folder;
        }
        if (!parseNumber(f.at[1], &number) || number != m_moveCount || !m_lastFolder)
            return false;
        const int names = first ? 5 : 7;
        if (first ? !parseNumber(f.at[3], &move.device) || !parseNumber(f.at[4], &move.inode)
                  : !parseNumber(f.at[3], &move.inode) || !parseNumber(f.at[4], &move.size) ||
                        move.size < -1 || !parseNumber(f.at[5], &move.modified) ||
                        !parseNumber(f.at[6], &move.born))
            return false;
        if (!decode(f.at[names], m_full ? &move.oldName : nullptr) ||
            !decode(f.at[names + 1], m_full ? &move.newName : nullptr))
            return false;
        if (m_full) {
            move.folder = m_lastFolder->path;
            if (!first) {
                move.device = m_lastFolder->device;
                move.fileSystem = m_lastFolder->fileSystem;
                move.volume = m_lastFolder->volume;
            }
            m_full->moves << move;
        }
        ++m_moveCount;
        return true;
    }
    if (is(kind, "planned") && f.count == 2) {
        qint64 count = 0;
        if (!parseNumber(f.at[1], &count) || count != m_moveCount)
            return false;
        m_summary->planComplete = true;
        m_outcomes->assign(size_t(m_moveCount), RunJournal::Outcome::Unknown);
        if (m_full) {
            m_full->takenBack.assign(size_t(m_moveCount), 0);
            m_full->runSteps.assign(size_t(m_moveCount), RunJournal::NoStep);
        }
        return true;
    }
    return false;
}

bool RecordReader::take(QByteArrayView line)
{
    qsizetype move = 0;
    // Half of a run's records say a file moved: they are read without
    // splitting (a second field that is not an index, or a third, makes the
    // record unreadable, as in any other).
    if (m_summary->planComplete && line.startsWith("moved ")) {
        if (!index(line.sliced(6), &move))
            return false;
        (*m_outcomes)[size_t(move)] = RunJournal::Outcome::Moved;
        return true;
    }
    Fields f;
    if (!split(line, &f))
        return false;
    const QByteArrayView kind = f.at[0];
    RunSummary *const s = m_summary;

    if (is(kind, "run") && f.count == 3)
        return parseNumber(f.at[1], &s->started) && decode(f.at[2], &s->root);
    if (!s->planComplete)
        return takePlan(f);
    // "moved N" was read above.
    if (is(kind, "failed") && f.count == 2) {
        if (!index(f.at[1], &move))
            return false;
        (*m_outcomes)[size_t(move)] = RunJournal::Outcome::Failed;
        return true;
    }
    if (is(kind, "temp") && f.count == 3) {
        QByteArray name;
        if (!index(f.at[1], &move) || !decode(f.at[2], m_full ? &name : nullptr))
            return false;
        if (m_full) {
            noteRunStep(move, RunJournal::SomeStep);
            m_full->temporaryNames.insert(move, name);
            m_openSteps.insert(m_full->moves[move].folder,
                               {move, JournalStep::Kind::Passing, {}, name});
        }
        return true;
    }
    if ((is(kind, "claim") || is(kind, "link")) && f.count == 4) {
        JournalStep step{
            -1, is(kind, "claim") ? JournalStep::Kind::Claim : JournalStep::Kind::Link, {}, {}};
        if (!index(f.at[1], &step.move) || !decode(f.at[2], m_full ? &step.from : nullptr) ||
            !decode(f.at[3], m_full ? &step.to : nullptr))
            return false;
        if (m_full) {
            noteRunStep(step.move, RunJournal::PlaceStep, &step.to);
            m_openSteps.insert(m_full->moves[step.move].folder, step);
        }
        s->stepsOpen = true;
        return true;
    }
    if (is(kind, "done") && f.count == 2) {
        if (!index(f.at[1], &move))
            return false;
        if (m_full) {
            noteRunStep(move, RunJournal::NoStep);
            const auto open = m_openSteps.find(m_full->moves[move].folder);
            if (open != m_openSteps.end() && open->move == move)
                m_openSteps.erase(open);
        }
        return true;
    }
    if ((is(kind, "mkdir") || is(kind, "rmdir")) && f.count == 2 && s->version >= 2) {
        QByteArray path;
        if (!decode(f.at[1], m_full ? &path : nullptr))
            return false;
        if (m_full) {
            m_full->madeFolders.removeAll(path);
            if (is(kind, "mkdir"))
                m_full->madeFolders << path;
        }
        return true;
    }
    if (is(kind, "settled") && f.count == 1) {
        m_openSteps.clear();
        s->stepsOpen = false;
        return true;
    }
    if (is(kind, "end") && f.count == 4) {
        qint64 counts[3];
        for (int i = 0; i < 3; ++i)
            if (!parseNumber(f.at[size_t(i + 1)], &counts[i]) || counts[i] < 0)
                return false;
        s->closed = true;
        m_openSteps.clear();
        s->stepsOpen = false;
        s->renamed = qsizetype(counts[0]);
        s->failed = qsizetype(counts[1]);
        s->notAttempted = qsizetype(counts[2]);
        s->state = RunSummary::State::Complete;
        return true;
    }
    if ((is(kind, "undo") || is(kind, "redo")) && f.count == 2) {
        qint64 when = 0;
        if (!parseNumber(f.at[1], &when))
            return false;
        s->state = RunSummary::State::UndoInterrupted;
        m_runOver = true;
        s->lastWasRedo = is(kind, "redo");
        s->lastUndoOrRedo = when;
        return true;
    }
    if (is(kind, "back") && f.count == 2) {
        if (!index(f.at[1], &move))
            return false;
        if (m_full && !s->lastWasRedo)
            m_full->takenBack[size_t(move)] = 1;
        return true;
    }
    if (is(kind, "kept") && f.count == 3)
        return index(f.at[1], &move) && decode(f.at[2], nullptr);
    if ((is(kind, "undo-end") || is(kind, "redo-end")) && f.count == 3) {
        qint64 counts[2];
        if (!parseNumber(f.at[1], &counts[0]) || !parseNumber(f.at[2], &counts[1]))
            return false;
        s->state = is(kind, "redo-end") ? RunSummary::State::Redone
                   : counts[1] > 0      ? RunSummary::State::PartlyUndone
                                        : RunSummary::State::Undone;
        m_openSteps.clear();
        s->stepsOpen = false;
        return true;
    }
    return false;
}

void RecordReader::finish()
{
    if (!m_summary->planComplete) {
        m_moveCount = 0;
        m_outcomes->clear();
        if (m_full)
            m_full->moves.clear();
    }
    m_summary->planned = m_moveCount;
    if (m_full) {
        m_full->openSteps.reserve(size_t(m_openSteps.size()));
        for (const JournalStep &step : std::as_const(m_openSteps))
            m_full->openSteps.push_back(step);
    }
    m_summary->moved =
        std::count(m_outcomes->cbegin(), m_outcomes->cend(), RunJournal::Outcome::Moved);
    if (!m_summary->closed) {
        m_summary->renamed = m_summary->moved;
        m_summary->failed =
            std::count(m_outcomes->cbegin(), m_outcomes->cend(), RunJournal::Outcome::Failed);
    }
}

} // namespace JournalRecords

bool Journal::decodeField(QByteArrayView field, QByteArray *bytes)
{
    return JournalRecords::decode(field, bytes);
}
