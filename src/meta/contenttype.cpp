// SPDX-License-Identifier: GPL-3.0-or-later
#include "meta/contenttype.h"

#include <QMimeDatabase>
#include <QMimeType>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Unlike the tags, this is read in this process. QMimeDatabase only compares
// the first bytes with the fixed patterns of shared-mime-info's magic rules
// (a byte string at an offset, under a mask): it decodes no structure,
// follows no length or offset that the file gives, and reads no more than
// the bytes handed to it, so a hostile file can at worst be named after the
// type it pretends to be. The file is read here, not by Qt: opened without
// blocking (a FIFO or a device never holds us), a regular file only, its
// path as bytes (a name that is not UTF-8 reaches the right file).
QStringList ContentType::suffixesOf(const QByteArray &path)
{
    // What QMimeDatabase itself reads of a file to match its content.
    constexpr qsizetype headSize = 16384;
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return {};
    QByteArray head;
    struct stat info = {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        head.resize(headSize);
        qsizetype got = 0;
        while (got < headSize) {
            const ssize_t n = ::read(fd, head.data() + got, size_t(headSize - got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += n;
        }
        head.truncate(got);
    }
    ::close(fd);
    if (head.isEmpty())
        return {};
    const QMimeType type = QMimeDatabase().mimeTypeForData(head);
    if (!type.isValid() || type.isDefault() || type.name() == QLatin1String("text/plain") ||
        type.name() == QLatin1String("application/x-zerosize"))
        return {};
    QStringList suffixes = type.suffixes();
    const QString preferred = type.preferredSuffix();
    if (!preferred.isEmpty()) {
        suffixes.removeAll(preferred);
        suffixes.prepend(preferred);
    }
    return suffixes;
}
