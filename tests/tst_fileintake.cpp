// SPDX-License-Identifier: GPL-3.0-or-later
#include "asnobody.h"
#include "disktree.h"
#include "files/filelist.h"
#include "intake/fileintake.h"
#include "scratchdir.h"

#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QScopeGuard>
#include <QTest>

#include <stdexcept>

#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

qint64 local(int year, int month, int day, int hour, int minute)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, 42)).toSecsSinceEpoch();
}

// A sparse file of `size` bytes, dated `seconds` unless 0. Paths go to the
// system as bytes, so that names which are not UTF-8 stay exactly as written.
bool makeFile(const QByteArray &path, qint64 size = 0, qint64 seconds = 0)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool sized = ::ftruncate(fd, off_t(size)) == 0;
    return ::close(fd) == 0 && sized && (seconds == 0 || setTime(path, seconds));
}

// The link's own date differs from its target's.
bool makeLink(const QByteArray &target, const QByteArray &path, qint64 seconds = 0)
{
    return ::symlink(target.constData(), path.constData()) == 0 &&
           (seconds == 0 || setTime(path, seconds));
}

// The listed paths below root, in stored order; with attributes, each with
// its size and date in milliseconds, so that a mismatch shows its record.
QByteArrayList listedBelow(const FileList &list, const QByteArray &root, bool attributes = false)
{
    QByteArrayList lines;
    for (const auto &file : list.contentsArray()) {
        lines << file->nativePath().mid(root.size() + 1);
        if (attributes)
            lines.last() += " | " + QByteArray::number(file->fullSize()) + " | " +
                            QByteArray::number(file->fileTime());
    }
    return lines;
}

// The files of the tree filters() walks, in the order listed.
const QByteArray filterTree = ".DS_Store|.git/HEAD|.git/objects/ab.jpg|Sub/.hid.jpg|Sub/c.JPEG|"
                              "Sub/d.jpg|a.JPG|b.jpg|caf\xe9.jpg|notes.txt";

// Sizes and dates read during the walk, or left for later.
void readsAttributesOrNot()
{
    QTest::addColumn<bool>("readsAttributes");
    QTest::newRow("sizes and dates read") << true;
    QTest::newRow("unread, folders read ahead") << false;
}

} // namespace

class tst_FileIntake : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void walk_data();
    void walk();
    void records_data();
    void records();
    void badPaths();
    void unreadableFolder();
    void timeBeyondMilliseconds();
    void largeFolder_data();
    void largeFolder();
    void exceptionDuringLargeFolder_data() { readsAttributesOrNot(); }
    void exceptionDuringLargeFolder();
    void linksBeforeFirstFolder();
    void doublingLinks();
    void deeperThanPathMax();
    void folderVanishes_data() { readsAttributesOrNot(); }
    void folderVanishes();
    void filters_data();
    void filters();
    void folderIdentities_data();
    void folderIdentities();

private:
    ScratchDir m_dir;
    QByteArray m_root;
};

void tst_FileIntake::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English));
    QVERIFY(m_dir.isValid());
    const QByteArray r = m_root = m_dir.path("tree");
    // Dates in summer and winter.
    makeTree(r, {"b/", "b/d/", "empty/", "b/c.txt=", "b/d/e.txt="});
    QVERIFY(makeFile(r + "/a.txt", 1234, local(2021, 1, 2, 3, 4)));
    // Only "." and ".." themselves are no entries of their own.
    for (const char *name : {"/b/.hidden", "/b/..notes", "/b/..."})
        QVERIFY(makeFile(r + name, 0, local(2020, 2, 29, 0, 0)));
    QVERIFY(makeLink("..", r + "/b/up"));
    QVERIFY(makeFile(r + "/caf\xE9.txt", 13, local(2018, 7, 1, 12, 0)));
    QVERIFY(makeFile(r + "/caf\xEF\xBF\xBD.txt", 21, local(2018, 7, 1, 12, 1)));
    QVERIFY(makeLink("nowhere/at/all", r + "/dangling", local(2023, 11, 12, 13, 14)));
    QVERIFY(makeLink("a.txt", r + "/linkfile", local(2022, 6, 7, 8, 9)));
    QVERIFY(makeLink(r, r + "/loop"));
    QVERIFY(makeLink("b/d", r + "/m"));
    QVERIFY(makeLink("self", r + "/self", local(2019, 12, 31, 23, 59)));
    QVERIFY(makeFile(r + "/z.txt", 0, local(2024, 3, 5, 14, 7)));
    QVERIFY(QDir().mkpath(QString::fromUtf8(m_dir.path("deep/1/2/3/4"))));
    QVERIFY(makeFile(m_dir.path("deep/1/2/3/4/f.txt")));
}

void tst_FileIntake::walk_data()
{
    using L = QByteArrayList;
    using B = QList<bool>;
    // Paths below the tree, given in order ("" for the tree itself), what
    // each insertFile returned and what is listed then.
    QTest::addColumn<QByteArrayList>("paths");
    QTest::addColumn<QList<bool>>("results");
    QTest::addColumn<QByteArrayList>("expected");

    // Depth first, byte order, dot files included; links to folders are
    // walked unless they lead to a folder this walk has been in ("m" leads
    // to "b/d", "loop" and "b/up" back to the top).
    const L tree = "a.txt|b/...|b/..notes|b/.hidden|b/c.txt|b/d/e.txt|caf\xE9.txt|"
                   "caf\xEF\xBF\xBD.txt|dangling|linkfile|self|z.txt"_ba.split('|');
    QTest::newRow("the tree") << L{""} << B{false} << tree;
    L rest = tree;
    rest.removeAll("b/c.txt");
    rest.removeAll("b/d/e.txt");
    QTest::newRow("nothing listed twice")
        << L{"b/c.txt", "b/c.txt", "b/d", "b/d", ""} << B{true, false, false, false, false}
        << L{"b/c.txt", "b/d/e.txt"} + rest;
    // The first walk goes into an empty list, without duplicate tests; the
    // list must still know every path it made.
    QTest::newRow("after a walk into an empty list")
        << L{"", "a.txt", "b/d", ""} << B{false, false, false, false} << tree;
    QTest::newRow("trailing slash; a link to a folder")
        << L{"b/d/", "m"} << B{false, false} << L{"b/d/e.txt", "m/e.txt"};
    QTest::newRow("another spelling of the same file is another path")
        << L{"a.txt", "b/../a.txt"} << B{true, true} << L{"a.txt", "b/../a.txt"};
    QTest::newRow("empty folder") << L{"empty"} << B{false} << L{};
}

void tst_FileIntake::walk()
{
    QFETCH(QByteArrayList, paths);
    QFETCH(QByteArrayList, expected);
    // Files and folders known from the listing alone walk the same.
    for (const bool readsAttributes : {true, false}) {
        FileList list;
        FileIntake intake(list);
        intake.setReadsAttributes(readsAttributes);
        QList<bool> returned;
        for (const QByteArray &path : paths)
            returned << intake.insertFile(path.isEmpty() ? m_root : m_root + '/' + path);
        QTEST(returned, "results");
        QCOMPARE(listedBelow(list, m_root), expected);
        QCOMPARE(intake.added(), expected.size());
    }
}

void tst_FileIntake::records_data()
{
    // Name | extension | size text | size | date text.
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("1234 bytes, grouped")
        << "a.txt"_ba << u"a.txt | txt | 1,234 | 1234 | 2021/01/02 03:04"_s;
    QTest::newRow("dot file") << "b/.hidden"_ba << u".hidden | hidden | 0 | 0 | 2020/02/29 00:00"_s;
    // Shown alike, each reached through its own bytes (the sizes tell).
    QTest::newRow("not UTF-8: the byte escaped in the name")
        << "caf\xE9.txt"_ba
        << u"caf"_s + QChar(0xdce9) + u".txt | txt | 13 | 13 | 2018/07/01 12:00"_s;
    QTest::newRow("U+FFFD in the real name")
        << "caf\xEF\xBF\xBD.txt"_ba << u"caf\uFFFD.txt | txt | 21 | 21 | 2018/07/01 12:01"_s;
    QTest::newRow("link to a file: the link's size and date")
        << "linkfile"_ba << u"linkfile |  | 5 | 5 | 2022/06/07 08:09"_s;
    QTest::newRow("dangling link: the link's size and date")
        << "dangling"_ba << u"dangling |  | 14 | 14 | 2023/11/12 13:14"_s;
    QTest::newRow("vanished path: no size, no date")
        << "gone.tar.gz"_ba << u"gone.tar.gz | gz |  | 0 | "_s;
    QTest::newRow("vanished path with a slash at its end") << "gone/"_ba << u"gone |  |  | 0 | "_s;
}

void tst_FileIntake::records()
{
    QFETCH(QByteArray, path);
    FileList list;
    FileIntake intake(list);
    QVERIFY(intake.insertFile(m_root + '/' + path));
    QCOMPARE(list.count(), 1);
    const ZQFile *file = list.fileAtIndex(0);
    QCOMPARE(file->nativePath(), m_root + '/' + path);
    const QStringList seen = {file->name(), file->displayExtension(), file->size(),
                              QString::number(file->fullSize()), file->date()};
    QTEST(seen.join(u" | "_s), "expected");
}

// Paths that are no path: empty, or cut short by a NUL byte at another file.
void tst_FileIntake::badPaths()
{
    FileList list;
    FileIntake intake(list);
    QVERIFY(!intake.insertFile(QByteArray()));
    QVERIFY(!intake.insertFile(m_root + "/a.txt" + QByteArray(1, '\0') + "x"));
    QVERIFY(list.isEmpty());
}

// A folder that cannot be read adds nothing and stops nothing, and is named.
void tst_FileIntake::unreadableFolder()
{
    ScratchDir dir;
    makeTree(dir.path(), {"1.txt=", "locked/", "locked/secret.txt=", "z.txt="});
    QVERIFY(::chmod(dir.path("locked").constData(), 0) == 0);
    const ChildResult walked = runWithoutPrivileges([&dir] {
        FileList list;
        FileIntake intake(list);
        intake.insertFile(dir.path());
        QByteArrayList unreadable;
        for (const QByteArray &folder : intake.unreadableFolders())
            unreadable << folder.mid(dir.path().size() + 1);
        return listedBelow(list, dir.path()).join(',') + " | " + unreadable.join(',');
    });
    QVERIFY(walked.ok);
    QCOMPARE(walked.output, QByteArray("1.txt,z.txt | locked"));
}

// Some file systems (tmpfs among them) keep any 64-bit second count, which
// in milliseconds no longer fits 64 bits.
void tst_FileIntake::timeBeyondMilliseconds()
{
    const qint64 seconds = qint64(1) << 62;
    QByteArray path;
    for (const QByteArray &folder : {m_dir.path(), QByteArray("/dev/shm")}) {
        path = folder + "/far-future-" + QByteArray::number(::getpid());
        struct stat info;
        if (makeFile(path, 1, seconds) && ::stat(path.constData(), &info) == 0 &&
            info.st_mtim.tv_sec == seconds)
            break;
        ::unlink(path.constData());
        path.clear();
    }
    if (path.isEmpty())
        QSKIP("no file system here keeps a modification time of 2^62 seconds");
    FileList list;
    QVERIFY(FileIntake(list).insertFile(path));
    ::unlink(path.constData());
    // The latest time that milliseconds hold, whole seconds, in Berlin.
    QCOMPARE(list.fileAtIndex(0)->fileTime(), qint64(9223372036854774000));
    QCOMPARE(list.fileAtIndex(0)->date(), u"292278994/08/17 08:12"_s);
}

// Large folders are looked at on two threads while their records are made;
// what is listed must not show it. Entry k of the folder "big" is named after
// k, so the records come in the order of k, and its kind and attributes
// follow from k: every 29th is a folder holding `inner` files, every 11th a
// link to one folder elsewhere, every 13th a dangling link, every 5th a file
// whose name is not UTF-8, the rest plain files; each with a size and date of
// its own, so that attributes landing on the wrong record show.
void tst_FileIntake::largeFolder_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("inner");
    QTest::addColumn<bool>("readsAttributes");
    constexpr int threshold = int(FileIntake::ParallelStatThreshold);
    QTest::newRow("one below the threshold") << threshold - 1 << 1 << true;
    QTest::newRow("at the threshold") << threshold << 1 << true;
    QTest::newRow("one above the threshold") << threshold + 1 << 1 << true;
    QTest::newRow("many times the threshold, part of a chunk at the end")
        << 3 * threshold + 37 << 2 << true;
    QTest::newRow("its folders above the threshold too") << threshold + 1 << threshold + 1 << true;
    // Each folder after a large one read ahead, the links to a folder among
    // them missed by the guess.
    constexpr int ahead = int(FileIntake::ReadAheadThreshold);
    QTest::newRow("folders read ahead") << ahead + 37 << ahead << true;
    // Only the links are looked at during the walk; the rest are read after.
    QTest::newRow("attributes read after the walk") << 3 * threshold + 37 << 2 << false;
}

void tst_FileIntake::largeFolder()
{
    QFETCH(int, count);
    QFETCH(int, inner);
    QFETCH(bool, readsAttributes);
    ScratchDir dir;
    const QByteArray big = dir.path("big");
    makeTree(dir.path(), {"big/", "elsewhere/"});
    QVERIFY(makeFile(dir.path("elsewhere/t.txt"), 77, 1500000000));

    QByteArrayList expected;
    const auto line = [](const QByteArray &path, qint64 size, qint64 seconds) {
        return path + " | " + QByteArray::number(size) + " | " + QByteArray::number(seconds * 1000);
    };
    for (int k = 0; k < count; ++k) {
        const QByteArray stem = QByteArray::number(k).rightJustified(5, '0');
        const qint64 seconds = 1600000000 + qint64(k) * 61;
        if (k % 29 == 3) {
            QVERIFY(::mkdir(big + '/' + stem + " dir", 0755) == 0);
            for (int i = 0; i < inner; ++i) {
                const QByteArray name =
                    stem + " dir/" + QByteArray::number(i).rightJustified(4, '0');
                QVERIFY(makeFile(big + '/' + name, k * 10 + i, seconds + i));
                expected << line(name, k * 10 + i, seconds + i);
            }
        } else if (k % 11 == 5) {
            // Walked through the first link only.
            QVERIFY(makeLink("../elsewhere", big + '/' + stem + " link"));
            if (k == 5)
                expected << line(stem + " link/t.txt", 77, 1500000000);
        } else if (k % 13 == 7) {
            QVERIFY(makeLink("nowhere/" + stem, big + '/' + stem + " dangling", seconds));
            expected << line(stem + " dangling", 13, seconds); // the target's length
        } else {
            const QByteArray name = stem + (k % 5 == 2 ? " caf\xE9\xFF.bin" : ".txt");
            QVERIFY(makeFile(big + '/' + name, k, seconds));
            expected << line(name, k, seconds);
        }
    }

    FileList list;
    FileIntake intake(list);
    intake.setReadsAttributes(readsAttributes);
    // Files whose names are not UTF-8 have them read as they are listed.
    intake.setAttributesNeeded([](const ZQFile &file) { return file.name().contains(u"caf"); });
    QVERIFY(!intake.insertFile(big));
    for (const auto &file : list.contentsArray()) {
        if (file->hasDateText())
            continue;
        QVERIFY(!readsAttributes && !file->nativePath().contains(" dangling") &&
                !file->nativePath().contains(" caf"));
        QVERIFY(FileIntake::readAttributes(*file));
    }
    QCOMPARE(listedBelow(list, big, true), expected);
    QCOMPARE(intake.added(), expected.size());
}

// A progress that throws leaves a large folder half made into records while
// its entries are still being looked at on the other thread (sizes and dates
// read; unread, "b" has been read ahead, and "a" is read ahead again by the
// second walk). That thread must be done with them before they go, and the
// intake must stay usable: walking the tree again adds what is missing.
void tst_FileIntake::exceptionDuringLargeFolder()
{
    QFETCH(bool, readsAttributes);
    ScratchDir dir;
    // Progress comes every 256 records: here at the first of "b", whose
    // entries have just been handed to the other thread.
    constexpr int inA = 255;
    constexpr int inB = 400;
    makeTree(dir.path(), {"a/", "b/"});
    for (int i = 0; i < inA + inB; ++i) {
        const int k = i < inA ? i : i - inA;
        QVERIFY(makeFile(
            dir.path(i < inA ? "a/" : "b/") + QByteArray::number(k).rightJustified(5, '0'), k, 1));
    }

    FileList list;
    FileIntake intake(list);
    intake.setReadsAttributes(readsAttributes);
    intake.setProgress(
        [](qsizetype added) {
            if (added == 256)
                throw std::runtime_error("progress");
        },
        256);
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, intake.insertFile(dir.path()));
    QCOMPARE(list.count(), inA + 1);
    QCOMPARE(list.fileAtIndex(inA)->nativePath(), dir.path("b/00000"));

    intake.setProgress({});
    QVERIFY(!intake.insertFile(dir.path()));
    QCOMPARE(list.count(), inA + inB);
    QCOMPARE(list.fileAtIndex(inA + 1)->nativePath(), dir.path("b/00001"));
    QCOMPARE(list.fileAtIndex(inA + inB - 1)->nativePath(), dir.path("b/00399"));
    QCOMPARE(list.fileAtIndex(inA + inB - 1)->fullSize(), quint64(readsAttributes ? 399 : 0));
}

// Sizes and dates unread, a run of links longer than the threshold before the
// first sub-folder: the links are looked at on the helper thread while the
// walk works out which folder to read ahead. Under ThreadSanitizer a race
// between the two shows here.
void tst_FileIntake::linksBeforeFirstFolder()
{
    ScratchDir dir;
    makeTree(dir.path(), {"top/", "top/zz/", "top/zz/inner.txt=", "target.txt="});
    QByteArrayList expected;
    for (int i = 0; i < 200; ++i) {
        const QByteArray name = "l" + QByteArray::number(i).rightJustified(3, '0');
        QVERIFY(makeLink("../target.txt", dir.path("top/" + name)));
        expected << name;
    }
    expected << "zz/inner.txt";
    FileList list;
    FileIntake intake(list);
    intake.setReadsAttributes(false);
    QVERIFY(!intake.insertFile(dir.path("top")));
    QCOMPARE(listedBelow(list, dir.path("top")), expected);
}

// Each of 21 folders holds a file and two links to the next folder: walked
// through every link, the tree would list 2^21 - 1 files.
void tst_FileIntake::doublingLinks()
{
    ScratchDir dir;
    constexpr int levels = 21;
    for (int level = 0; level < levels; ++level) {
        const QByteArray folder = dir.path("d" + QByteArray::number(level));
        QVERIFY(::mkdir(folder, 0755) == 0 && makeFile(folder + "/f"));
        if (level + 1 < levels) {
            const QByteArray next = "../d" + QByteArray::number(level + 1);
            QVERIFY(makeLink(next, folder + "/a") && makeLink(next, folder + "/b"));
        }
    }
    FileList list;
    FileIntake intake(list);
    QVERIFY(!intake.insertFile(dir.path("d0")));
    QCOMPARE(list.count(), levels);
    // Depth first, through the first link of each folder.
    QCOMPARE(list.fileAtIndex(0)->nativePath(),
             dir.path("d0" + QByteArray("/a").repeated(20) + "/f"));
    QCOMPARE(list.fileAtIndex(levels - 1)->nativePath(), dir.path("d0/f"));
    // Another walk, another top-level folder: walked anew.
    QVERIFY(!intake.insertFile(dir.path("d1")));
    QCOMPARE(list.count(), 2 * levels - 1);
    QVERIFY(intake.unreadableFolders().isEmpty());
}

// Files deeper than the longest path the system takes in one call are still
// listed, under their whole path.
void tst_FileIntake::deeperThanPathMax()
{
    ScratchDir dir;
    const QByteArray name(250, 'd');
    constexpr int levels = 20;
    std::vector<int> fds{::open(dir.path().constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    QByteArray deepest = dir.path();
    for (int level = 0; level < levels; ++level) {
        QVERIFY(::mkdirat(fds.back(), name.constData(), 0755) == 0);
        fds.push_back(::openat(fds.back(), name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        QVERIFY(fds.back() >= 0);
        deepest += '/' + name;
    }
    const int file = ::openat(fds.back(), "bottom.txt", O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    QVERIFY(file >= 0);
    ::close(file);
    // Taken down again through the descriptors: no path reaches the bottom.
    const auto takeDown = qScopeGuard([&] {
        ::unlinkat(fds.back(), "bottom.txt", 0);
        for (int level = levels; level > 0; --level) {
            ::close(fds[size_t(level)]);
            ::unlinkat(fds[size_t(level) - 1], name.constData(), AT_REMOVEDIR);
        }
        ::close(fds[0]);
    });

    FileList list;
    FileIntake intake(list);
    QVERIFY(!intake.insertFile(dir.path()));
    QCOMPARE(list.count(), 1);
    QVERIFY(deepest.size() > PATH_MAX);
    QCOMPARE(list.fileAtIndex(0)->nativePath(), deepest + "/bottom.txt");
    QVERIFY(intake.unreadableFolders().isEmpty());
}

// A folder removed while the walk is on its way to it is passed over without
// a word: it is no longer there to be listed.
void tst_FileIntake::folderVanishes()
{
    QFETCH(bool, readsAttributes);
    ScratchDir dir;
    makeTree(dir.path(), {"a.txt=", "b/", "b/gone.txt=", "c/", "c/kept.txt="});
    FileList list;
    FileIntake intake(list);
    intake.setReadsAttributes(readsAttributes);
    intake.setProgress({});
    const auto removeB = [&dir] {
        ::unlink(dir.path("b/gone.txt").constData());
        ::rmdir(dir.path("b").constData());
    };
    intake.setAttributesNeeded([&](const ZQFile &file) {
        if (file.name() == u"a.txt"_s)
            removeB();
        return false;
    });
    if (readsAttributes)
        QVERIFY(intake.insertFile(dir.path("a.txt")) && (removeB(), true));
    QVERIFY(!intake.insertFile(dir.path()));
    QCOMPARE(listedBelow(list, dir.path()), (QByteArrayList{"a.txt", "c/kept.txt"}));
    QVERIFY(intake.unreadableFolders().isEmpty());
}

void tst_FileIntake::filters_data()
{
    // Paths joined by "|".
    QTest::addColumn<QByteArray>("files"); // none: the tree of filters()
    QTest::addColumn<QByteArrayList>("include");
    QTest::addColumn<QByteArrayList>("exclude");
    QTest::addColumn<bool>("ignoreCase");
    QTest::addColumn<bool>("noHidden");
    QTest::addColumn<QByteArray>("expected");
    using L = QByteArrayList;
    // Names in a folder are listed in the byte order of their names, compared
    // as unsigned bytes; names that agree in their first eight bytes are where
    // a shortcut would go wrong.
    const auto byteOrder = [](const char *tag, const QByteArray &names) {
        QTest::newRow(tag) << names << L{} << L{} << false << false << names;
    };
    byteOrder("a name before its longer forms", "a|a.txt|ab|abcdefg|abcdefgh|abcdefgh.|abcdefghi");
    byteOrder("ninth byte decides", "IMG_0001.jpg|IMG_00010.jpg|IMG_0001_x.jpg|IMG_0002.jpg");
    byteOrder("bytes above 0x7f after ASCII", "Z|a|cafe|caf\xc3\xa9|caf\xe9|\xff");
    byteOrder("upper case first, digits before letters", "10|2|B|a|b");
    QTest::newRow("no filter: everything, dot-names too")
        << QByteArray() << L{} << L{} << false << false << filterTree;
    QTest::newRow("*.jpg: case counts")
        << QByteArray() << L{"*.jpg"} << L{} << false << false
        << ".git/objects/ab.jpg|Sub/.hid.jpg|Sub/d.jpg|b.jpg|caf\xe9.jpg"_ba;
    QTest::newRow("*.jpg, ignoring case")
        << QByteArray() << L{"*.jpg"} << L{} << true << false
        << ".git/objects/ab.jpg|Sub/.hid.jpg|Sub/d.jpg|a.JPG|b.jpg|caf\xe9.jpg"_ba;
    QTest::newRow("no hidden: dot-files and everything below a dot-folder")
        << QByteArray() << L{} << L{} << false << true
        << "Sub/c.JPEG|Sub/d.jpg|a.JPG|b.jpg|caf\xe9.jpg|notes.txt"_ba;
    QTest::newRow("two includes, one exclude that wins, no hidden")
        << QByteArray() << L{"*.jp*g", "*.txt"} << L{"[bc]*"} << true << true
        << "Sub/d.jpg|a.JPG|notes.txt"_ba;
}

// What a walk lists under a filter: patterns on the name alone, a folder
// never filtered by its own name except a hidden one; a file handed over by
// path is listed whatever the filter says.
void tst_FileIntake::filters()
{
    QFETCH(QByteArray, files);
    QFETCH(QByteArrayList, include);
    QFETCH(QByteArrayList, exclude);
    QFETCH(bool, ignoreCase);
    QFETCH(bool, noHidden);
    ScratchDir scratch;
    const QByteArray root = scratch.path();
    const bool tree = files.isEmpty();
    if (tree)
        makeTree(root, {".git/", ".git/objects/", "Sub/"});
    const QByteArrayList names = (tree ? filterTree : files).split('|');
    // Made in reverse, so that the folder's own order is no help.
    for (auto it = names.crbegin(); it != names.crend(); ++it)
        QVERIFY(makeFile(scratch.path(*it)));
    FileList list;
    FileIntake intake(list);
    intake.setFilter({include, exclude, ignoreCase, noHidden});
    intake.insertFile(root);
    QTEST(listedBelow(list, root).join('|'), "expected");

    if (!tree)
        return;
    FileList byPath;
    FileIntake direct(byPath);
    direct.setFilter({include, QByteArrayList{"*"}, ignoreCase, noHidden});
    QVERIFY(direct.insertFile(root + "/.DS_Store"));
}

void tst_FileIntake::folderIdentities_data()
{
    using L = QByteArrayList;
    // Paths given (below the scratch folder), the folders whose identity the
    // list keeps (below it too, "tree" for the tree itself).
    QTest::addColumn<QByteArrayList>("paths");
    QTest::addColumn<QByteArrayList>("folders");

    QTest::newRow("the tree") << L{"tree"} << L{"tree", "tree/b", "tree/b/d"};
    QTest::newRow("one file") << L{"tree/b/c.txt"} << L{"tree/b"};
    QTest::newRow("an empty folder") << L{"tree/empty"} << L{};
    QTest::newRow("one file deep down") << L{"deep"} << L{"deep/1/2/3/4"};
    QTest::newRow("a folder reached through a link") << L{"tree/m"} << L{"tree/m"};
}

// The list keeps the identity of each folder that holds a listed file, for
// the run to know it again, and of no other: the folders on the way down
// each kept their whole path.
void tst_FileIntake::folderIdentities()
{
    QFETCH(QByteArrayList, paths);
    const QByteArray base = m_dir.path();
    FileList list;
    FileIntake intake(list);
    for (const QByteArray &path : paths)
        intake.insertFile(base + '/' + path);
    QByteArrayList kept;
    for (auto it = list.folderIdentities().cbegin(); it != list.folderIdentities().cend(); ++it) {
        kept << it.key().mid(base.size() + 1);
        struct stat info;
        QVERIFY(::stat(it.key().constData(), &info) == 0);
        QCOMPARE(it.value(), FileList::FolderIdentity(info.st_dev, info.st_ino));
    }
    std::sort(kept.begin(), kept.end());
    QTEST(kept, "folders");
}

QTEST_GUILESS_MAIN(tst_FileIntake)
#include "tst_fileintake.moc"
