// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/rulefile.h"

#include <QByteArray>
#include <QHash>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// Reads the facts of files (birth time, date taken, tag values) for the
// settings that ask, through helper programs, never in this process: a
// hostile file can crash or hang its helper, not us.
//
// Concurrency: read() runs one worker thread per processor; each owns one
// helper process (started on its first file, started again after one that
// crashed, was killed by its filter or took longer than the time allowed)
// and takes the next few paths from a shared atomic index, writing only the
// result slots of those indexes. It sends its helper those few requests at
// once and reads the answers in order, so that no file waits for the round
// trip of the one before; when the helper fails, the oldest unanswered file
// is the one that made it fail, and the rest are sent to a new helper. The cache is behind one
// mutex, held only to look up or store an entry. read() joins every worker before it returns, so
// the results are complete and the same as one worker reading them in order: each file's facts
// depend on that file alone. Cancelling stops the workers after the file each is reading; the files
// not read get no facts.
class MetaReader
{
public:
    // The helper program to run; empty for the one built beside this
    // program, or else the installed one.
    explicit MetaReader(const QString &helperPath = {});
    ~MetaReader();
    MetaReader(const MetaReader &) = delete;
    MetaReader &operator=(const MetaReader &) = delete;

    static QString defaultHelperPath();

    // How long a helper may take on one file before it is ended, and how
    // many run at once (0: one per processor).
    void setTimeout(int msecs) { m_timeoutMsecs = msecs; }
    void setWorkers(int workers) { m_workers = workers; }

    // What to read: the tags (date taken and values) or only the birth
    // time, and the further keys asked for ("Exif.Photo.FNumber").
    struct Request
    {
        bool tags = false;
        QStringList keys;
        // The extensions the content calls for (FileFacts::contentSuffixes).
        bool contentType = false;

        // Facts read for this request serve the other one as well.
        bool covers(const Request &other) const;
        bool operator==(const Request &) const = default;
    };
    // What the composer's names need read; nothing when it reads no facts.
    static Request requestFor(const class NameComposer &composer);

    // The facts of each path, in order: from the cache where the file's size
    // and modification time are those it was read with and the read covered
    // the request; read anew otherwise. progress is called on this thread
    // about ten times a second with the count done so far.
    // `delivered`, if given, is called on a worker as soon as the facts of
    // the paths from `from` up to `to` are in place in `facts`; it may read
    // those slots, and only those, at once.
    using Delivered = std::function<void(
        size_t from, size_t to, const std::vector<std::shared_ptr<const FileFacts>> &facts)>;
    std::vector<std::shared_ptr<const FileFacts>>
    read(const std::vector<QByteArray> &paths, const Request &request,
         const std::function<void(qsizetype done)> &progress = {},
         const std::atomic<bool> *cancel = nullptr, const Delivered &delivered = {});

    // Files handed to a helper so far, and helpers ended for a file.
    qint64 requests() const { return m_requests; }
    qint64 restarts() const { return m_restarts; }

private:
    struct Cached
    {
        qint64 size = -1;
        qint64 modified = -1; // nanoseconds
        bool tags = false;
        QStringList keys;
        bool contentType = false;
        std::shared_ptr<const FileFacts> facts;
    };
    struct Stat
    {
        bool stated = false;
        qint64 size = -1;
        qint64 modified = -1;
        std::optional<qint64> created;
    };
    static Stat statOf(const QByteArray &path);
    // The cached facts of the file, if they cover the request, else null.
    std::shared_ptr<const FileFacts> cached(const QByteArray &path, const Stat &stat,
                                            const Request &request);
    // Whether the cache holds facts of the path, whatever their stat.
    bool known(const QByteArray &path);
    // Completes read facts with the birth time and keeps them.
    std::shared_ptr<const FileFacts> keep(const QByteArray &path, const Stat &stat,
                                          const Request &request, std::shared_ptr<FileFacts> facts);
    // Reads the files at `indexes` through the worker's helper.
    void readThrough(class MetaHelper &helper, const std::vector<QByteArray> &paths,
                     const std::vector<std::pair<size_t, Stat>> &pending, const Request &request,
                     std::vector<std::shared_ptr<const FileFacts>> &facts);

    QString m_helperPath;
    int m_timeoutMsecs = 5000;
    int m_workers = 0;
    QMutex m_cacheLock;
    QHash<QByteArray, Cached> m_cache;
    std::atomic<qint64> m_requests{0};
    std::atomic<qint64> m_restarts{0};
};
