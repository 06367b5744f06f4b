// SPDX-License-Identifier: GPL-3.0-or-later
#include "rename/journal.h"

#include "rename/journalio.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using JournalIo::appendNumber;
using JournalIo::systemReason;
using JournalIo::writeAll;

JournalAppender::~JournalAppender()
{
    const std::lock_guard lock(m_mutex);
    if (m_fd.isOpen()) {
        append({}, false);
        m_fd.reset();
    }
}

bool JournalAppender::open(const QString &path, QString *error, qint64 soundSize)
{
    const std::lock_guard lock(m_mutex);
    m_fd.reset(::open(QFile::encodeName(path).constData(),
                      O_WRONLY | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!m_fd.isOpen()) {
        *error = systemReason(errno);
        return false;
    }
    // Two movers over the same files at once would each move what the other
    // has just put under a name; and the last line of a journal still being
    // written is no damage to cut off.
    if (::flock(m_fd.get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        *error = QStringLiteral("it is in use by another run, undo or redo of the same files");
        m_fd.reset();
        return false;
    }
    struct stat info;
    if (soundSize >= 0 && ::fstat(m_fd.get(), &info) == 0 && info.st_size > soundSize &&
        ::ftruncate(m_fd.get(), soundSize) != 0) {
        *error = systemReason(errno);
        m_fd.reset();
        return false;
    }
    return true;
}

bool JournalAppender::append(const QByteArray &text, bool sync)
{
    if (!m_fd.isOpen())
        return false;
    m_pending += text;
    bool ok = writeAll(m_fd.get(), m_pending.constData(), m_pending.size());
    m_pending.clear();
    if (ok && sync)
        ok = ::fdatasync(m_fd.get()) == 0;
    if (!ok)
        m_failure = systemReason(errno);
    return ok;
}

bool JournalAppender::start(bool redo, qint64 startedMsecs)
{
    const std::lock_guard lock(m_mutex);
    return append((redo ? "redo " : "undo ") + QByteArray::number(startedMsecs) + '\n', true);
}

bool JournalAppender::temporaryName(qsizetype move, const QByteArray &name)
{
    const std::lock_guard lock(m_mutex);
    return append("temp " + QByteArray::number(move) + ' ' + Journal::encodeField(name) + '\n',
                  true);
}

bool JournalAppender::step(qsizetype move, JournalStep::Kind kind, const QByteArray &from,
                           const QByteArray &to)
{
    const std::lock_guard lock(m_mutex);
    return append(Journal::stepRecord(move, kind, from, to), false);
}

bool JournalAppender::settled()
{
    const std::lock_guard lock(m_mutex);
    return append("settled\n", true);
}

bool JournalAppender::folder(const QByteArray &path)
{
    const std::lock_guard lock(m_mutex);
    return append("mkdir " + Journal::encodeField(path) + '\n', true);
}

void JournalAppender::folderGone(const QByteArray &path)
{
    const std::lock_guard lock(m_mutex);
    append("rmdir " + Journal::encodeField(path) + '\n', true);
}

void JournalAppender::back(qsizetype move)
{
    const std::lock_guard lock(m_mutex);
    m_pending += "back ";
    appendNumber(m_pending, quint64(move));
    m_pending += '\n';
    if (m_pending.size() > 16384)
        append({}, false);
}

void JournalAppender::kept(qsizetype move, const QString &reason)
{
    const std::lock_guard lock(m_mutex);
    m_pending +=
        "kept " + QByteArray::number(move) + ' ' + Journal::encodeField(reason.toUtf8()) + '\n';
}

bool JournalAppender::finish(bool redo, qsizetype back, qsizetype kept)
{
    const std::lock_guard lock(m_mutex);
    return append((redo ? "redo-end " : "undo-end ") + QByteArray::number(back) + ' ' +
                      QByteArray::number(kept) + '\n',
                  true);
}
