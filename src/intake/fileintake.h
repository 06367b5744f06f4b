// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "intake/listingfilter.h"
#include "posix/fileidentity.h"
#include "rules/renamesettings.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QByteArrayView>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

class FileList;
class ZQFile;

// Turns handed-over paths into records at the end of a FileList. Works on
// native byte paths and walks folders with POSIX calls, so that names which
// are not valid UTF-8 are listed like any other.
class FileIntake
{
public:
    explicit FileIntake(FileList &list);
    ~FileIntake();

    // A folder with more entries than this has them looked at on two threads.
    // Measured on ext4 with a warm cache: below about 100 entries, handing
    // them over costs what the second thread gains.
    static constexpr qsizetype ParallelStatThreshold = 128;
    // Where sizes and dates are read, the folder after one of at least this
    // many entries is read ahead of the walk.
    static constexpr qsizetype ReadAheadThreshold = 512;

    // Lists a file (true), or walks a folder at every depth, following links
    // to folders but never entering a folder twice in one walk (false). A path already listed is
    // refused (false). A path with no readable attributes still becomes a record, without size and
    // date. A folder's entries come in the byte order of their names. An empty path, or one holding
    // a NUL byte, is no path (false).
    bool insertFile(const QByteArray &nativePath);
    bool insertFile(const QString &path);

    // Which entries of the folders walked are listed; paths handed over are
    // listed whatever it says.
    void setFilter(ListingFilter filter) { m_filter = std::move(filter); }

    // Whether files, folders or both become rows. Folders: each folder a
    // walk enters, and each folder handed over, is a record of its own
    // ahead of what it holds (the root of the file system never is); files
    // are then left out, also those handed over by path.
    void setRows(RenameSettings::Rows rows) { m_rows = rows; }

    // Called every `interval` records during a long walk with the number of
    // records added so far by this intake.
    void setProgress(std::function<void(qsizetype added)> progress, qsizetype interval = 4096);
    qsizetype added() const { return m_added; }

    // Folders that were there but could not be read (no permission, too
    // many open files), in the order met; folders that vanished during the
    // walk are not among them. The list is then incomplete.
    QByteArrayList unreadableFolders() const { return m_unreadableFolders; }

    // A walk that sees the flag set stops before its next entry; what was
    // listed stays listed. Null for none; the flag must outlive the walks.
    void setCancelFlag(const std::atomic<bool> *cancel) { m_cancel = cancel; }

    // Whether a walk reads the size and date of each file (the default). A
    // caller that shows neither can leave them unread: plain files are then
    // known from their folder's listing, without a call each, and their
    // records come without size and date until readAttributes. Files handed
    // over by path are always read.
    void setReadsAttributes(bool reads);
    // Reads the size and date of a listed file as the walk would have.
    static bool readAttributes(ZQFile &file);
    // With sizes and dates left unread, the records that have them read all
    // the same, each as soon as it is made.
    void setAttributesNeeded(std::function<bool(const ZQFile &)> needed);
    // Called with each folder the walk reads, once its entries are read and
    // before its records are made: its path, which folder it was, how many
    // entries it holds and their names (all but "." and ".."), in the order
    // read, each followed by a NUL byte. The names live only for the call.
    using FolderRead = std::function<void(const QByteArray &path, const FileIdentity &folder,
                                          size_t count, const std::string &names)>;
    void setFolderRead(FolderRead read) { m_folderRead = std::move(read); }

private:
    struct Attributes;
    struct Frame;
    class StatHelper;
    class Prefetcher;
    // The reading thread, started with the first folder of a walk that
    // leaves sizes and dates unread.
    Prefetcher *prefetcher();
    // The folder the walk will read next, as far as can be told now; empty
    // when there is none.
    QByteArray nextFolder() const;
    // The helper thread, started with the first large folder.
    StatHelper *statHelper();
    // Adds the record of `name` in `folder` (of the path `folder` for an
    // empty name), named by its last component, if not yet listed.
    bool addRecord(QByteArrayView folder, QByteArrayView name, const Attributes *attributes);
    // Adds the record of a folder, with its modification date.
    void addFolderRecord(const QByteArray &path);
    bool listsFiles() const { return m_rows != RenameSettings::Rows::Folders; }
    bool listsFolders() const { return m_rows != RenameSettings::Rows::Files; }
    // Walks the folder `name` inside the folder open as parentFd; `path` is
    // what its records' paths start with.
    void expandFolder(int parentFd, const QByteArray &path, const char *name);
    // Records the device and inode of the folder of a file handed over by
    // path.
    void recordFolderOf(const QByteArray &nativePath);

    FileList &m_list;
    // Device and inode of each folder walked so far from one handed-over path.
    std::set<FileIdentity> m_walked;
    QByteArrayList m_unreadableFolders;
    const std::atomic<bool> *m_cancel = nullptr;
    std::function<void(qsizetype)> m_progress;
    qsizetype m_progressInterval = 4096;
    qsizetype m_added = 0;
    // The date of the records made without one: when their folder was read.
    qint64 m_madeAt = 0;
    bool m_readsAttributes = true;
    std::function<bool(const ZQFile &)> m_attributesNeeded;
    FolderRead m_folderRead;
    // Walking a folder into a list that was empty: no path can be listed twice.
    bool m_unlistedWalk = false;
    std::unique_ptr<StatHelper> m_statHelper;
    std::vector<Frame> m_frames;
    std::unique_ptr<Prefetcher> m_prefetcher;
    QByteArray m_lastRecordedFolder;
    ListingFilter m_filter;
    RenameSettings::Rows m_rows = RenameSettings::Rows::Files;
};
