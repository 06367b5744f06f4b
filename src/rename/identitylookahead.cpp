// SPDX-License-Identifier: GPL-3.0-or-later
#include "rename/identitylookahead.h"

#include "plan/folderfacts.h"
#include "posix/filedescriptor.h"
#include "posix/fileidentity.h"
#include "posix/nativepath.h"
#include "posix/sidebyside.h"

#include <fcntl.h>
#include <system_error>
#include <unordered_map>

namespace {

// Below this many files the thread costs more than the looks it spares.
constexpr size_t LeastFiles = 256;

struct OpenFolder
{
    FileDescriptor fd;
    bool lasting = false;
};

} // namespace

IdentityLookahead::IdentityLookahead(const std::vector<std::unique_ptr<ZQFile>> &records)
    : m_records(records)
{
    if (records.size() < LeastFiles || processorsAllowed() < 2)
        return;
    try {
        m_thread = std::jthread([this] { read(); });
    } catch (const std::system_error &) {
        // No thread to be had: the journal looks at each file, as without.
    }
}

IdentityLookahead::~IdentityLookahead()
{
    finish();
}

void IdentityLookahead::finish()
{
    m_stop.store(true, std::memory_order_relaxed);
    if (m_thread.joinable())
        m_thread.join();
}

void IdentityLookahead::read()
{
    // Each folder opened once; files of many folders may come in any order,
    // so a few hundred stay open at a time.
    std::unordered_map<QByteArray, OpenFolder> folders;
    const OpenFolder *open = nullptr;
    QByteArrayView openPath; // the folder part of the paths of `open`'s files
    for (size_t position = 0; position < m_records.size(); ++position) {
        if (position % 256 == 0 && m_stop.load(std::memory_order_relaxed))
            return;
        const ZQFile &record = *m_records[position];
        if (record.isDirectory() || record.listedIdentity())
            continue;
        const QByteArray &path = record.nativePath();
        const qsizetype nameStart = NativePath::nameStart(path);
        if (!open || QByteArrayView(path.constData(), nameStart) != openPath) {
            const QByteArray folder = NativePath::openableFolder(path);
            auto found = folders.find(folder);
            if (found == folders.end()) {
                if (folders.size() >= 256)
                    folders.clear();
                OpenFolder opened;
                opened.fd.reset(::open(folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
                opened.lasting =
                    opened.fd.isOpen() && FolderFactsReader::lastingInodes(opened.fd.get());
                found = folders.emplace(folder, std::move(opened)).first;
            }
            open = &found->second;
            openPath = QByteArrayView(path.constData(), nameStart);
        }
        FileStamp stamp;
        if (!open->lasting || !readStamp(open->fd.get(), path.constData() + nameStart, &stamp) ||
            stamp.inode == 0 || stamp.born == 0)
            continue;
        if (m_read.empty())
            m_read.assign(m_records.size(), {0, 0});
        m_read[position] = {stamp.inode, stamp.born};
    }
}

std::optional<ZQFile::ListedIdentity> IdentityLookahead::identity(qsizetype position) const
{
    if (m_read.empty() || m_read[size_t(position)].inode == 0)
        return std::nullopt;
    return m_read[size_t(position)];
}
