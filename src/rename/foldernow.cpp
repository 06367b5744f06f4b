// SPDX-License-Identifier: GPL-3.0-or-later
#include "rename/foldernow.h"

#include "posix/mounts.h"
#include "rename/filematch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QByteArray VolumeIds::of(int folder, quint64 device)
{
    const std::lock_guard lock(m_mutex);
    auto found = m_ids.constFind(device);
    if (found == m_ids.cend())
        found = m_ids.insert(device, Mounts::volumeId(folder, device));
    return *found;
}

FolderNow::FolderNow(const QByteArray &folder, VolumeIds &volumes)
    : m_facts(FolderFactsReader::read(folder, true))
{
    if (!m_facts.opened)
        return;
    m_fd.reset(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (m_fd.isOpen())
        m_volume = volumes.of(m_fd.get(), m_facts.device);
}

bool FolderNow::has(const QByteArray &name) const
{
    // A file in a folder below, which the listing does not hold, is
    // looked at on its own.
    if (m_facts.namesRead && !name.contains('/'))
        return m_facts.hasName(name);
    struct stat info;
    return m_fd.isOpen() &&
           ::fstatat(m_fd.get(), name.constData(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

bool FolderNow::holds(const QByteArray &name, const JournalMove &move) const
{
    FileStamp now;
    return move.inode != 0 && has(name) && onRecordedVolume(move) &&
           readStamp(m_fd.get(), name.constData(), &now) && FileMatch::sameFile(move, now);
}

bool FolderNow::sameInode(const QByteArray &name, const JournalMove &move) const
{
    FileStamp now;
    return m_fd.isOpen() && readStamp(m_fd.get(), name.constData(), &now) &&
           now.inode == move.inode && now.device == move.device;
}

QByteArray FolderNow::nameOf(const JournalMove &move) const
{
    if (move.inode == 0 || !onRecordedVolume(move))
        return {};
    if (!m_stampsRead) {
        m_stampsRead = true;
        for (const std::string_view name : m_facts.names) {
            const QByteArray bytes(name.data(), qsizetype(name.size()));
            FileStamp stamp;
            if (m_fd.isOpen() && readStamp(m_fd.get(), bytes.constData(), &stamp)) {
                m_byInode.insert(stamp.inode, m_stamps.size());
                m_bySize.insert(stamp.size, m_stamps.size());
                m_stamps.push_back({bytes, stamp});
            }
        }
    }
    const bool byInode = move.size < 0 || FileMatch::stableInodes(move.fileSystem);
    const QMultiHash<qint64, size_t> &index = byInode ? m_byInode : m_bySize;
    QByteArray found;
    for (auto it = index.constFind(byInode ? qint64(move.inode) : move.size);
         it != index.cend() && it.key() == (byInode ? qint64(move.inode) : move.size); ++it) {
        const auto &[name, stamp] = m_stamps[*it];
        if (!FileMatch::sameFile(move, stamp))
            continue;
        if (!found.isEmpty())
            return {};
        found = name;
    }
    return found;
}

bool FolderNow::onRecordedVolume(const JournalMove &move) const
{
    return m_fd.isOpen() && FileMatch::sameVolume(move, m_volume, m_facts.device);
}
