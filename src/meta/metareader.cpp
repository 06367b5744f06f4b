#include "meta/metareader.h"

#include "meta/metahelper.h"
#include "meta/metaprotocol.h"

#include <QDateTime>
#include <QFile>
#include <QMutexLocker>
#include <QThread>

#include <fcntl.h>
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

// "2024-03-05 14:07:09" as a wall-clock time stored as if UTC, or -1.
qint64 wallClockMsecs(const std::string &text)
{
    const QDateTime when =
        QDateTime::fromString(QString::fromLatin1(text.data(), qsizetype(text.size())),
                              QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!when.isValid())
        return -1;
    return QDateTime(when.date(), when.time(), Qt::UTC).toMSecsSinceEpoch();
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

MetaReader::MetaReader(const QString &helperPath)
    : m_helperPath(helperPath.isEmpty() ? defaultHelperPath() : helperPath)
{}

MetaReader::~MetaReader() = default;

std::shared_ptr<const FileFacts> MetaReader::readOne(MetaHelper &helper, const QByteArray &path,
                                                     const Request &request)
{
    struct statx info = {};
    const bool stated =
        ::statx(AT_FDCWD, path.constData(), 0, STATX_SIZE | STATX_MTIME | STATX_BTIME, &info) == 0;
    const qint64 size = stated ? qint64(info.stx_size) : -1;
    const qint64 modified =
        stated ? qint64(info.stx_mtime.tv_sec) * 1000000000 + info.stx_mtime.tv_nsec : -1;
    if (stated) {
        QMutexLocker locker(&m_cacheLock);
        const auto found = m_cache.constFind(path);
        if (found != m_cache.constEnd() && found->size == size && found->modified == modified &&
            (found->tags || !request.tags) &&
            std::all_of(request.keys.cbegin(), request.keys.cend(),
                        [&](const QString &key) { return found->keys.contains(key); }))
            return found->facts;
    }

    std::shared_ptr<FileFacts> facts;
    if (request.tags) {
        std::string message = path.toStdString();
        message.push_back('\0');
        for (const QString &key : request.keys) {
            if (key.contains(QChar(0)))
                continue;
            message += key.toStdString();
            message.push_back('\0');
        }
        ++m_requests;
        std::string answer;
        MetaProtocol::Pairs pairs;
        const MetaHelper::Result result = helper.ask(message, m_timeoutMsecs, &answer);
        if (result == MetaHelper::Result::Answered && MetaProtocol::unpackPairs(answer, &pairs)) {
            facts = factsOf(pairs);
        } else {
            if (result != MetaHelper::Result::NotStarted)
                ++m_restarts;
            helper.stop();
            facts = std::make_shared<FileFacts>();
            facts->unreadable = true;
        }
    } else {
        facts = std::make_shared<FileFacts>();
    }
    // The birth time, where the file system keeps one.
    if (stated && (info.stx_mask & STATX_BTIME))
        facts->created = qint64(info.stx_btime.tv_sec) * 1000 + info.stx_btime.tv_nsec / 1000000;

    // A file the helper could not read is tried again next time.
    if (stated && !facts->unreadable) {
        QMutexLocker locker(&m_cacheLock);
        m_cache.insert(path, {size, modified, request.tags, request.keys, facts});
    }
    return facts;
}

std::vector<std::shared_ptr<const FileFacts>>
MetaReader::read(const std::vector<QByteArray> &paths, const Request &request,
                 const std::function<void(qsizetype done)> &progress,
                 const std::atomic<bool> *cancel)
{
    std::vector<std::shared_ptr<const FileFacts>> facts(paths.size());
    std::atomic<size_t> next{0};
    std::atomic<qsizetype> done{0};
    const QByteArray program = QFile::encodeName(m_helperPath);
    const auto worker = [&] {
        MetaHelper helper(program);
        for (size_t i = next++; i < paths.size(); i = next++) {
            if (cancel && cancel->load(std::memory_order_relaxed))
                return;
            facts[i] = readOne(helper, paths[i], request);
            ++done;
        }
    };
    const int workers =
        std::max(1, std::min(m_workers > 0 ? m_workers : QThread::idealThreadCount(),
                             int(std::min<size_t>(paths.size(), 64))));
    std::vector<std::thread> threads;
    for (int k = 0; k < workers; ++k)
        threads.emplace_back(worker);
    if (progress) {
        for (int tick = 1; done.load() < qsizetype(paths.size()) &&
                           !(cancel && cancel->load(std::memory_order_relaxed));
             ++tick) {
            QThread::msleep(10);
            if (tick % 10 == 0)
                progress(done.load());
        }
    }
    for (std::thread &thread : threads)
        thread.join();
    return facts;
}
