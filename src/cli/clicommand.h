// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/clihistory.h"
#include "files/filelist.h"
#include "plan/renameplan.h"
#include "plan/typednames.h"
#include "rename/renamerun.h"

#include <QByteArray>
#include <QList>

#include <memory>

class CliArgs;
class NameComposer;

// velnor-rename from its arguments to its exit status: lists the PATHs as the
// window's intake does, then previews the new names or runs the renaming.
class CliCommand
{
public:
    enum ExitStatus
    {
        Success = 0,
        SomeFailed = 1,
        BadArguments = 2
    };

    // The arguments after the program name, as raw bytes.
    int run(const QList<QByteArray> &arguments);

private:
    // Says why a regular-expression search cannot work, and returns false then.
    static bool searchIsValid(const NameComposer &composer);
    // A row of --map: the path as written and as listed, and its new name.
    struct MapEntry
    {
        QByteArray path;
        QByteArray absolutePath;
        QByteArray newName;
    };
    // Puts the paths of every --files-from list and of the --map into
    // args.paths, in place.
    static bool readPathLists(CliArgs &args, QList<MapEntry> *map);
    static bool readMap(const QByteArray &source, const QByteArray &content, QList<MapEntry> *map);
    // The names by hand of --map, --names-from (`names`) or --edit for the
    // listed files.
    bool typeNames(const CliArgs &args, const NameComposer &composer, const QList<MapEntry> &map,
                   QList<QByteArray> names);
    // Hands every record the facts the settings need (tags, birth time),
    // read by the helper programs; false when interrupted.
    bool readFacts(const NameComposer &composer);
    // Whether the listing makes the facts of the folders it walks, for a
    // plan whose rules may rename files there.
    static bool factsWhileListing(const CliArgs &args, const NameComposer &composer);
    int preview(const CliArgs &args, const NameComposer &composer);
    int apply(const CliArgs &args, const NameComposer &composer);

    FileList m_list;
    RenameRun::Report m_report;
    TypedNames m_typed;
    RenamePlan::ReadAhead m_readAhead;
    std::unique_ptr<CliHistory::LastRun> m_lastRun; // for a run
};
