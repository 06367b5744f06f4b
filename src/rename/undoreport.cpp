// SPDX-License-Identifier: GPL-3.0-or-later
// The texts of an undo's or a redo's report, as the window and the command
// line show them.
#include "files/filelist.h"
#include "posix/textescape.h"
#include "rename/undorun.h"

#include <QCoreApplication>
#include <QStringList>

namespace UndoRun {

namespace {

// The files that stayed, named in the short text; the rest in the details.
constexpr qsizetype KeptNamed = 5;

} // namespace

QString Report::message() const
{
    const QString count = FileList::countText(moved.size());
    return redone ? QCoreApplication::translate("UndoRun", "%1 renamed again.").arg(count)
                  : QCoreApplication::translate("UndoRun", "%1 restored.").arg(count);
}

QString Report::informativeText() const
{
    QStringList lines;
    if (notAttempted > 0)
        lines << QCoreApplication::translate("UndoRun", "Cancelled: %1 not attempted.")
                     .arg(FileList::countText(notAttempted));
    for (const QByteArray &folder : foldersKept)
        lines << QCoreApplication::translate("UndoRun",
                                             "The folder “%1” that the run made stays: it is not "
                                             "empty.")
                     .arg(TextEscape::path(folder));
    if (kept.isEmpty())
        return lines.join(u'\n');
    lines << (redone ? QCoreApplication::translate("UndoRun", "%1 could not be renamed again:")
                     : QCoreApplication::translate("UndoRun", "%1 could not go back:"))
                 .arg(FileList::countText(kept.size()));
    for (qsizetype i = 0; i < kept.size(); ++i) {
        if (i == KeptNamed) {
            lines << QCoreApplication::translate("UndoRun", "and %1 more (see the details).")
                         .arg(kept.size() - i);
            break;
        }
        lines << QCoreApplication::translate("UndoRun", "“%1”: %2")
                     .arg(TextEscape::path(kept[i].path), kept[i].reason);
    }
    return lines.join(u'\n');
}

QString Report::detailedText() const
{
    QStringList lines;
    for (const Kept &file : kept)
        lines << QCoreApplication::translate("UndoRun", "“%1” stays, not “%2”: %3")
                     .arg(TextEscape::path(file.path), TextEscape::path(file.wanted), file.reason);
    return lines.join(u'\n');
}

} // namespace UndoRun
