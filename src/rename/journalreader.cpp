// SPDX-License-Identifier: GPL-3.0-or-later
// The one reader of the journal format. Journal::read and
// Journal::readSummary go through the same lines with the same rules, the
// second only leaving out what costs (decoding names, the list of moves), so
// the history and undo can never disagree about what a journal says.
#include "rename/journalrecords.h"

#include "posix/filedescriptor.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using JournalRecords::parseNumber;
using JournalRecords::RecordReader;

// Opens a journal for reading only where it can be what this program wrote:
// a regular file of the user's that no one else may write (in a folder that
// others may write to, anyone could have put it there), no larger than a run
// of millions of files makes. Opening never waits (a FIFO, a device) and
// never follows a link; -1 with the reason otherwise.
int openJournal(const QString &path, QString *error)
{
    FileDescriptor fd(::open(QFile::encodeName(path).constData(),
                             O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info;
    if (!fd.isOpen() || ::fstat(fd.get(), &info) != 0) {
        *error = errno == ELOOP ? QStringLiteral("it is a symbolic link, not a journal")
                                : QString::fromLocal8Bit(std::strerror(errno));
        return -1;
    }
    if (!S_ISREG(info.st_mode))
        *error = QStringLiteral("it is not a regular file");
    else if (info.st_uid != ::geteuid())
        *error = QStringLiteral("it belongs to another user (uid %1), so it is not read")
                     .arg(info.st_uid);
    else if (info.st_mode & (S_IWGRP | S_IWOTH))
        *error = QStringLiteral("others may write to it, so it is not read");
    else if (info.st_size > Journal::maxBytes)
        *error = QStringLiteral("it is larger than %1 MiB, more than any run writes")
                     .arg(Journal::maxBytes >> 20);
    else
        return fd.release();
    return -1;
}

bool readJournal(const QString &path, RunSummary *summary, RunJournal *full, QString *error)
{
    summary->path = path;
    summary->id = QFileInfo(path).completeBaseName();
    const FileDescriptor fd(openJournal(path, error));
    if (!fd.isOpen())
        return false;

    // Read a piece at a time into one buffer, so that what the file holds
    // bounds nothing but the records taken from it: a line longer than any
    // record is refused. What is left of a line at a piece's end moves to
    // the front of the buffer, which is never given back for a new one.
    constexpr qsizetype piece = 1 << 20;
    const std::unique_ptr<char[]> buffer(new char[size_t(Journal::maxLineBytes + piece)]);
    qsizetype kept = 0;  // the bytes of a line begun in an earlier piece
    qint64 consumed = 0; // the bytes of the file before the buffer's first
    qint64 total = 0;
    bool firstLine = true;
    bool stopped = false;
    RecordReader reader(summary, full);
    const auto takeFirst = [&](QByteArrayView first) {
        const QByteArrayView prefix(Journal::magic);
        qint64 version = 0;
        if (!first.startsWith(prefix) || first.size() < prefix.size() + 2 ||
            first[prefix.size()] != ' ' ||
            !parseNumber(first.sliced(prefix.size() + 1), &version) || version < 1) {
            *error = QStringLiteral("not a rename journal");
            return false;
        }
        if (version > Journal::version) {
            *error = QStringLiteral("written by a later version of Velnor (journal version %1)")
                         .arg(version);
            return false;
        }
        summary->version = int(version);
        return true;
    };
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer.get() + kept, size_t(piece));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            *error = QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
        total += got;
        if (total > Journal::maxBytes) {
            *error = QStringLiteral("it is larger than %1 MiB, more than any run writes")
                         .arg(Journal::maxBytes >> 20);
            return false;
        }
        const char *at = buffer.get();
        const char *const end = at + kept + got;
        while (const auto *newline =
                   static_cast<const char *>(std::memchr(at, '\n', size_t(end - at)))) {
            const QByteArrayView line(at, newline);
            if (firstLine) {
                if (!takeFirst(line))
                    return false;
                firstLine = false;
            } else if (newline == at || !reader.take(line)) {
                summary->damaged = true;
                stopped = true;
                break;
            }
            at = newline + 1;
        }
        consumed += at - buffer.get();
        kept = end - at;
        std::memmove(buffer.get(), at, size_t(kept));
        if (stopped)
            break;
        if (kept > Journal::maxLineBytes) {
            *error = QStringLiteral("a line is longer than %1 KiB, more than any record takes")
                         .arg(Journal::maxLineBytes >> 10);
            return false;
        }
        if (got == 0) {
            if (firstLine) {
                // The first line alone, cut off while being written.
                if (!takeFirst(QByteArrayView(buffer.get(), kept)))
                    return false;
                summary->damaged = true;
                summary->soundSize = kept;
                return true;
            }
            // A last line without its newline was cut off while being written.
            summary->damaged = summary->damaged || kept > 0;
            break;
        }
    }
    summary->soundSize = consumed;
    reader.finish();
    return true;
}

} // namespace

namespace Journal {

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
