// SPDX-License-Identifier: GPL-3.0-or-later
#include "rename/journalplan.h"

#include "plan/renameplan.h"
#include "posix/filedescriptor.h"
#include "posix/nativepath.h"
#include "rename/twohalves.h"

#include <QHash>

#include <fcntl.h>
#include <map>
#include <string_view>
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

} // namespace

namespace JournalPlan {

QList<JournalMove> moves(const RenamePlan &plan, const RenameRun::Entry *entries,
                         const std::vector<qsizetype> &positions,
                         const std::vector<qint32> &folders)
{
    QList<JournalMove> result(qsizetype(positions.size()));
    JournalMove *const out = result.data();
    inTwoHalves(qsizetype(positions.size()), [&](qsizetype begin, qsizetype end, int) {
        std::map<qint32, FileDescriptor>
            opened; // folder index to descriptor, for the looks one by one
        for (size_t k = size_t(begin); k < size_t(end); ++k) {
            const RenameRun::Entry &entry = entries[positions[k]];
            const qint32 folder = folders[k];
            const FolderFacts &facts = plan.facts()[size_t(folder)];
            JournalMove &move = out[k];
            move.folder = plan.folders()[size_t(folder)];
            move.oldName = nameOf(entry.oldPath);
            move.newName = nameOf(entry.newPath, entry.base);
            if (facts.inodesMatchStat) {
                const qint64 index = facts.indexOf(
                    std::string_view(move.oldName.constData(), size_t(move.oldName.size())));
                if (index >= 0) {
                    move.device = facts.device;
                    move.inode = facts.inodes[size_t(index)];
                }
            } else {
                auto fd = opened.find(folder);
                if (fd == opened.end())
                    fd = opened
                             .emplace(folder, ::open(move.folder.constData(),
                                                     O_PATH | O_DIRECTORY | O_CLOEXEC))
                             .first;
                struct stat info;
                if (fd->second.isOpen() &&
                    ::fstatat(fd->second.get(),
                              entry.oldPath.constData() + NativePath::nameStart(entry.oldPath),
                              &info, AT_SYMLINK_NOFOLLOW) == 0) {
                    move.device = quint64(info.st_dev);
                    move.inode = quint64(info.st_ino);
                }
            }
        }
    });
    return result;
}

} // namespace JournalPlan
