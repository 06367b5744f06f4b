#include "fileintake.h"
#include "filelist.h"

#include <QDateTime>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Names are made with POSIX calls, so that bytes which are not UTF-8 stay
// exactly as written.
bool makeFile(const QByteArray &path, const QByteArray &content = {})
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, content.constData(), size_t(content.size())) == content.size();
    return ::close(fd) == 0 && written;
}

bool makeFolder(const QByteArray &path, mode_t mode = 0755)
{
    return ::mkdir(path.constData(), mode) == 0 && ::chmod(path.constData(), mode) == 0;
}

bool makeLink(const QByteArray &target, const QByteArray &path)
{
    return ::symlink(target.constData(), path.constData()) == 0;
}

// Sets a path's own modification time (not a link's target's) to a local time.
bool setLocalTime(const QByteArray &path, const QDateTime &local)
{
    const qint64 seconds = local.toSecsSinceEpoch();
    const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
    return ::utimensat(AT_FDCWD, path.constData(), times, AT_SYMLINK_NOFOLLOW) == 0;
}

QDateTime local(int year, int month, int day, int hour, int minute)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, 42), Qt::LocalTime);
}

QByteArray readAll(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return "(unreadable)";
    char buffer[256];
    const ssize_t length = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    return QByteArray(buffer, length < 0 ? 0 : qsizetype(length));
}

// The listed paths below root, in stored order.
QByteArrayList listedBelow(const FileList &list, const QByteArray &root)
{
    QByteArrayList paths;
    for (const auto &file : list.contentsArray()) {
        const QByteArray &path = file->nativePath();
        paths << (path.startsWith(root + '/') ? path.mid(root.size() + 1) : path);
    }
    return paths;
}

} // namespace

class tst_FileIntake : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void walkOrder();
    void nothingListedTwice();
    void trailingSlash();
    void records_data();
    void records();
    void undecodableName();
    void badPaths();
    void unreadableFolder();
    void timeBeyondMilliseconds();

private:
    QTemporaryDir m_dir;
    QByteArray m_root;
};

void tst_FileIntake::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English));
    QVERIFY(m_dir.isValid());
    m_root = QFile::encodeName(m_dir.path()) + "/tree";
    const QByteArray r = m_root;
    QVERIFY(makeFolder(r));
    QVERIFY(makeFile(r + "/a.txt", QByteArray(1234, 'x')));
    QVERIFY(makeFolder(r + "/b"));
    QVERIFY(makeFile(r + "/b/.hidden"));
    QVERIFY(makeFile(r + "/b/c.txt"));
    QVERIFY(makeFolder(r + "/b/d"));
    QVERIFY(makeFile(r + "/b/d/e.txt"));
    QVERIFY(makeLink("..", r + "/b/up"));
    QVERIFY(makeFile(r + "/caf\xE9.txt", "latin-1 bytes"));
    QVERIFY(makeFile(r + "/caf\xEF\xBF\xBD.txt", "replacement character"));
    QVERIFY(makeLink("nowhere/at/all", r + "/dangling"));
    QVERIFY(makeFolder(r + "/empty"));
    QVERIFY(makeLink("a.txt", r + "/linkfile"));
    QVERIFY(makeLink(r, r + "/loop"));
    QVERIFY(makeLink("b/d", r + "/m"));
    QVERIFY(makeLink("self", r + "/self"));
    QVERIFY(makeFile(r + "/z.txt"));
    // The links' own dates differ from their targets', in summer and winter.
    QVERIFY(setLocalTime(r + "/z.txt", local(2024, 3, 5, 14, 7)));
    QVERIFY(setLocalTime(r + "/a.txt", local(2021, 1, 2, 3, 4)));
    QVERIFY(setLocalTime(r + "/linkfile", local(2022, 6, 7, 8, 9)));
    QVERIFY(setLocalTime(r + "/dangling", local(2023, 11, 12, 13, 14)));
    QVERIFY(setLocalTime(r + "/self", local(2019, 12, 31, 23, 59)));
    QVERIFY(setLocalTime(r + "/b/.hidden", local(2020, 2, 29, 0, 0)));
}

// QTemporaryDir cannot remove names that are not UTF-8.
void tst_FileIntake::cleanupTestCase()
{
    std::error_code error;
    std::filesystem::remove_all(std::string(m_root.constData(), size_t(m_root.size())), error);
    QVERIFY(!error);
}

void tst_FileIntake::walkOrder()
{
    FileList list;
    FileIntake intake(list);
    // Depth first, name order, dot files included; links to folders are
    // walked unless they lead back into a folder being walked.
    QVERIFY(!intake.insertFile(m_root));
    const QByteArrayList expected = {
        "a.txt",    "b/.hidden", "b/c.txt", "b/d/e.txt", "caf\xE9.txt", "caf\xEF\xBF\xBD.txt",
        "dangling", "linkfile",  "m/e.txt", "self",      "z.txt"};
    QCOMPARE(listedBelow(list, m_root), expected);
    QCOMPARE(intake.added(), expected.size());
}

void tst_FileIntake::nothingListedTwice()
{
    FileList list;
    FileIntake intake(list);
    QVERIFY(intake.insertFile(m_root + "/b/c.txt"));
    QVERIFY(!intake.insertFile(m_root + "/b/c.txt"));
    QVERIFY(!intake.insertFile(m_root + "/b/d"));
    QCOMPARE(listedBelow(list, m_root), QByteArrayList({"b/c.txt", "b/d/e.txt"}));
    QVERIFY(!intake.insertFile(m_root + "/b/d"));
    QCOMPARE(list.count(), 2);
    QVERIFY(!intake.insertFile(m_root));
    QCOMPARE(list.count(), 11);
    // Another spelling of the same file is another path.
    QVERIFY(intake.insertFile(m_root + "/b/../a.txt"));
    QCOMPARE(list.count(), 12);
}

void tst_FileIntake::trailingSlash()
{
    FileList list;
    FileIntake intake(list);
    QVERIFY(!intake.insertFile(m_root + "/b/d/"));
    QCOMPARE(listedBelow(list, m_root), QByteArrayList({"b/d/e.txt"}));
    QVERIFY(!intake.insertFile(m_root + "/m"));
    QCOMPARE(listedBelow(list, m_root), QByteArrayList({"b/d/e.txt", "m/e.txt"}));
}

void tst_FileIntake::records_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("size");
    QTest::addColumn<quint64>("fullSize");
    QTest::addColumn<QString>("date");

    QTest::newRow("1234 bytes, grouped") << QByteArray("a.txt") << u"a.txt"_s << u"txt"_s
                                         << u"1,234"_s << quint64(1234) << u"2021/01/02 03:04"_s;
    QTest::newRow("local date, to the minute") << QByteArray("z.txt") << u"z.txt"_s << u"txt"_s
                                               << u"0"_s << quint64(0) << u"2024/03/05 14:07"_s;
    QTest::newRow("dot file") << QByteArray("b/.hidden") << u".hidden"_s << u"hidden"_s << u"0"_s
                              << quint64(0) << u"2020/02/29 00:00"_s;
    QTest::newRow("link to a file: the link's size and date")
        << QByteArray("linkfile") << u"linkfile"_s << QString() << u"5"_s << quint64(5)
        << u"2022/06/07 08:09"_s;
    QTest::newRow("dangling link: the link's size and date")
        << QByteArray("dangling") << u"dangling"_s << QString() << u"14"_s << quint64(14)
        << u"2023/11/12 13:14"_s;
    QTest::newRow("link to itself") << QByteArray("self") << u"self"_s << QString() << u"4"_s
                                    << quint64(4) << u"2019/12/31 23:59"_s;
    QTest::newRow("vanished path: no size, no date")
        << QByteArray("gone.tar.gz") << u"gone.tar.gz"_s << u"gz"_s << QString() << quint64(0)
        << QString();
    QTest::newRow("vanished path with a slash at its end")
        << QByteArray("gone/") << u"gone"_s << QString() << QString() << quint64(0) << QString();
}

void tst_FileIntake::records()
{
    QFETCH(QByteArray, path);
    QFETCH(QString, name);
    QFETCH(QString, extension);
    QFETCH(QString, size);
    QFETCH(quint64, fullSize);
    QFETCH(QString, date);

    FileList list;
    FileIntake intake(list);
    const QByteArray fullPath = m_root + '/' + path;
    QVERIFY(intake.insertFile(fullPath));
    QCOMPARE(list.count(), 1);
    const ZQFile *file = list.fileAtIndex(0);
    QCOMPARE(file->nativePath(), fullPath);
    QCOMPARE(file->name(), name);
    QCOMPARE(file->displayExtension(), extension);
    QCOMPARE(file->size(), size);
    QCOMPARE(file->fullSize(), fullSize);
    QCOMPARE(file->date(), date);
}

void tst_FileIntake::undecodableName()
{
    // Listed beside the file whose real name holds U+FFFD, shown alike, each
    // reached through its own bytes.
    FileList list;
    FileIntake intake(list);
    QVERIFY(!intake.insertFile(m_root));
    const ZQFile *latin = list.fileAtIndex(4);
    const ZQFile *replacement = list.fileAtIndex(5);
    QCOMPARE(latin->name(), u"caf\uFFFD.txt"_s);
    QCOMPARE(replacement->name(), u"caf\uFFFD.txt"_s);
    QCOMPARE(latin->displayExtension(), u"txt"_s);
    QCOMPARE(latin->fullPath(), QString::fromUtf8(m_root) + u"/caf\uFFFD.txt"_s);
    QCOMPARE(readAll(latin->nativePath()), QByteArray("latin-1 bytes"));
    QCOMPARE(readAll(replacement->nativePath()), QByteArray("replacement character"));
    QCOMPARE(latin->fullSize(), quint64(13));
}

void tst_FileIntake::badPaths()
{
    FileList list;
    FileIntake intake(list);
    QVERIFY(!intake.insertFile(QByteArray()));
    // A NUL byte would make the path stop early, at another file.
    QVERIFY(!intake.insertFile(m_root + "/a.txt" + QByteArray(1, '\0') + "x"));
    QVERIFY(!intake.insertFile(m_root + "/empty"));
    QVERIFY(list.isEmpty());
    QVERIFY(intake.insertFile(QString::fromUtf8(m_root) + u"/a.txt"_s));
    QCOMPARE(list.fileAtIndex(0)->nativePath(), m_root + "/a.txt");
}

// A folder that cannot be read adds nothing and stops nothing. Root reads
// every folder, so the walk then runs in a child that has given up root.
void tst_FileIntake::unreadableFolder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray top = QFile::encodeName(dir.path());
    QVERIFY(::chmod(top.constData(), 0755) == 0);
    QVERIFY(makeFile(top + "/1.txt"));
    QVERIFY(makeFolder(top + "/locked", 0700));
    QVERIFY(makeFile(top + "/locked/secret.txt"));
    QVERIFY(makeFile(top + "/z.txt"));

    const auto walk = [&top]() {
        FileList list;
        FileIntake intake(list);
        intake.insertFile(top);
        QByteArrayList names;
        for (const auto &file : list.contentsArray())
            names << file->nativeName();
        return names.join(',');
    };

    if (::geteuid() != 0) {
        QVERIFY(::chmod((top + "/locked").constData(), 0) == 0);
        QCOMPARE(walk(), QByteArray("1.txt,z.txt"));
        QVERIFY(::chmod((top + "/locked").constData(), 0700) == 0);
        return;
    }
    const struct passwd *nobody = ::getpwnam("nobody");
    QVERIFY(nobody);
    int channel[2];
    QVERIFY(::pipe(channel) == 0);
    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        ::close(channel[0]);
        if (::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0)
            ::_exit(2);
        const QByteArray names = walk();
        const bool sent =
            ::write(channel[1], names.constData(), size_t(names.size())) == names.size();
        ::_exit(sent ? 0 : 3);
    }
    ::close(channel[1]);
    QByteArray names;
    char buffer[256];
    ssize_t length;
    while ((length = ::read(channel[0], buffer, sizeof buffer)) > 0)
        names.append(buffer, qsizetype(length));
    ::close(channel[0]);
    int status = 0;
    QVERIFY(::waitpid(child, &status, 0) == child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
    QCOMPARE(names, QByteArray("1.txt,z.txt"));
}

void tst_FileIntake::timeBeyondMilliseconds()
{
    // Some file systems (tmpfs among them) keep any 64-bit second count,
    // which in milliseconds no longer fits 64 bits.
    const qint64 seconds = qint64(1) << 62;
    QByteArray path;
    for (const QByteArray &folder : {QFile::encodeName(m_dir.path()), QByteArray("/dev/shm")}) {
        const QByteArray candidate = folder + "/far-future.txt";
        ::unlink(candidate.constData());
        if (!makeFile(candidate, "x"))
            continue;
        const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
        struct stat info;
        if (::utimensat(AT_FDCWD, candidate.constData(), times, 0) == 0 &&
            ::stat(candidate.constData(), &info) == 0 && info.st_mtim.tv_sec == seconds) {
            path = candidate;
            break;
        }
        ::unlink(candidate.constData());
    }
    if (path.isEmpty())
        QSKIP("no file system here keeps a modification time of 2^62 seconds");

    FileList list;
    FileIntake intake(list);
    QVERIFY(intake.insertFile(path));
    ::unlink(path.constData());
    const ZQFile *file = list.fileAtIndex(0);
    QCOMPARE(file->fullSize(), quint64(1));
    // The latest time that milliseconds hold, whole seconds, in Berlin.
    QCOMPARE(file->fileTime(), qint64(9223372036854774000));
    QCOMPARE(file->date(), u"292278994/08/17 08:12"_s);
}

QTEST_GUILESS_MAIN(tst_FileIntake)
#include "tst_fileintake.moc"
