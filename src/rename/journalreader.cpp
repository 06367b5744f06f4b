// SPDX-License-Identifier: GPL-3.0-or-later
// The one reader of the journal format. Journal::read and
// Journal::readSummary go through the same lines with the same rules, the
// second only leaving out what costs (decoding names, the list of moves), so
// the history and undo can never disagree about what a journal says.

#include "rename/journal.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

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

template<typename T> bool parseNumber(QByteArrayView field, T *value)
{
    const char *end = field.data() + field.size();
    const auto [stop, error] = std::from_chars(field.data(), end, *value);
    return error == std::errc() && stop == end && !field.isEmpty();
}

// No record has more fields than a move.
constexpr int maxFields = 7;

struct Fields
{
    std::array<QByteArrayView, maxFields> at;
    int count = 0;
};

bool split(QByteArrayView line, Fields *fields)
{
    const char *at = line.data();
    const char *const end = at + line.size();
    for (;;) {
        if (fields->count == maxFields)
            return false;
        const auto *space = static_cast<const char *>(std::memchr(at, ' ', size_t(end - at)));
        if (!space) {
            fields->at[size_t(fields->count++)] = QByteArrayView(at, end - at);
            return true;
        }
        fields->at[size_t(fields->count++)] = QByteArrayView(at, space - at);
        at = space + 1;
    }
}

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

    RunSummary *m_summary;
    RunJournal *m_full;
    std::vector<RunJournal::Outcome> *m_outcomes;
    std::vector<RunJournal::Outcome> m_ownOutcomes;
    // Folder paths by their index; the summary only keeps the indexes.
    QHash<qint64, QByteArray> m_folders;
    qint64 m_lastFolderNumber = 0;
    const QByteArray *m_lastFolder = nullptr; // of m_lastFolderNumber
    qsizetype m_moveCount = 0;
};

bool RecordReader::takePlan(const Fields &f)
{
    const QByteArrayView kind = f.at[0];
    if (kind == "folder" && f.count == 3) {
        qint64 number = 0;
        QByteArray path;
        if (!parseNumber(f.at[1], &number) || !decode(f.at[2], m_full ? &path : nullptr))
            return false;
        m_folders.insert(number, path);
        m_lastFolder = nullptr;
        return true;
    }
    if (kind == "move" && f.count == 7) {
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
        if (!parseNumber(f.at[1], &number) || number != m_moveCount || !m_lastFolder ||
            !parseNumber(f.at[3], &move.device) || !parseNumber(f.at[4], &move.inode) ||
            !decode(f.at[5], m_full ? &move.oldName : nullptr) ||
            !decode(f.at[6], m_full ? &move.newName : nullptr))
            return false;
        if (m_full) {
            move.folder = *m_lastFolder;
            m_full->moves << move;
        }
        ++m_moveCount;
        return true;
    }
    if (kind == "planned" && f.count == 2) {
        qint64 count = 0;
        if (!parseNumber(f.at[1], &count) || count != m_moveCount)
            return false;
        m_summary->planComplete = true;
        m_outcomes->assign(size_t(m_moveCount), RunJournal::Outcome::Unknown);
        if (m_full)
            m_full->takenBack.assign(size_t(m_moveCount), 0);
        return true;
    }
    return false;
}

bool RecordReader::take(QByteArrayView line)
{
    Fields f;
    if (!split(line, &f))
        return false;
    const QByteArrayView kind = f.at[0];
    RunSummary *const s = m_summary;

    if (kind == "run" && f.count == 3)
        return parseNumber(f.at[1], &s->started) && decode(f.at[2], &s->root);
    if (!s->planComplete)
        return takePlan(f);
    qsizetype move = 0;
    if ((kind == "moved" || kind == "failed") && f.count == 2) {
        if (!index(f.at[1], &move))
            return false;
        (*m_outcomes)[size_t(move)] =
            kind == "moved" ? RunJournal::Outcome::Moved : RunJournal::Outcome::Failed;
        return true;
    }
    if (kind == "temp" && f.count == 3) {
        QByteArray name;
        if (!index(f.at[1], &move) || !decode(f.at[2], m_full ? &name : nullptr))
            return false;
        if (m_full)
            m_full->temporaryNames.insert(move, name);
        return true;
    }
    if (kind == "end" && f.count == 4) {
        qint64 counts[3];
        for (int i = 0; i < 3; ++i)
            if (!parseNumber(f.at[size_t(i + 1)], &counts[i]) || counts[i] < 0)
                return false;
        s->closed = true;
        s->renamed = qsizetype(counts[0]);
        s->failed = qsizetype(counts[1]);
        s->notAttempted = qsizetype(counts[2]);
        s->state = RunSummary::State::Complete;
        return true;
    }
    if ((kind == "undo" || kind == "redo") && f.count == 2) {
        qint64 when = 0;
        if (!parseNumber(f.at[1], &when))
            return false;
        s->state = RunSummary::State::UndoInterrupted;
        s->lastWasRedo = kind == "redo";
        return true;
    }
    if (kind == "back" && f.count == 2) {
        if (!index(f.at[1], &move))
            return false;
        if (m_full && !s->lastWasRedo)
            m_full->takenBack[size_t(move)] = 1;
        return true;
    }
    if (kind == "kept" && f.count == 3)
        return index(f.at[1], &move) && decode(f.at[2], nullptr);
    if ((kind == "undo-end" || kind == "redo-end") && f.count == 3) {
        s->state = kind == "undo-end" ? RunSummary::State::Undone : RunSummary::State::Redone;
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
    m_summary->moved =
        std::count(m_outcomes->cbegin(), m_outcomes->cend(), RunJournal::Outcome::Moved);
    if (!m_summary->closed) {
        m_summary->renamed = m_summary->moved;
        m_summary->failed =
            std::count(m_outcomes->cbegin(), m_outcomes->cend(), RunJournal::Outcome::Failed);
    }
}

bool readJournal(const QString &path, RunSummary *summary, RunJournal *full, QString *error)
{
    summary->path = path;
    summary->id = QFileInfo(path).completeBaseName();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    const QByteArray data = file.readAll();
    const char *const begin = data.constData();
    const char *const end = begin + data.size();
    const auto lineEnd = [end](const char *from) {
        return static_cast<const char *>(std::memchr(from, '\n', size_t(end - from)));
    };

    const char *newline = lineEnd(begin);
    const QByteArrayView first(begin, newline ? newline : end);
    const QByteArrayView prefix(Journal::magic);
    if (!first.startsWith(prefix) || first.size() < prefix.size() + 2 ||
        first[prefix.size()] != ' ') {
        *error = QStringLiteral("not a rename journal");
        return false;
    }
    qint64 version = 0;
    if (!parseNumber(first.sliced(prefix.size() + 1), &version) || version < 1) {
        *error = QStringLiteral("not a rename journal");
        return false;
    }
    if (version > Journal::version) {
        *error = QStringLiteral("written by a later version of Velnor (journal version %1)")
                     .arg(version);
        return false;
    }
    summary->version = int(version);
    if (!newline) {
        summary->damaged = true;
        summary->soundSize = data.size();
        return true;
    }

    RecordReader reader(summary, full);
    const char *from = newline + 1;
    while (from < end) {
        newline = lineEnd(from);
        // A last line without its newline was cut off while being written.
        if (!newline || newline == from || !reader.take(QByteArrayView(from, newline))) {
            summary->damaged = true;
            break;
        }
        from = newline + 1;
    }
    summary->soundSize = from - begin;
    reader.finish();
    return true;
}

} // namespace

namespace Journal {

bool decodeField(QByteArrayView field, QByteArray *bytes)
{
    return decode(field, bytes);
}

bool read(const QString &path, RunJournal *journal, QString *error)
{
    *journal = RunJournal();
    return readJournal(path, journal, journal, error);
}

bool readSummary(const QString &path, RunSummary *summary, QString *error)
{
    *summary = RunSummary();
    return readJournal(path, summary, nullptr, error);
}

} // namespace Journal
