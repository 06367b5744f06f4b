// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plan/renameplan.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <functional>
#include <vector>

class FileList;
class NameComposer;
class ZQFile;

// New names typed by hand: for a listed file, by its native path, the name
// it gets as it stands, in place of the one the rules make (no template,
// search, case or counter). The plan checks a typed name like any new name
// (refused names, conflicts, chains and cycles), and the run, its journal
// and its undo see no difference. A name by hand belongs to the list, never
// to the rename settings, so a preset cannot store one.
//
// The window keeps one of these beside its list: set() when a name is typed,
// remove() for "Reset New Name" and for each file that leaves the list (or
// keepListed() after a Remove or a Clear All), and after a run remove() of
// the old path of every file it renamed, since another file may take that
// path over (a swap). A value: copies are cheap and share their names until
// one of them changes, so a worker can take one along.
class TypedNames
{
public:
    // The typed name of the file at `path`, or null. A name that is not
    // UTF-8 is held as NameCodec decodes its bytes.
    const QString *find(const QByteArray &path) const;
    void set(const QByteArray &path, const QString &name);
    // False when the file had no typed name.
    bool remove(const QByteArray &path);
    void clear() { m_names.clear(); }
    bool isEmpty() const { return m_names.isEmpty(); }
    qsizetype count() const { return m_names.size(); }
    // Drops the names of the files that are no longer listed.
    void keepListed(const FileList &list);

    // Puts the typed names in place of the composed names of the plan's
    // files (RenamePlan::composeNames), before RenamePlan::fromNames.
    void applyTo(const std::vector<RenamePlan::File> &files, std::vector<QString> &names) const;

    // The new name of the file shown in display row `row` of `list`: its
    // typed name, else for a companion the name that follows its lead's new
    // name (typed or composed), else the composer's name with the list's
    // counter index of the row.
    QString newNameOf(const FileList &list, const NameComposer &composer, const ZQFile &file,
                      qint64 row) const;

    // The new names of a run over `list` (RenameRun::clickStart's source):
    // newNameOf. Holds references to all three.
    std::function<QString(const ZQFile &file, qint64 row)>
    source(const FileList &list, const NameComposer &composer) const;

private:
    QHash<QByteArray, QString> m_names;
};
