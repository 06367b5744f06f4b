// SPDX-License-Identifier: GPL-3.0-or-later
// The journal's fields, and the records a run appends to its journal as it
// goes; the journal itself and its plan are made by JournalWriter::begin
// (journalcreate.cpp).
#include "rename/journal.h"

#include "rename/journalio.h"

#include <cerrno>
#include <unistd.h>

using JournalIo::appendNumber;
using JournalIo::systemReason;
using JournalIo::writeAll;

namespace {

// Outcomes reach the file in batches of this many: a kill loses at most the
// last batch's outcomes, which undo finds again from the disk.
constexpr int outcomesPerWrite = 256;

} // namespace

namespace Journal {

QByteArray encodeField(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return QByteArrayLiteral("%");
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(bytes.size() + 8);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > 0x20 && byte < 0x7F && byte != '%') {
            out.append(c);
        } else {
            out.append('%');
            out.append(hex[byte >> 4]);
            out.append(hex[byte & 0xF]);
        }
    }
    return out;
}

QByteArray stepRecord(qsizetype move, JournalStep::Kind kind, const QByteArray &from,
                      const QByteArray &to)
{
    const QByteArray number = QByteArray::number(move);
    switch (kind) {
    case JournalStep::Kind::Passing:
        return "temp " + number + ' ' + encodeField(to) + '\n';
    case JournalStep::Kind::Claim:
        return "claim " + number + ' ' + encodeField(from) + ' ' + encodeField(to) + '\n';
    case JournalStep::Kind::Abandoned:
        return "done " + number + '\n';
    case JournalStep::Kind::Link:
        break;
    }
    return "link " + number + ' ' + encodeField(from) + ' ' + encodeField(to) + '\n';
}

} // namespace Journal

JournalWriter::~JournalWriter()
{
    if (m_fd.isOpen()) {
        const std::lock_guard lock(m_mutex);
        appendLocked({}, false);
    }
}

bool JournalWriter::appendLocked(const QByteArray &text, bool sync)
{
    if (!m_fd.isOpen())
        return false;
    // Once a write has failed, nothing more is written: the journal keeps
    // its whole records and no closing one, so that it reads as a run
    // interrupted, which undo takes back from the disk as it finds it.
    if (!m_healthy)
        return false;
    m_pending += text;
    int failure = 0;
    if (!m_pending.isEmpty()) {
        if (writeAll(m_fd.get(), m_pending.constData(), m_pending.size()))
            m_size += m_pending.size();
        else
            failure = errno;
        m_pending.clear();
        m_pendingCount = 0;
    }
    if (failure == 0 && sync && ::fdatasync(m_fd.get()) != 0)
        failure = errno;
    if (failure != 0) {
        // A record cut off half way would hide every later one.
        (void)::ftruncate(m_fd.get(), m_size);
        m_failure = systemReason(failure);
        m_healthy = false;
    }
    return m_healthy;
}

bool JournalWriter::recordTemporaryName(qsizetype move, const QByteArray &name)
{
    const std::lock_guard lock(m_mutex);
    return appendLocked(
        "temp " + QByteArray::number(move) + ' ' + Journal::encodeField(name) + '\n', true);
}

bool JournalWriter::recordFolder(const QByteArray &path)
{
    const std::lock_guard lock(m_mutex);
    return appendLocked("mkdir " + Journal::encodeField(path) + '\n', true);
}

void JournalWriter::recordFolderGone(const QByteArray &path)
{
    const std::lock_guard lock(m_mutex);
    appendLocked("rmdir " + Journal::encodeField(path) + '\n', true);
}

bool JournalWriter::recordStep(qsizetype move, JournalStep::Kind kind, const QByteArray &from,
                               const QByteArray &to)
{
    const std::lock_guard lock(m_mutex);
    return appendLocked(Journal::stepRecord(move, kind, from, to), false);
}

void JournalWriter::recordOutcome(qsizetype move, bool moved)
{
    Outcomes one;
    one.add(move, moved);
    recordOutcomes(one);
}

void JournalWriter::Outcomes::add(qsizetype move, bool moved)
{
    m_text += moved ? "moved " : "failed ";
    appendNumber(m_text, quint64(move));
    m_text += '\n';
    ++m_count;
}

void JournalWriter::recordOutcomes(Outcomes &outcomes)
{
    if (outcomes.m_count == 0)
        return;
    const std::lock_guard lock(m_mutex);
    m_pending += outcomes.m_text;
    m_pendingCount += outcomes.m_count;
    outcomes.m_text.clear();
    outcomes.m_count = 0;
    if (m_pendingCount >= outcomesPerWrite)
        appendLocked({}, false);
}

bool JournalWriter::finish(qsizetype renamed, qsizetype failed, qsizetype notAttempted)
{
    const std::lock_guard lock(m_mutex);
    const bool ok = m_healthy && appendLocked("end " + QByteArray::number(renamed) + ' ' +
                                                  QByteArray::number(failed) + ' ' +
                                                  QByteArray::number(notAttempted) + '\n',
                                              true);
    m_fd.reset();
    return ok;
}
