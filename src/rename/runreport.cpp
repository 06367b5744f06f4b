// SPDX-License-Identifier: GPL-3.0-or-later
#include "rename/renamerun.h"

#include "files/filelist.h"
#include "posix/textescape.h"

#include <QCoreApplication>
#include <QStringList>

namespace {

// How many failures the informative text names before it refers to the details.
constexpr qsizetype failuresNamed = 5;

} // namespace

namespace RenameRun {

QString Report::message() const
{
    return QCoreApplication::translate("RenameRun", "%1 renamed successfully.")
        .arg(FileList::countText(renamed));
}

QString Report::informativeText() const
{
    if (failed == 0 && notAttempted == 0 && journalFailure.isEmpty())
        return QString();
    QStringList lines;
    if (!journalFailure.isEmpty())
        lines << QCoreApplication::translate("RenameRun", "The journal could no longer be written "
                                                          "(%1), so the run stopped.")
                     .arg(journalFailure);
    if (notAttempted > 0)
        lines << QCoreApplication::translate("RenameRun", "Cancelled: %1 not attempted.")
                     .arg(FileList::countText(notAttempted));
    if (failed == 0)
        return lines.join(u'\n');
    lines << QCoreApplication::translate("RenameRun", "%1 could not be renamed:")
                 .arg(FileList::countText(failed));
    qsizetype named = 0;
    for (const Entry &entry : entries) {
        if (entry.outcome != Outcome::Failed)
            continue;
        if (named == failuresNamed) {
            lines << QCoreApplication::translate("RenameRun", "and %1 more (see the details).")
                         .arg(failed - named);
            break;
        }
        lines << QCoreApplication::translate("RenameRun", "“%1” to “%2”: %3")
                     .arg(TextEscape::line(TextEscape::shortened(oldNameText(entry))),
                          TextEscape::line(TextEscape::shortened(entry.newName)), entry.error);
        ++named;
    }
    return lines.join(u'\n');
}

QString Report::detailedText() const
{
    QStringList lines;
    for (const Entry &entry : entries) {
        if (entry.outcome == Outcome::Failed)
            // The log's line in the reader's language; the log itself stays English.
            lines << QCoreApplication::translate("RenameRun", "Cannot rename “%1” to “%2”: %3")
                         .arg(TextEscape::path(entry.oldPath),
                              TextEscape::line(TextEscape::shortened(entry.newName)), entry.error);
    }
    return lines.join(u'\n');
}

} // namespace RenameRun
