// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rename/journal.h"

#include <QDebug>

#include <sys/stat.h>

// The journal a past run left in `runs`, made by the journal's own writer:
// `total` moves of "f<i>" to "g<i>" in `folder` (of the file there, if any),
// begun at `started`, the first `moved` of them recorded as done; closed when
// `finish`, and then undone when `undone`. Its path; empty if it could not be
// written.
inline QString writeJournal(const QString &runs, const QByteArray &folder, qint64 started,
                            int total, int moved, bool finish, bool undone = false)
{
    QList<JournalMove> moves;
    for (int i = 0; i < total; ++i) {
        const QByteArray name = "f" + QByteArray::number(i);
        // A file of that name lends its identity, so that an undo takes it back.
        struct stat file = {};
        const bool there = ::lstat((folder + '/' + name).constData(), &file) == 0;
        moves << JournalMove{folder, name, "g" + QByteArray::number(i),
                             there ? quint64(file.st_dev) : 1,
                             there ? quint64(file.st_ino) : quint64(100 + i)};
    }
    JournalWriter writer;
    QString error;
    if (!writer.begin(runs, moves, started, &error)) {
        qWarning() << error;
        return {};
    }
    for (int i = 0; i < moved; ++i)
        writer.recordOutcome(i, true);
    if (finish && !writer.finish(moved, 0, total - moved))
        return {};
    if (undone) {
        JournalAppender undo;
        if (!undo.open(writer.path(), &error) || !undo.start(false, started + 1))
            return {};
        for (int i = moved - 1; i >= 0; --i)
            undo.back(i);
        if (!undo.finish(false, moved, 0))
            return {};
    }
    return writer.path();
}
