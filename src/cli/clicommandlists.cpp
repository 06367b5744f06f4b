// SPDX-License-Identifier: GPL-3.0-or-later
// The lists a user hands the command: paths by --files-from and --map, new
// names by --map, --names-from and --edit.
#include "cli/clicommand.h"

#include "cli/cliargs.h"
#include "cli/clinames.h"
#include "files/filelist.h"
#include "intake/namelists.h"
#include "plan/renameplan.h"
#include "posix/namecodec.h"
#include "posix/nativepath.h"
#include "posix/textescape.h"
#include "rules/namecomposer.h"

#include <QHash>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

using CliNames::printError;

bool CliCommand::readPathLists(CliArgs &args, QList<MapEntry> *map)
{
    // Inserted from the last list back, so the earlier places stay right.
    for (qsizetype k = args.filesFrom.size() - 1; k >= 0; --k) {
        const auto &[place, source] = args.filesFrom[k];
        QByteArray content;
        if (!CliNames::readSource(k == args.mapEntry ? "--map" : "--files-from", source, &content))
            return false;
        QList<QByteArray> listed;
        if (k == args.mapEntry) {
            if (!readMap(source, content, map))
                return false;
            for (const MapEntry &entry : std::as_const(*map))
                listed << entry.path;
        } else {
            // A NUL cannot be in a path: such a list ends its paths with NUL
            // bytes, and read by lines it would name no file at all.
            if (!args.nullSeparated && content.contains('\0')) {
                printError(QStringLiteral("--files-from: '%1' holds a NUL byte; use --null for "
                                          "paths that end with NUL bytes")
                               .arg(TextEscape::path(source)));
                return false;
            }
            for (const QByteArray &path : content.split(args.nullSeparated ? '\0' : '\n')) {
                if (!path.isEmpty())
                    listed << path;
            }
        }
        args.paths.insert(place, listed.size(), QByteArray());
        std::copy(listed.cbegin(), listed.cend(), args.paths.begin() + place);
    }
    return true;
}

bool CliCommand::readMap(const QByteArray &source, const QByteArray &content, QList<MapEntry> *map)
{
    const NameLists::Map read = NameLists::readMap(content);
    const auto fail = [&source](qsizetype row, const QString &what) {
        printError(QStringLiteral("--map: '%1': row %2: %3")
                       .arg(TextEscape::path(source))
                       .arg(row)
                       .arg(what));
        return false;
    };
    switch (read.fault) {
    case NameLists::MapFault::None:
        break;
    case NameLists::MapFault::UnclosedQuote:
        return fail(read.faultRow, QStringLiteral("a quoted field has no closing quote"));
    case NameLists::MapFault::TextAfterQuote:
        return fail(read.faultRow, QStringLiteral("text after a closing quote"));
    case NameLists::MapFault::NotTwoColumns:
        return fail(read.faultRow, QStringLiteral("not two columns (path, new name)"));
    case NameLists::MapFault::EmptyPath:
        return fail(read.faultRow, QStringLiteral("the path is empty"));
    case NameLists::MapFault::EmptyName:
        return fail(read.faultRow, QStringLiteral("the new name is empty"));
    }
    const QByteArray here = NativePath::currentFolder();
    QHash<QByteArray, qsizetype> rowOfPath;
    for (qsizetype i = 0; i < read.rows.size(); ++i) {
        const NameLists::MapRow &row = read.rows[i];
        const QString shown = QLatin1Char('\'') + TextEscape::path(row.path) + QLatin1Char('\'');
        struct stat info;
        if (::stat(row.path.constData(), &info) == 0 && S_ISDIR(info.st_mode))
            return fail(i + 1, shown + QStringLiteral(" is a folder; the map names files"));
        if (::lstat(row.path.constData(), &info) != 0)
            return fail(i + 1, shown + QStringLiteral(": ") +
                                   QString::fromLocal8Bit(std::strerror(errno)));
        // The same file by two spellings ("a" and "./a") is a path listed twice.
        const QByteArray absolute = NativePath::absolute(row.path, here);
        if (const qsizetype earlier = rowOfPath.value(absolute)) {
            return fail(i + 1, shown + QStringLiteral(" is in row %1 already").arg(earlier));
        }
        rowOfPath.insert(absolute, i + 1);
        map->append({row.path, absolute, row.newName});
    }
    return true;
}

bool CliCommand::typeNames(const CliArgs &args, const NameComposer &composer,
                           const QList<MapEntry> &map, QList<QByteArray> names)
{
    for (qsizetype i = 0; i < map.size(); ++i) {
        // A path the intake passes over (a socket, say) would lose its name
        // without a word.
        if (!m_list.containsPath(map[i].absolutePath)) {
            printError(QStringLiteral("--map: '%1': row %2: '%3' is not a file that can be listed")
                           .arg(TextEscape::path(args.mapFile))
                           .arg(i + 1)
                           .arg(TextEscape::path(map[i].path)));
            return false;
        }
        m_typed.set(map[i].absolutePath, NameCodec::decode(map[i].newName));
    }
    // Without names from the user, the rules name every file.
    if (!args.edit && args.namesFrom.isEmpty())
        return true;
    const qsizetype total = m_list.count();
    if (!args.edit && names.size() != total) {
        printError(QStringLiteral("--names-from: %1 names for %2; nothing renamed")
                       .arg(names.size())
                       .arg(FileList::countText(total)));
        return false;
    }
    QList<QByteArray> paths(total);
    for (qsizetype row = 0; row < total; ++row)
        paths[row] = m_list.fileAtIndex(row)->nativePath();
    QList<QByteArray> ruleNames;
    if (args.edit) {
        // Each file's name under the other options, as the preview shows it.
        const auto files = RenamePlan::filesOf(m_list, composer.settings().counterPerFolder);
        std::vector<QString> composed =
            RenamePlan::composeNames(files, [&composer](const RuleFile &file, qint64 index) {
                return composer.newNameForFile(file, index);
            });
        RenamePlan::followLeads(files, composed, RenamePlan::companionRule(composer.settings()));
        for (const QString &name : composed)
            ruleNames << NameCodec::encode(name);
        names = ruleNames;
        if (total > 0 && !CliNames::editNames(paths, &names))
            return false;
    }
    for (qsizetype row = 0; row < total; ++row) {
        // A line left as it was keeps the name the rules give.
        if (!args.edit || names[row] != ruleNames[row])
            m_typed.set(paths[row], NameCodec::decode(names[row]));
    }
    return true;
}
