// SPDX-License-Identifier: GPL-3.0-or-later
// What a plan is made of, gathered before it decides anything: the listed
// files, their folders and what each folder holds, and the new names:
// composed, typed by hand, or following a companion's lead.
#include "plan/renameplan.h"

#include "files/filelist.h"
#include "plan/typednames.h"
#include "posix/namecodec.h"
#include "posix/nativepath.h"
#include "posix/sidebyside.h"
#include "rules/companionname.h"

#include <QCoreApplication>
#include <QHash>

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

std::vector<RenamePlan::File> RenamePlan::filesOf(const FileList &list, bool counterPerFolder,
                                                  const std::atomic<bool> *cancel)
{
    const qint64 total = list.count();
    const bool counted = counterPerFolder || list.groupsCompanions();
    if (total > 0) {
        // The list works out its folder places and companion groups when
        // first asked: asked here, so that the two halves below only read.
        // (A plan job's worker finds them asked already: its job asks on the
        // list's own thread.)
        if (counted)
            list.counterIndex(0, counterPerFolder);
        list.companionLead(0);
    }
    // Each file's name is decoded into its rule file here, a million of them
    // for a large list: two halves side by side.
    std::vector<File> files(static_cast<size_t>(total));
    std::atomic<bool> stopped = false;
    const auto gather = [&](qint64 from, qint64 to) {
        for (qint64 row = from; row < to; ++row) {
            if (cancel && row % CancelCheckFiles == 0 && cancel->load(std::memory_order_relaxed)) {
                stopped.store(true, std::memory_order_relaxed);
                return;
            }
            const ZQFile *file = list.fileAtIndex(row);
            files[size_t(row)] = {file->nativePath(), file->ruleFile(),
                                  counted ? list.counterIndex(row, counterPerFolder) : row,
                                  list.companionLead(row), list.companionStem(row)};
        }
    };
    const qint64 half = total / 2;
    sideBySideWhen(
        size_t(total) >= ParallelFiles, [&] { gather(0, half); }, [&] { gather(half, total); });
    if (stopped.load(std::memory_order_relaxed))
        return {};
    return files;
}

std::vector<RenamePlan::Listed> RenamePlan::listedOf(const std::vector<File> &files)
{
    std::vector<Listed> listed;
    listed.reserve(files.size());
    for (const File &file : files)
        listed.push_back({&file.path, &file.rule.name, qint32(file.lead)});
    return listed;
}

QString RenamePlan::Listed::currentName() const
{
    return name ? *name : NameCodec::decode(NativePath::lastComponent(*path));
}

bool RenamePlan::Listed::isCurrentName(const QString &text) const
{
    if (name)
        return *name == text;
    const QByteArrayView bytes = NativePath::lastComponent(*path);
    if (NameCodec::isAscii(bytes))
        return text == QLatin1StringView(bytes);
    return text == NameCodec::decode(bytes);
}

namespace {

const QByteArray &pathOf(const RenamePlan::File &file)
{
    return file.path;
}

const QByteArray &pathOf(const RenamePlan::Listed &file)
{
    return *file.path;
}

template<typename Files>
std::vector<QByteArray> foldersOfPaths(const Files &files, std::vector<qint32> *folderOfFile)
{
    std::vector<QByteArray> folders;
    QHash<QByteArray, qint32> indexOf;
    folderOfFile->resize(files.size());
    QByteArray last;
    qint32 lastIndex = -1;
    for (size_t i = 0; i < files.size(); ++i) {
        const QByteArray folder = NativePath::folder(pathOf(files[i]));
        if (lastIndex < 0 || folder != last) {
            auto found = indexOf.find(folder);
            if (found == indexOf.end()) {
                found = indexOf.insert(folder, qint32(folders.size()));
                folders.push_back(folder);
            }
            last = folder;
            lastIndex = *found;
        }
        (*folderOfFile)[i] = lastIndex;
    }
    return folders;
}

} // namespace

std::vector<QByteArray> RenamePlan::foldersOf(const std::vector<File> &files,
                                              std::vector<qint32> *folderOfFile)
{
    return foldersOfPaths(files, folderOfFile);
}

std::vector<QByteArray> RenamePlan::foldersOf(const std::vector<Listed> &files,
                                              std::vector<qint32> *folderOfFile)
{
    return foldersOfPaths(files, folderOfFile);
}

std::vector<FolderFacts> RenamePlan::gatherFacts(const std::vector<QByteArray> &folders,
                                                 const std::vector<bool> &needsNames,
                                                 ReadAhead *ahead)
{
    std::vector<FolderFacts> facts(folders.size());
    std::vector<bool> taken(folders.size(), false);
    if (ahead) {
        for (size_t i = 0; i < folders.size(); ++i) {
            const auto found = ahead->find(folders[i]);
            if (found == ahead->end() || (needsNames[i] && !found->second.namesRead))
                continue;
            facts[i] = std::move(found->second);
            ahead->erase(found);
            taken[i] = true;
        }
    }
    // Reading a folder waits mostly on the kernel: two threads read two
    // folders at a time, each taking the next folder as it is done.
    std::atomic<size_t> next{0};
    const auto reader = [&] {
        for (size_t i = next++; i < folders.size(); i = next++) {
            if (!taken[i])
                facts[i] = FolderFactsReader::read(folders[i], needsNames[i]);
        }
    };
    if (folders.size() < 4) {
        reader();
        return facts;
    }
    sideBySide(reader, reader);
    return facts;
}

std::vector<QString> RenamePlan::composeNames(const std::vector<File> &files,
                                              const NewNames &newNames,
                                              const std::atomic<bool> *cancel)
{
    // Two halves side by side, one on a helper thread.
    std::vector<QString> names(files.size());
    std::atomic<bool> stopped{false};
    const auto compose = [&](size_t from, size_t to) {
        for (size_t i = from; i < to; ++i) {
            if (i % CancelCheckFiles == 0 &&
                (stopped.load(std::memory_order_relaxed) ||
                 (cancel && cancel->load(std::memory_order_relaxed)))) {
                stopped = true;
                return;
            }
            if (files[i].lead < 0)
                names[i] = newNames(files[i].rule, files[i].index < 0 ? qint64(i) : files[i].index);
        }
    };
    const size_t half = files.size() / 2;
    if (files.size() >= ParallelFiles) {
        sideBySide([&] { compose(0, half); }, [&] { compose(half, files.size()); });
    } else {
        compose(0, files.size());
    }
    if (stopped)
        return {};
    return names;
}

RenamePlan::FollowLead RenamePlan::companionRule(const RenameSettings &settings)
{
    return [settings](const File &lead, const QString &leadNewName, const File &companion) {
        return TextRules::companionName(settings, lead.rule.name, leadNewName, companion.rule.name,
                                        companion.stem);
    };
}

void RenamePlan::followLeads(const std::vector<File> &files, std::vector<QString> &names,
                             const FollowLead &follow, const TypedNames *typed)
{
    for (size_t i = 0; i < files.size() && i < names.size(); ++i) {
        const File &file = files[i];
        if (file.lead < 0 || (typed && typed->find(file.path)))
            continue;
        const auto lead = size_t(file.lead);
        names[i] = follow ? follow(files[lead], names[lead], file) : file.rule.name;
    }
}

RenamePlan RenamePlan::make(const std::vector<File> &files, const NewNames &newNames,
                            const std::atomic<bool> *cancel, const TypedNames *typed,
                            const FollowLead &follow, bool uniqueNames, bool makeFolders,
                            ReadAhead *ahead)
{
    std::vector<QString> names = composeNames(files, newNames, cancel);
    if (names.size() != files.size() || (cancel && cancel->load()))
        return RenamePlan();
    if (typed)
        typed->applyTo(files, names);
    followLeads(files, names, follow, typed);
    return fromNames(listedOf(files), std::move(names), uniqueNames, makeFolders, ahead);
}

RenamePlan RenamePlan::fromNames(const std::vector<File> &files, std::vector<QString> names,
                                 bool uniqueNames, bool makeFolders)
{
    return fromNames(listedOf(files), std::move(names), uniqueNames, makeFolders);
}

RenamePlan RenamePlan::fromNames(const std::vector<Listed> &files, std::vector<QString> names,
                                 bool uniqueNames, bool makeFolders, ReadAhead *ahead)
{
    std::vector<qint32> folderOfFile;
    std::vector<QByteArray> folders = foldersOf(files, &folderOfFile);
    std::vector<bool> needsNames(folders.size(), false);
    for (size_t i = 0; i < files.size(); ++i) {
        if (!files[i].isCurrentName(names[i]))
            needsNames[size_t(folderOfFile[i])] = true;
    }
    std::vector<FolderFacts> facts = gatherFacts(folders, needsNames, ahead);
    TargetFacts targets;
    if (makeFolders) {
        std::vector<QByteArray> targetFolders;
        for (size_t i = 0; i < files.size(); ++i) {
            const qsizetype slash = names[i].lastIndexOf(u'/');
            if (slash < 0 || files[i].isCurrentName(names[i]))
                continue;
            const QByteArray &folder = folders[size_t(folderOfFile[i])];
            targetFolders.push_back((folder.endsWith('/') ? folder : folder + '/') +
                                    NameCodec::encode(names[i].first(slash)));
        }
        std::sort(targetFolders.begin(), targetFolders.end());
        targetFolders.erase(std::unique(targetFolders.begin(), targetFolders.end()),
                            targetFolders.end());
        targets = gatherTargetFacts(targetFolders);
    }
    return compute(files, std::move(names), folderOfFile, std::move(folders), std::move(facts),
                   uniqueNames, makeFolders, targets);
}

RenamePlan::TargetFacts RenamePlan::gatherTargetFacts(const std::vector<QByteArray> &targets)
{
    TargetFacts facts;
    for (const QByteArray &target : targets) {
        struct stat info;
        if (::stat(target.constData(), &info) == 0 || (errno != ENOENT && errno != ENOTDIR)) {
            facts.emplace(target, FolderFactsReader::read(target, true));
            continue;
        }
        // The nearest parent that is there decides whether the folders can
        // be made, and on which file system.
        QByteArray parent = target;
        FolderFacts made;
        for (;;) {
            const qsizetype slash = parent.lastIndexOf('/');
            parent = slash <= 0 ? QByteArray("/") : parent.first(slash);
            if (::stat(parent.constData(), &info) == 0 || (errno != ENOENT && errno != ENOTDIR) ||
                parent == "/")
                break;
        }
        made = FolderFactsReader::read(parent, false);
        made.missing = true;
        if (!S_ISDIR(info.st_mode)) {
            made.opened = false;
            made.openError = QCoreApplication::translate("RenamePlan", "%1 is not a folder.")
                                 .arg(QStringLiteral("“%1”").arg(NameCodec::decode(parent)));
        }
        facts.emplace(target, std::move(made));
    }
    return facts;
}
