// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/clicommand.h"

#include "cli/cliargs.h"
#include "cli/cliformat.h"
#include "cli/clihistory.h"
#include "cli/clinames.h"
#include "cli/cliprogress.h"
#include "cli/clisignals.h"
#include "files/counttext.h"
#include "files/filelist.h"
#include "files/zqfile.h"
#include "jobs/listingjob.h"
#include "jobs/runjob.h"
#include "meta/metareader.h"
#include "plan/renameplan.h"
#include "plan/typednames.h"
#include "posix/namecodec.h"
#include "posix/nativepath.h"
#include "posix/sidebyside.h"
#include "posix/textescape.h"
#include "rename/renamepresets.h"
#include "rename/renamerun.h"
#include "rename/userdefaults.h"
#include "rules/namecomposer.h"

#include <QDateTime>
#include <QFile>
#include <QHash>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using CliNames::printError;
using CliNames::printLine;

// What a row says about bytes: where the path or the new name is not UTF-8,
// their exact bytes for a script; a new name refused as too long is
// shortened, since it may run to thousands of characters.
void describeBytes(CliRow &line)
{
    line.undecodable =
        !CliFormat::isValidUtf8(line.path) || NameCodec::hasEscapedBytes(line.newName);
    // No unit takes more than three bytes: a short name that is UTF-8 needs
    // no encoding to tell, which spares a million rows their copies.
    if (!line.undecodable && line.newName.size() * 3 <= 255)
        return;
    const QByteArray newBytes = NameCodec::encode(line.newName);
    if (line.undecodable && newBytes.size() <= 255)
        line.newNameBytes = newBytes;
    if (newBytes.size() > 255)
        line.newName = TextEscape::shortened(line.newName);
}

} // namespace

int CliCommand::run(const QList<QByteArray> &arguments)
{
    // Scripts read the counts of the summary line.
    CountText::usePlainNumbers();
    CliArgs args;
    QString error;
    // The presets live in the user defaults, opened only when an option asks.
    std::unique_ptr<UserDefaults> defaults;
    auto presets = [&defaults] {
        if (!defaults)
            defaults = std::make_unique<UserDefaults>();
        return RenamePresets(*defaults);
    };
    args.presetLookup = [&presets](const QString &name, RenameSettings *settings) {
        const std::optional<RenameSettings> preset = presets().load(name);
        if (preset)
            *settings = *preset;
        return preset.has_value();
    };
    if (!args.parse(arguments, &error)) {
        printError(error);
        return BadArguments;
    }
    if (args.help) {
        printLine(stdout, CliArgs::helpText().trimmed());
        return Success;
    }
    if (args.version) {
        printLine(stdout, QStringLiteral("velnor-rename " VELNOR_VERSION));
        return Success;
    }
    if (args.history)
        return CliHistory::list(args.json);
    if (args.undo || args.redo)
        return CliHistory::undo(args);
    if (!searchIsValid(NameComposer(args.settings)))
        return BadArguments;
    if (args.listPresets) {
        for (const QString &name : presets().names())
            printLine(stdout, CliFormat::printable(name));
        return Success;
    }
    if (!args.savePreset.isEmpty()) {
        presets().save(args.savePreset, args.settings);
        return Success;
    }
    QList<MapEntry> map;
    QList<QByteArray> names;
    if (!readPathLists(args, &map) ||
        (!args.namesFrom.isEmpty() && !CliNames::readNameList(args.namesFrom, &names)))
        return BadArguments;
    CliSignals::install();
    if (args.apply)
        m_lastRun = std::make_unique<CliHistory::LastRun>();

    // Every PATH is checked before the first is listed, so that a typing
    // error renames nothing.
    QByteArray here;
    QList<QByteArray> paths;
    paths.reserve(args.paths.size());
    for (const QByteArray &path : std::as_const(args.paths)) {
        struct stat info;
        if (::lstat(path.constData(), &info) != 0) {
            const QString reason = QString::fromLocal8Bit(std::strerror(errno));
            printError(QStringLiteral("'%1': %2").arg(TextEscape::path(path), reason));
            return BadArguments;
        }
        if (!path.startsWith('/') && here.isEmpty()) {
            here = NativePath::currentFolder();
            if (here.isEmpty()) {
                printError(QStringLiteral("cannot read the current folder: %1")
                               .arg(QString::fromLocal8Bit(std::strerror(errno))));
                return BadArguments;
            }
        }
        paths << NativePath::absolute(path, here);
    }

    // Neither size nor date is shown here: the walk leaves them unread unless
    // the list is sorted by one of them, and only the files whose new names
    // may hold their date have it read.
    const bool sortsByAttributes =
        args.sortColumn == FileList::Size || args.sortColumn == FileList::Date;
    const NameComposer composer(args.settings);
    QByteArrayList unreadable;
    {
        CliProgress progress;
        ListingJob listing(paths);
        listing.setBatched(false);
        listing.setReadsAttributes(sortsByAttributes);
        listing.setFilter({args.include, args.exclude, args.settings.ignoreCase, args.noHidden});
        listing.setRows(args.settings.rows);
        listing.setAttributesNeeded([&composer](const ZQFile &file) {
            const QByteArrayView bytes = file.nameBytes();
            return bytes.isEmpty() ? composer.readsFileTime(file) : composer.readsFileTime(bytes);
        });
        // A small folder costs a preview's plan little to read again itself.
        // A run's plan shares the processors with the journal's look at each
        // file, so a run takes the names of folders from a hundred on (on
        // ext4, reading a folder builds a tree of all its names by hash); but
        // not of a folder so large that its names, held beside the listing's
        // own, would raise the run's peak of memory: the plan reads that one
        // once the listing has let go.
        if (factsWhileListing(args, composer)) {
            if (args.apply)
                listing.setFolderFacts(128, 65536);
            else
                listing.setFolderFacts(1024);
        }
        listing.start();
        progress.waitFor(listing,
                         [&] { return QStringLiteral("Listing files: %1").arg(listing.done()); });
        if (CliSignals::received())
            return CliSignals::exitStatus(SomeFailed);
        // Unbatched, the job lists each path once, into a list of its own.
        for (auto &file : listing.takeRecords())
            m_list.appendUnlisted(std::move(file));
        unreadable = listing.unreadableFolders();
        m_readAhead = listing.takeFolderFacts();
        const auto identities = listing.folderIdentities();
        for (auto it = identities.cbegin(); it != identities.cend(); ++it)
            m_list.setFolderIdentity(it.key(), it.value());
    }
    // An incomplete list is no success, whatever comes of it.
    for (const QByteArray &folder : std::as_const(unreadable))
        printError(QStringLiteral("'%1': cannot read the folder; its files are not listed")
                       .arg(CliFormat::printable(QString::fromUtf8(folder))));
    const int listed = unreadable.isEmpty() ? Success : SomeFailed;
    if (composer.readsFacts() && !readFacts(composer))
        return CliSignals::exitStatus(SomeFailed);
    m_list.setNaturalOrder(args.natural);
    if (!args.sortColumn.isEmpty()) {
        m_list.setLastColumn(args.sortColumn);
        m_list.performSort();
    }
    m_list.setSortDescending(args.sortDescending);
    m_list.setGroupsCompanions(args.settings.companions);
    if (!typeNames(args, composer, map, names))
        return BadArguments;
    const int status = args.apply ? apply(args, composer) : preview(args, composer);
    return CliSignals::exitStatus(status == Success ? listed : status);
}

bool CliCommand::factsWhileListing(const CliArgs &args, const NameComposer &composer)
{
    // Not for a run that waits between its listing and its plan (for the
    // names typed in an editor, or for what is read inside each file): it
    // reads its folders when it plans, as they are then. Nor where no name
    // changes: the default rules with no names given by hand.
    if (args.apply && (args.edit || composer.readsFacts()))
        return false;
    return !(args.settings == RenameSettings() && !args.edit && args.namesFrom.isEmpty() &&
             args.mapFile.isEmpty());
}

bool CliCommand::readFacts(const NameComposer &composer)
{
    const RenameSettings &settings = composer.settings();
    const MetaReader::Request request = MetaReader::requestFor(composer);
    std::vector<QByteArray> paths;
    paths.reserve(size_t(m_list.count()));
    for (const auto &file : m_list.contentsArray())
        paths.push_back(file->nativePath());
    MetaReader reader;
    std::vector<std::shared_ptr<const FileFacts>> facts;
    {
        CliProgress progress;
        std::atomic<bool> cancel{false};
        facts = reader.read(
            paths, request,
            [&](qsizetype done) {
                if (CliSignals::received())
                    cancel = true;
                progress.show(
                    QStringLiteral("Reading metadata: %1 of %2").arg(done).arg(paths.size()));
            },
            &cancel);
    }
    if (CliSignals::received())
        return false;
    const auto &files = m_list.contentsArray();
    for (size_t i = 0; i < files.size(); ++i)
        files[i]->setFacts(std::move(facts[i]));
    if (settings.readsOtherDates()) {
        // --sort date sorts by the date the tokens use: a wall-clock date by
        // its fields, an instant by its local fields, a file without one last.
        m_list.setDateKey(
            [&composer](const ZQFile &file) { return composer.dateSortKey(file.ruleFile()); });
    }
    return true;
}

bool CliCommand::searchIsValid(const NameComposer &composer)
{
    if (composer.searchIsValid())
        return true;
    const PatternSearch &pattern = composer.pattern();
    if (pattern.fault() == PatternSearch::Fault::Pattern)
        printError(QStringLiteral("--search: invalid regular expression: %1 at offset %2")
                       .arg(pattern.errorString())
                       .arg(pattern.errorOffset()));
    else
        printError(QStringLiteral("--replace: %1 at offset %2")
                       .arg(pattern.errorString())
                       .arg(pattern.errorOffset()));
    return false;
}

int CliCommand::preview(const CliArgs &args, const NameComposer &composer)
{
    // The plan the run will follow, so that what is shown is what happens.
    const FileList &list = m_list;
    const RenamePlan plan = RenamePlan::make(
        RenamePlan::filesOf(list, composer.settings().counterPerFolder),
        [&composer](const RuleFile &file, qint64 row) {
            return composer.newNameForFile(file, row);
        },
        nullptr, &m_typed, RenamePlan::companionRule(composer.settings()),
        composer.settings().uniqueNames, composer.settings().makeFolders, &m_readAhead);
    m_readAhead.clear(); // what the plan did not take, it had no use for
    const qsizetype total = list.count();
    QList<CliRow> rows(total);
    // Each row copies its names and looks at their bytes: for a million
    // rows, two halves side by side, each counting its own.
    CliCounts halves[2];
    CliRow *const lines = rows.data(); // detached once, before the halves
    const auto describe = [&](qsizetype from, qsizetype to, CliCounts &counts) {
        for (qsizetype row = from; row < to; ++row) {
            const ZQFile *file = list.fileAtIndex(row);
            const RenamePlan::Row &planned = plan.row(row);
            CliRow &line = lines[row];
            line.path = file->nativePath();
            line.name = file->name();
            // A name the composer could not make (a value or date the file
            // lacks) shows the old name beside the reason.
            line.newName = ComposedName::isRefused(planned.newName) ? line.name : planned.newName;
            switch (planned.status) {
            case RenamePlan::Status::Unchanged:
                line.status = CliRow::Status::Unchanged;
                ++counts.unchanged;
                break;
            case RenamePlan::Status::Move:
                line.status = CliRow::Status::Rename;
                ++counts.renamed;
                break;
            case RenamePlan::Status::Refused:
            case RenamePlan::Status::Conflict:
                line.status = CliRow::Status::Invalid;
                line.reason = planned.reason;
                ++counts.failed;
                break;
            }
            describeBytes(line);
        }
    };
    const qsizetype half = total / 2;
    constexpr qsizetype ParallelRows = 20000; // fewer are not worth a thread
    sideBySideWhen(
        total >= ParallelRows, [&] { describe(0, half, halves[0]); },
        [&] { describe(half, total, halves[1]); });
    const CliCounts counts{halves[0].renamed + halves[1].renamed,
                           halves[0].failed + halves[1].failed,
                           halves[0].unchanged + halves[1].unchanged};
    if (args.json) {
        CliFormat::writeJson(stdout, rows, counts);
    } else {
        CliFormat::writeTable(stdout, rows);
        printLine(stdout, QStringLiteral("%1: %2 to rename, %3 unchanged, %4 would fail.")
                              .arg(FileList::countText(list.count()))
                              .arg(counts.renamed)
                              .arg(counts.unchanged)
                              .arg(counts.failed));
    }
    return Success;
}

int CliCommand::apply(const CliArgs &args, const NameComposer &composer)
{
    FileList &list = m_list;
    // What each row was before the run, for the report of each file.
    QList<CliRow> rows;
    if (args.json) {
        rows.reserve(list.count());
        for (qint64 row = 0; row < list.count(); ++row) {
            const ZQFile *file = list.fileAtIndex(row);
            CliRow &line = rows.emplace_back();
            line.path = file->nativePath();
            line.name = file->name();
        }
    }

    RenameRun::Report &report = m_report;
    {
        CliProgress progress;
        m_lastRun->note();
        RunJob run(list, composer, RenameRun::JournalChoice{!args.noJournal, {}}, m_typed);
        // This thread only waits: the run needs no copy of a million records.
        run.runInPlace(list);
        run.setFolderFacts(std::move(m_readAhead));
        run.start();
        progress.waitFor(run, [&] {
            return QStringLiteral("Renaming: %1 of %2").arg(run.done()).arg(run.total());
        });
        report = run.report();
    }
    if (!report.journalError.isEmpty()) {
        printError(QStringLiteral("%1; nothing was renamed (--no-journal renames without one)")
                       .arg(report.journalError));
        return SomeFailed;
    }

    if (args.json) {
        QHash<QByteArray, const RenameRun::Entry *> entries;
        entries.reserve(report.entries.size());
        for (const RenameRun::Entry &entry : std::as_const(report.entries))
            entries.insert(entry.oldPath, &entry);
        for (qsizetype row = 0; row < rows.size(); ++row) {
            CliRow &line = rows[row];
            const RenameRun::Entry *entry = entries.value(line.path);
            if (!entry) {
                line.newName = line.name;
                line.status = CliRow::Status::Unchanged;
                describeBytes(line);
                continue;
            }
            line.newName = entry->newName;
            describeBytes(line);
            switch (entry->outcome) {
            case RenameRun::Outcome::Renamed:
                line.status = CliRow::Status::Renamed;
                break;
            case RenameRun::Outcome::Unchanged:
                line.status = CliRow::Status::Unchanged;
                break;
            case RenameRun::Outcome::NotAttempted:
                line.status = CliRow::Status::NotAttempted;
                break;
            case RenameRun::Outcome::Failed:
                line.status = CliRow::Status::Failed;
                line.reason = entry->error;
                break;
            }
        }
        CliFormat::writeJson(
            stdout, rows, {report.renamed, report.failed, report.unchanged, report.notAttempted});
    } else {
        QString summary = QStringLiteral("%1 %2 failed, %3 unchanged")
                              .arg(report.message())
                              .arg(report.failed)
                              .arg(report.unchanged);
        if (report.notAttempted > 0)
            summary += QStringLiteral(", %1 not attempted").arg(report.notAttempted);
        printLine(stdout, summary + QLatin1Char('.'));
    }
    if (!report.journalFailure.isEmpty()) {
        printError(QStringLiteral("the journal could no longer be written (%1), so the run "
                                  "stopped; `velnor-rename --undo` takes back what it renamed")
                       .arg(report.journalFailure));
        return SomeFailed;
    }
    return report.failed > 0 ? SomeFailed : Success;
}
