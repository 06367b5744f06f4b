#include "cli/clicommand.h"

#include "cli/cliargs.h"
#include "cli/cliformat.h"
#include "cli/clihistory.h"
#include "cli/cliprogress.h"
#include "cli/clisignals.h"
#include "files/filelist.h"
#include "files/zqfile.h"
#include "jobs/listingjob.h"
#include "jobs/runjob.h"
#include "meta/metareader.h"
#include "plan/renameplan.h"
#include "posix/namecodec.h"
#include "posix/nativepath.h"
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

void printLine(std::FILE *out, const QString &line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), out);
}

void printError(const QString &message)
{
    printLine(stderr, QStringLiteral("velnor-rename: ") + message);
}

// The real path of an existing folder, or an empty array.
QByteArray realFolder(const QByteArray &folder)
{
    char *real = ::realpath(folder.constData(), nullptr);
    if (!real)
        return {};
    QByteArray result(real);
    std::free(real);
    return result;
}

// An absolute path without "." or empty components, so that "." and "./a/"
// list the same records as the folder's full path would. Only the file system
// knows where ".." leads through a link, so a path holding it has the folder
// of its last component resolved there: "d/../d/x" and "d/x" then name the
// same record, while the last component, which may itself be a link, stays.
QByteArray absolutePath(const QByteArray &path, const QByteArray &currentFolder)
{
    const QByteArray full = path.startsWith('/') ? path : currentFolder + '/' + path;
    QByteArray clean;
    clean.reserve(full.size());
    bool parentStep = false;
    for (const QByteArray &component : full.split('/')) {
        if (component.isEmpty() || component == ".")
            continue;
        parentStep = parentStep || component == "..";
        clean += '/';
        clean += component;
    }
    if (clean.isEmpty())
        return QByteArrayLiteral("/");
    if (!parentStep)
        return clean;
    const QByteArray last = NativePath::name(clean).toByteArray();
    if (last == "..") {
        const QByteArray real = realFolder(clean);
        return real.isEmpty() ? clean : real;
    }
    const QByteArray folder = realFolder(NativePath::folder(clean));
    if (folder.isEmpty())
        return clean;
    return (folder == "/" ? folder : folder + '/') + last;
}

// What a row says about bytes: where the path or the new name is not UTF-8,
// their exact bytes for a script; a new name refused as too long is
// shortened, since it may run to thousands of characters.
void describeBytes(CliRow &line, const QByteArray &path)
{
    const QByteArray newBytes = NameCodec::encode(line.newName);
    line.undecodable = !NameCodec::isValidUtf8(path) || NameCodec::hasEscapedBytes(line.newName);
    if (line.undecodable) {
        line.pathBytes = path;
        if (newBytes.size() <= 255)
            line.newNameBytes = newBytes;
    }
    if (newBytes.size() > 255)
        line.newName = TextEscape::shortened(line.newName);
}

QByteArray currentFolder()
{
    QByteArray folder(4096, Qt::Uninitialized);
    while (!::getcwd(folder.data(), size_t(folder.size()))) {
        if (errno != ERANGE)
            return {};
        folder.resize(folder.size() * 2);
    }
    folder.truncate(qsizetype(std::strlen(folder.constData())));
    return folder;
}

} // namespace

int CliCommand::run(const QList<QByteArray> &arguments)
{
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
    if (!readPathLists(args))
        return BadArguments;
    CliSignals::install();

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
            here = currentFolder();
            if (here.isEmpty()) {
                printError(QStringLiteral("cannot read the current folder: %1")
                               .arg(QString::fromLocal8Bit(std::strerror(errno))));
                return BadArguments;
            }
        }
        paths << absolutePath(path, here);
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
        listing.setAttributesNeeded(
            [&composer](const ZQFile &file) { return composer.readsFileTime(file); });
        listing.start();
        while (!listing.wait(100)) {
            if (CliSignals::received())
                listing.cancel();
            progress.show(QStringLiteral("Listing files: %1").arg(listing.done()));
        }
        if (CliSignals::received())
            return CliSignals::exitStatus(SomeFailed);
        // Unbatched, the job lists each path once, into a list of its own.
        for (auto &file : listing.takeRecords())
            m_list.appendUnlisted(std::move(file));
        unreadable = listing.unreadableFolders();
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
    const int status = args.apply ? apply(args, composer) : preview(args, composer);
    return CliSignals::exitStatus(status == Success ? listed : status);
}

bool CliCommand::readFacts(const NameComposer &composer)
{
    const RenameSettings &settings = composer.settings();
    MetaReader::Request request;
    request.tags = settings.dateSources.contains(RenameSettings::DateSource::Taken);
    request.contentType = composer.readsContentType();
    for (const QString &key : composer.valueKeys()) {
        request.tags = true;
        // The named values come with every read; only further keys are asked.
        if (!ValueTokens::isNamedKey(key))
            request.keys << key;
    }
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
        m_list.setDateKey([&composer](const ZQFile &file) {
            const ValueTokens::Date date = composer.dateOf(file.ruleFile());
            if (!date.have)
                return std::numeric_limits<qint64>::max();
            if (date.wallClock)
                return date.msecs;
            return date.msecs +
                   qint64(QDateTime::fromMSecsSinceEpoch(date.msecs).offsetFromUtc()) * 1000;
        });
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

bool CliCommand::readPathLists(CliArgs &args)
{
    // Inserted from the last list back, so the earlier places stay right.
    for (qsizetype k = args.filesFrom.size() - 1; k >= 0; --k) {
        const auto &[place, source] = args.filesFrom[k];
        QFile file;
        bool opened = false;
        if (source == "-") {
            opened = file.open(stdin, QIODevice::ReadOnly);
        } else {
            // Opened by its bytes: a decoded name could lead to another file.
            const int fd = ::open(source.constData(), O_RDONLY | O_CLOEXEC);
            opened = fd >= 0 && file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
            if (fd < 0) {
                printError(QStringLiteral("--files-from: '%1': %2")
                               .arg(CliFormat::printable(QString::fromUtf8(source)),
                                    QString::fromLocal8Bit(std::strerror(errno))));
                return false;
            }
        }
        const QByteArray content = opened ? file.readAll() : QByteArray();
        if (!opened || file.error() != QFileDevice::NoError) {
            printError(
                QStringLiteral("--files-from: '%1': %2")
                    .arg(CliFormat::printable(QString::fromUtf8(source)), file.errorString()));
            return false;
        }
        QList<QByteArray> listed;
        for (const QByteArray &path : content.split(args.nullSeparated ? '\0' : '\n')) {
            if (!path.isEmpty())
                listed << path;
        }
        args.paths.insert(place, listed.size(), QByteArray());
        std::copy(listed.cbegin(), listed.cend(), args.paths.begin() + place);
    }
    return true;
}

int CliCommand::preview(const CliArgs &args, const NameComposer &composer)
{
    // The plan the run will follow, so that what is shown is what happens.
    const FileList &list = m_list;
    const RenamePlan plan =
        RenamePlan::make(RenamePlan::filesOf(list, composer.settings().counterPerFolder),
                         [&composer](const RuleFile &file, qint64 row) {
                             return composer.newNameForFile(file, row);
                         });
    const qsizetype total = list.count();
    QList<CliRow> rows(total);
    CliCounts counts;
    for (qsizetype row = 0; row < total; ++row) {
        const ZQFile *file = list.fileAtIndex(row);
        const RenamePlan::Row &planned = plan.row(row);
        CliRow &line = rows[row];
        line.path = file->fullPath();
        line.name = file->name();
        // A name the composer could not make (a value or date the file
        // lacks) shows the old name beside the reason.
        line.newName = ComposedName::isRefused(planned.newName) ? line.name : planned.newName;
        line.undecodable = !CliFormat::isValidUtf8(file->nativePath());
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
        describeBytes(line, file->nativePath());
    }
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
    // What each row was before the run; the records then hold the new names.
    QList<CliRow> rows;
    QList<QByteArray> oldPaths;
    if (args.json) {
        rows.reserve(list.count());
        oldPaths.reserve(list.count());
        for (qint64 row = 0; row < list.count(); ++row) {
            const ZQFile *file = list.fileAtIndex(row);
            CliRow &line = rows.emplace_back();
            line.path = file->fullPath();
            line.name = file->name();
            oldPaths << file->nativePath();
        }
    }

    RenameRun::Report &report = m_report;
    {
        CliProgress progress;
        CliHistory::noteInterrupted();
        RunJob run(list, composer, RenameRun::JournalChoice{!args.noJournal, {}});
        run.start();
        while (!run.wait(100)) {
            if (CliSignals::received())
                run.cancel();
            progress.show(QStringLiteral("Renaming: %1 of %2").arg(run.done()).arg(run.total()));
        }
        run.applyTo(list);
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
            const RenameRun::Entry *entry = entries.value(oldPaths[row]);
            if (!entry) {
                line.newName = line.name;
                line.status = CliRow::Status::Unchanged;
                describeBytes(line, oldPaths[row]);
                continue;
            }
            line.newName = entry->newName;
            describeBytes(line, oldPaths[row]);
            switch (entry->outcome) {
            case RenameRun::Outcome::Renamed:
                line.status = CliRow::Status::Renamed;
                break;
            case RenameRun::Outcome::Unchanged:
                line.status = CliRow::Status::Unchanged;
                break;
            case RenameRun::Outcome::NotAttempted:
                line.status = CliRow::Status::Unchanged;
                break;
            case RenameRun::Outcome::Failed:
                line.status = CliRow::Status::Failed;
                line.reason = entry->error;
                break;
            }
        }
        CliFormat::writeJson(stdout, rows, {report.renamed, report.failed, report.unchanged});
    } else {
        QString summary = QStringLiteral("%1 %2 failed, %3 unchanged")
                              .arg(report.message())
                              .arg(report.failed)
                              .arg(report.unchanged);
        if (report.notAttempted > 0)
            summary += QStringLiteral(", %1 not attempted").arg(report.notAttempted);
        printLine(stdout, summary + QLatin1Char('.'));
    }
    return report.failed > 0 ? SomeFailed : Success;
}
