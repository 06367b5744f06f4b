// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskfiles.h"
#include "loopmount.h"
#include "posix/nativemove.h"
#include "scratchdir.h"

#include <QTest>

#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <unistd.h>

using namespace Qt::StringLiterals;
using L = QByteArrayList;

namespace {} // namespace

class tst_NativeMove : public QObject
{
    Q_OBJECT

private slots:
    void moves_data();
    void moves();
    void placeholderNeverReplaces();
    void hardLinksUnderBothNames();
};

// Each move on a real volume: ext4 (or whatever holds the temporary folder),
// exFAT through FUSE (no rename flags, no hard links, case-insensitive) and
// NTFS through ntfs-3g (no rename flags, case-sensitive). Each file holds its
// own first name, so that a replaced or lost file shows on disk.
void tst_NativeMove::moves_data()
{
    QTest::addColumn<QString>("volume");
    QTest::addColumn<L>("files");
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("expectedDisk");
    const QString exists = u"File exists"_s;
    for (const QString &volume : {u"local"_s, u"exfat"_s, u"ntfs"_s}) {
        const QByteArray v = volume.toUtf8() + ": ";
        const bool exfat = volume == u"exfat";
        QTest::newRow(v + "free name") << volume << L{"a"} << "a"_ba
                                       << "b"_ba << QString() << u"b=a"_s;
        QTest::newRow(v + "taken name") << volume << L{"a", "b"} << "a"_ba
                                        << "b"_ba << exists << u"a=a b=b"_s;
        QTest::newRow(v + "case only") << volume << L{"photo.jpg"} << "photo.jpg"_ba
                                       << "Photo.JPG"_ba << QString() << u"Photo.JPG=photo.jpg"_s;
        QTest::newRow(v + "taken in another case")
            << volume << L{"a", "b"} << "a"_ba
            << "B"_ba << (exfat ? exists : QString()) << (exfat ? u"a=a b=b"_s : u"B=a b=b"_s);
        QTest::newRow(v + "non-ASCII")
            << volume << L{"a"} << "a"_ba
            << "Ärger ß 日本.txt"_ba << QString() << u"Ärger ß 日本.txt=a"_s;
        if (volume != u"local") {
            // Names these volumes cannot hold fail with the volume's reason,
            // and leave no placeholder behind.
            for (const QByteArray &bad :
                 {"a:b"_ba, "a?"_ba, "a*b"_ba, "a\"b"_ba, "a<b>"_ba, "a|b"_ba, "a\\b"_ba}) {
                QTest::newRow(v + "cannot hold " + bad)
                    << volume << L{"a"} << "a"_ba << bad << u"*"_s << u"a=a"_s;
            }
        }
    }
}

void tst_NativeMove::moves()
{
    QFETCH(QString, volume);
    QFETCH(L, files);
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QString, error);
    ScratchDir local;
    std::unique_ptr<LoopMount> mount;
    QByteArray folder = local.path();
    if (volume != u"local") {
        mount = std::make_unique<LoopMount>(volume);
        if (!mount->isValid())
            QSKIP(qPrintable(mount->whyNot()));
        folder = mount->path();
    }
    if (volume == u"ntfs" && QByteArray(QTest::currentDataTag()).contains("cannot hold"))
        QSKIP("ntfs-3g holds these characters unless mounted with windows_names");
    for (const QByteArray &file : files)
        writeFile(folder + '/' + file, file);
    const int fd = open(folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    QVERIFY(fd >= 0);
    QByteArray stranded;
    const int rc = NativeMove::moveAt(fd, from.constData(), fd, to.constData(), &stranded);
    close(fd);
    if (error == u"*")
        QVERIFY2(rc != 0, "a name the volume cannot hold was accepted");
    else
        QCOMPARE(rc ? NativeMove::reason(rc) : QString(), error);
    QVERIFY(stranded.isEmpty());
    QTEST(folderEntries(folder), "expectedDisk");
}

// The placeholder move on any folder: a name that exists is never replaced,
// whether it is a file, an empty file or a link; a free one is taken.
void tst_NativeMove::placeholderNeverReplaces()
{
    ScratchDir dir;
    writeFile(dir.path("a"), "a");
    writeFile(dir.path("full"), "full");
    writeFile(dir.path("empty"), "");
    QVERIFY(symlink("nowhere", dir.path("dangling").constData()) == 0);
    const int fd = open(dir.path().constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    for (const char *taken : {"full", "empty", "dangling"})
        QCOMPARE(NativeMove::placeholderMove(fd, "a", fd, taken), EEXIST);
    QCOMPARE(NativeMove::placeholderMove(fd, "gone", fd, "free"), ENOENT);
    QCOMPARE(NativeMove::placeholderMove(fd, "a", fd, "b"), 0);
    close(fd);
    QCOMPARE(folderEntries(dir.path()), u"b=a dangling= empty= full=full"_s);
}

// Two hard links Foo and foo of one file on a case-sensitive folder are two
// names: moving Foo to foo is refused and goes through no temporary name.
void tst_NativeMove::hardLinksUnderBothNames()
{
    ScratchDir dir;
    writeFile(dir.path("Foo"), "x");
    QVERIFY(link(dir.path("Foo").constData(), dir.path("foo").constData()) == 0);
    const int fd = open(dir.path().constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    QByteArray stranded;
    QCOMPARE(NativeMove::moveAt(fd, "Foo", fd, "foo", &stranded), EEXIST);
    QCOMPARE(NativeMove::hasExactEntry(fd, "foo"), 1);
    QCOMPARE(NativeMove::hasExactEntry(fd, "FOO"), 0);
    close(fd);
    QVERIFY(stranded.isEmpty());
    QCOMPARE(folderEntries(dir.path()), u"Foo=x foo=x"_s);
}

QTEST_GUILESS_MAIN(tst_NativeMove)
#include "tst_nativemove.moc"
