// SPDX-License-Identifier: GPL-3.0-or-later
#include "meta/metareader.h"

#include "meta/contenttype.h"

#include "meta/metahelper.h"
#include "meta/metaprotocol.h"
#include "rules/namecomposer.h"

#include <QDateTime>
#include <QFile>
#include <QMutexLocker>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

QString programPath()
{
    char path[4096];
    const ssize_t size = ::readlink("/proc/self/exe", path, sizeof path - 1);
    return size > 0 ? QString::fromLocal8Bit(path, size) : QString();
}

// "2024-03-05 14:07:09" as a wall-clock time stored as if UTC, or -1. By
// hand: a conversion through QDateTime would consult the local time zone
// (and read /etc/localtime) for every photo.
qint64 wallClockMsecs(const std::string &text)
{
    if (text.size() != 19)
        return -1;
    const auto number = [&](size_t at, size_t digits) {
        int value = 0;
        for (size_t i = at; i < at + digits; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return -1;
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    const int fields[] = {number(0, 4),  number(5, 2),  number(8, 2),
                          number(11, 2), number(14, 2), number(17, 2)};
    if (*std::min_element(std::begin(fields), std::end(fields)) < 0)
        return -1;
    const QDate date(fields[0], fields[1], fields[2]);
    const QTime time(fields[3], fields[4], fields[5]);
    if (!date.isValid() || !time.isValid())
        return -1;
    constexpr qint64 epochDay = 2440588; // the Julian day of 1970-01-01
    return (date.toJulianDay() - epochDay) * 86400000 + time.msecsSinceStartOfDay();
}

std::shared_ptr<FileFacts> factsOf(const MetaProtocol::Pairs &pairs)
{
    auto facts = std::make_shared<FileFacts>();
    qint64 wall = -1;
    qint64 utc = -1;
    for (const auto &[key, value] : pairs) {
        if (key == MetaProtocol::takenWallKey) {
            wall = wallClockMsecs(value);
        } else if (key == MetaProtocol::takenUtcKey) {
            bool ok = false;
            const qint64 seconds = QByteArray::fromStdString(value).toLongLong(&ok);
            if (ok && seconds >= 0 && seconds < (qint64(1) << 40))
                utc = seconds * 1000;
        } else if (!key.empty() && key[0] != '@') {
            facts->values.insert(QString::fromStdString(key), QString::fromStdString(value));
        }
    }
    // A movie's container time is an instant; it goes before any camera
    // clock the movie may also carry.
    if (utc >= 0) {
        facts->taken = utc;
    } else if (wall >= 0) {
        facts->taken = wall;
        facts->takenIsWallClock = true;
    }
    return facts;
}

// The helper's "@stat": "SIZE MTIME BIRTH", BIRTH "-" where none.
bool statFrom(const MetaProtocol::Pairs &pairs, qint64 *size, qint64 *modified,
              std::optional<qint64> *created)
{
    for (const auto &[key, value] : pairs) {
        if (key != MetaProtocol::statKey)
            continue;
        const QList<QByteArray> fields = QByteArray::fromStdString(value).split(' ');
        bool sizeOk = false;
        bool modifiedOk = false;
        bool createdOk = false;
        if (fields.size() != 3)
            return false;
        *size = fields[0].toLongLong(&sizeOk);
        *modified = fields[1].toLongLong(&modifiedOk);
        const qint64 birth = fields[2].toLongLong(&createdOk);
        if (!sizeOk || !modifiedOk || *size < 0 || (!createdOk && fields[2] != "-"))
            return false;
        *created = createdOk ? std::optional<qint64>(birth) : std::nullopt;
        return true;
    }
    return false;
}

} // namespace

QString MetaReader::defaultHelperPath()
{
    // Run from the build tree: the helper built beside it.
    const QString self = programPath();
    if (self.startsWith(QStringLiteral(VELNOR_BUILD_DIR "/")) &&
        QFile::exists(QStringLiteral(VELNOR_META_READER_BUILT)))
        return QStringLiteral(VELNOR_META_READER_BUILT);
    return QStringLiteral(VELNOR_META_READER_INSTALLED);
}

bool MetaReader::Request::covers(const Request &other) const
{
    return (tags || !other.tags) && (contentType || !other.contentType) &&
           std::all_of(other.keys.cbegin(), other.keys.cend(),
                       [this](const QString &key) { return keys.contains(key); });
}

MetaReader::Request MetaReader::requestFor(const NameComposer &composer)
{
    Request request;
    if (!composer.readsFacts())
        return request;
    request.tags = composer.settings().dateSources.contains(RenameSettings::DateSource::Taken);
    request.contentType = composer.readsContentType();
    for (const QString &key : composer.valueKeys()) {
        request.tags = true;
        // The named values come with every read; only further keys are asked.
        if (!ValueTokens::isNamedKey(key))
            request.keys << key;
    }
    return request;
}

MetaReader::MetaReader(const QString &helperPath)
    : m_helperPath(helperPath.isEmpty() ? defaultHelperPath() : helperPath)
{}

MetaReader::~MetaReader() = default;

MetaReader::Stat MetaReader::statOf(const QByteArray &path)
{
    struct statx info = {};
    Stat stat;
    stat.stated =
        ::statx(AT_FDCWD, path.constData(), 0, STATX_SIZE | STATX_MTIME | STATX_BTIME, &info) == 0;
    if (!stat.stated)
        return stat;
    stat.size = qint64(info.stx_size);
    stat.modified = qint64(info.stx_mtime.tv_sec) * 1000000000 + info.stx_mtime.tv_nsec;
    // The birth time, where the file system keeps one.
    if (info.stx_mask & STATX_BTIME)
        stat.created = qint64(info.stx_btime.tv_sec) * 1000 + info.stx_btime.tv_nsec / 1000000;
    return stat;
}

std::shared_ptr<const FileFacts> MetaReader::cached(const QByteArray &path, const Stat &stat,
                                                    const Request &request)
{
    if (!stat.stated)
        return {};
    QMutexLocker locker(&m_cacheLock);
    const auto found = m_cache.constFind(path);
    if (found != m_cache.constEnd() && found->size == stat.size &&
        found->modified == stat.modified &&
        Request{found->tags, found->keys, found->contentType}.covers(request))
        return found->facts;
    return {};
}

bool MetaReader::known(const QByteArray &path)
{
    QMutexLocker locker(&m_cacheLock);
    return m_cache.contains(path);
}

std::shared_ptr<const FileFacts> MetaReader::keep(const QByteArray &path, const Stat &stat,
                                                  const Request &request,
                                                  std::shared_ptr<FileFacts> facts)
{
    facts->created = stat.created;
    if (request.contentType)
        facts->contentSuffixes = ContentType::suffixesOf(path);
    // A file the helper could not read is tried again next time.
    if (stat.stated && !facts->unreadable) {
        QMutexLocker locker(&m_cacheLock);
        m_cache.insert(path, {stat.size, stat.modified, request.tags, request.keys,
                              request.contentType, facts});
    }
    return facts;
}

void MetaReader::readThrough(MetaHelper &helper, const std::vector<QByteArray> &paths,
                             const std::vector<std::pair<size_t, Stat>> &pending,
                             const Request &request,
                             std::vector<std::shared_ptr<const FileFacts>> &facts)
{
    std::string keys;
    for (const QString &key : request.keys) {
        if (key.contains(QChar(0)))
            continue;
        keys += key.toStdString();
        keys.push_back('\0');
    }
    // A file not stated yet is stated by the helper as it opens it, or here
    // when the helper does not say.
    const auto statFor = [&](size_t k, const MetaProtocol::Pairs &pairs) {
        Stat stat = pending[k].second;
        if (stat.stated)
            return stat;
        stat.stated = statFrom(pairs, &stat.size, &stat.modified, &stat.created);
        return stat.stated ? stat : statOf(paths[pending[k].first]);
    };
    const auto unreadable = [&](size_t k) {
        auto none = std::make_shared<FileFacts>();
        none->unreadable = true;
        facts[pending[k].first] = keep(paths[pending[k].first], statFor(k, {}), request, none);
    };
    m_requests += qint64(pending.size());
    size_t k = 0;
    while (k < pending.size()) {
        // What is sent at once stays far below a socket's buffer, so that
        // the helper never waits on us to read while we wait on it to read.
        std::string requests;
        size_t end = k;
        for (; end < pending.size() && (end == k || requests.size() < 65536); ++end) {
            const QByteArray &path = paths[pending[end].first];
            MetaProtocol::appendRecord(requests, path.toStdString() + '\0' + keys);
        }
        const MetaHelper::Result sent = helper.send(requests, m_timeoutMsecs);
        if (sent == MetaHelper::Result::NotStarted) {
            for (; k < pending.size(); ++k)
                unreadable(k);
            return;
        }
        if (sent == MetaHelper::Result::Failed) {
            ++m_restarts;
            unreadable(k++);
            continue;
        }
        for (; k < end; ++k) {
            std::string answer;
            MetaProtocol::Pairs pairs;
            if (helper.receive(m_timeoutMsecs, &answer) != MetaHelper::Result::Answered ||
                !MetaProtocol::unpackPairs(answer, &pairs)) {
                // This file ended the helper; the rest go to a new one.
                helper.stop();
                ++m_restarts;
                unreadable(k++);
                break;
            }
            facts[pending[k].first] =
                keep(paths[pending[k].first], statFor(k, pairs), request, factsOf(pairs));
        }
    }
}

std::vector<std::shared_ptr<const FileFacts>>
MetaReader::read(const std::vector<QByteArray> &paths, const Request &request,
                 const std::function<void(qsizetype done)> &progress,
                 const std::atomic<bool> *cancel, const Delivered &delivered)
{
    std::vector<std::shared_ptr<const FileFacts>> facts(paths.size());
    std::atomic<size_t> next{0};
    std::atomic<qsizetype> done{0};
    const QByteArray program = QFile::encodeName(m_helperPath);
    constexpr size_t batch = 64;
    const auto worker = [&] {
        MetaHelper helper(program);
        std::vector<std::pair<size_t, Stat>> pending;
        for (size_t from = next.fetch_add(batch); from < paths.size();
             from = next.fetch_add(batch)) {
            if (cancel && cancel->load(std::memory_order_relaxed))
                return;
            const size_t to = std::min(paths.size(), from + batch);
            pending.clear();
            for (size_t i = from; i < to; ++i) {
                // A file never read needs no stat to be looked up: the
                // helper states it as it opens it.
                if (request.tags && !known(paths[i])) {
                    pending.emplace_back(i, Stat{});
                    continue;
                }
                const Stat stat = statOf(paths[i]);
                if ((facts[i] = cached(paths[i], stat, request)))
                    continue;
                if (request.tags)
                    pending.emplace_back(i, stat);
                else
                    facts[i] = keep(paths[i], stat, request, std::make_shared<FileFacts>());
            }
            if (!pending.empty())
                readThrough(helper, paths, pending, request, facts);
            if (delivered)
                delivered(from, to, facts);
            done += qsizetype(to - from);
        }
    };
    const int workers =
        std::max(1, std::min(m_workers > 0 ? m_workers : QThread::idealThreadCount(),
                             int(std::min<size_t>(paths.size(), 64))));
    // The workers say when they end; this thread sleeps until then, waking
    // only to report progress, so no time is lost after the last file.
    std::mutex endedLock;
    std::condition_variable endedSignal;
    int ended = 0;
    std::vector<std::thread> threads;
    for (int k = 0; k < workers; ++k) {
        threads.emplace_back([&] {
            worker();
            {
                const std::lock_guard lock(endedLock);
                ++ended;
            }
            endedSignal.notify_one();
        });
    }
    if (progress) {
        std::unique_lock lock(endedLock);
        while (!endedSignal.wait_for(lock, std::chrono::milliseconds(100), [&] {
            return ended == workers;
        }) && !(cancel && cancel->load(std::memory_order_relaxed))) {
            lock.unlock();
            progress(done.load());
            lock.lock();
        }
    }
    for (std::thread &thread : threads)
        thread.join();
    return facts;
}
