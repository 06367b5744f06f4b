// SPDX-License-Identifier: GPL-3.0-or-later
#include "rename/journalplan.h"

#include "files/zqfile.h"
#include "plan/renameplan.h"
#include "posix/filedescriptor.h"
#include "posix/fileidentity.h"
#include "posix/mounts.h"
#include "posix/nativepath.h"
#include "rename/filematch.h"
#include "rename/identitylookahead.h"
#include "rename/twohalves.h"

#include <QHash>

#include <fcntl.h>
#include <map>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The journal's moves live only while the journal is written, and the
// entries they point into stay unchanged until then: no copy of each name.
// The new name may lead into a folder below (Entry::base).
QByteArray nameOf(const QByteArray &path, qsizetype start = -1)
{
    if (start < 0)
        start = NativePath::nameStart(path);
    return QByteArray::fromRawData(path.constData() + start, path.size() - start);
}

// The folder's texts, shared by its moves, without a count of users: a
// hundred thousand moves of the plan's two halves would otherwise take
// turns at the same counter.
QByteArray viewOf(const QByteArray &text)
{
    return QByteArray::fromRawData(text.constData(), text.size());
}

} // namespace

namespace JournalPlan {

JournalWriter::MoveSource source(const RenamePlan &plan, const RenameRun::Entry *entries,
                                 const std::vector<std::unique_ptr<ZQFile>> &records,
                                 const std::vector<qint32> &positions,
                                 const std::vector<qint32> &folders, const IdentityLookahead *ahead)
{
    // Each volume's UUID is asked once, from the first of its folders; the
    // texts are shared by the moves of a folder.
    QHash<quint64, QByteArray> volumes;
    auto fileSystemOf = std::make_shared<std::vector<QByteArray>>(plan.facts().size());
    auto volumeOf = std::make_shared<std::vector<QByteArray>>(plan.facts().size());
    // Whether the folder's listed identities can be taken as they are.
    auto lasting = std::make_shared<std::vector<quint8>>(plan.facts().size(), 0);
    std::vector<quint8> seen(plan.facts().size(), 0);
    for (const qint32 folder : folders) {
        if (seen[size_t(folder)])
            continue;
        seen[size_t(folder)] = 1;
        const FolderFacts &facts = plan.facts()[size_t(folder)];
        auto volume = volumes.constFind(facts.device);
        if (volume == volumes.cend()) {
            const FileDescriptor fd(::open(plan.folders()[size_t(folder)].constData(),
                                           O_RDONLY | O_DIRECTORY | O_CLOEXEC));
            volume =
                volumes.insert(facts.device, fd.isOpen() ? Mounts::volumeId(fd.get(), facts.device)
                                                         : QByteArray());
        }
        (*volumeOf)[size_t(folder)] = *volume;
        (*fileSystemOf)[size_t(folder)] = facts.fileSystem.toUtf8();
        (*lasting)[size_t(folder)] = FileMatch::stableInodes((*fileSystemOf)[size_t(folder)]);
    }
    const auto folderOf = [&plan, &folders](qsizetype k) -> const QByteArray & {
        return plan.folders()[size_t(folders[size_t(k)])];
    };
    const auto fill = [&plan, entries, &records, &positions, &folders, ahead, fileSystemOf,
                       volumeOf, lasting](qsizetype from, qsizetype to, JournalMove *out) {
        inTwoHalves(to - from, [&](qsizetype begin, qsizetype end, int) {
            std::map<qint32, FileDescriptor>
                opened; // folder index to descriptor, for the looks one by one
            for (size_t k = size_t(from + begin); k < size_t(from + end); ++k) {
                const RenameRun::Entry &entry = entries[positions[k]];
                const qint32 folder = folders[k];
                const FolderFacts &facts = plan.facts()[size_t(folder)];
                JournalMove &move = out[qsizetype(k) - from];
                move.folder = viewOf(plan.folders()[size_t(folder)]);
                move.oldName = nameOf(entry.oldPath);
                move.newName = nameOf(entry.newPath, entry.base);
                move.device = facts.device;
                move.fileSystem = viewOf((*fileSystemOf)[size_t(folder)]);
                move.volume = viewOf((*volumeOf)[size_t(folder)]);
                move.size = 0;
                const ZQFile &record = *records[size_t(positions[k])];
                std::optional<ZQFile::ListedIdentity> listed;
                if ((*lasting)[size_t(folder)] && !entry.folder) {
                    listed = record.listedIdentity();
                    if (!listed && ahead)
                        listed = ahead->identity(positions[k]);
                }
                if (listed) {
                    // A size and date the listing did not keep are 0 here;
                    // where inode numbers last and the birth time is known,
                    // those two alone tell the file.
                    move.inode = listed->inode;
                    move.size = qint64(record.fullSize());
                    move.modified = record.fileTime() * 1000000;
                    move.born = listed->bornNsecs;
                    continue;
                }
                auto fd = opened.find(folder);
                if (fd == opened.end())
                    fd = opened
                             .emplace(folder, ::open(move.folder.constData(),
                                                     O_PATH | O_DIRECTORY | O_CLOEXEC))
                             .first;
                FileStamp stamp;
                if (fd->second.isOpen() &&
                    readStamp(fd->second.get(),
                              entry.oldPath.constData() + NativePath::nameStart(entry.oldPath),
                              &stamp)) {
                    move.inode = stamp.inode;
                    move.size = stamp.size;
                    move.modified = stamp.modified;
                    move.born = stamp.born;
                }
                // The run's own moves inside a folder change its size and time:
                // a folder is known by its device and inode alone.
                if (entry.folder) {
                    move.size = -1;
                    move.modified = 0;
                    move.born = 0;
                }
            }
        });
    };
    return {qsizetype(positions.size()), folderOf, fill};
}

} // namespace JournalPlan
