// SPDX-License-Identifier: GPL-3.0-or-later
// How an undo knows the files of a run again: by inode and birth time where
// inode numbers last, by name, size and time where they do not, on the volume
// the run saw whatever device it is mounted from now.
#include "diskfiles.h"
#include "journalrun.h"
#include "loopmount.h"
#include "rename/filematch.h"
#include "rename/renamerun.h"
#include "rename/undorun.h"
#include "scratchdir.h"

#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using L = QByteArrayList;

namespace {

// Sizes and times of the table below, in nanoseconds since the epoch.
constexpr qint64 t0 = 1709644029000000000; // 2024-03-05 13:07:09 UTC
constexpr qint64 second = 1000000000;

JournalMove recorded(const char *fileSystem, quint64 inode, qint64 size, qint64 modified,
                     qint64 born, const char *volume = "")
{
    JournalMove move{"/v", "a", "b", 2049, inode};
    move.size = size;
    move.modified = modified;
    move.born = born;
    move.fileSystem = fileSystem;
    move.volume = volume;
    return move;
}

} // namespace

class tst_UndoVolumes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sameFile_data();
    void sameFile();
    void sameVolume_data();
    void sameVolume();
    void undoAfterTheVolumeCameBack_data();
    void undoAfterTheVolumeCameBack();

private:
    ScratchDir m_state;
};

void tst_UndoVolumes::sameFile_data()
{
    QTest::addColumn<JournalMove>("recorded");
    QTest::addColumn<quint64>("inode");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<qint64>("modified");
    QTest::addColumn<qint64>("born");
    QTest::addColumn<bool>("same");

    // The file found now: its inode, size, modification and birth time.
    const auto row = [](const char *tag, const JournalMove &recorded, quint64 inode, qint64 size,
                        qint64 modified, qint64 born, bool same) {
        QTest::newRow(tag) << recorded << inode << size << modified << born << same;
    };
    const JournalMove ext4 = recorded("ext4", 12, 100, t0, t0 + 5);
    row("ext4, inode and birth", ext4, 12, 100, t0, t0 + 5, true);
    row("ext4, written to since", ext4, 12, 7, t0 + 60 * second, t0 + 5, true);
    row("ext4, inode given to a file born later", ext4, 12, 100, t0, t0 + 6, false);
    const JournalMove unborn = recorded("xfs", 12, 100, t0 + 7, 0);
    row("no birth time, size and time agree", unborn, 12, 100, t0 + 7, 0, true);
    row("no birth time, written to since", unborn, 12, 100, t0 + 8, 0, false);

    const JournalMove exfat = recorded("exfat", 2, 100, t0 + 500, 0);
    row("exfat, new inode, same second", exfat, 3, 100, t0 + second - 1, 0, true);
    row("exfat, the next second", exfat, 2, 100, t0 + second, 0, false);
    row("exfat, birth kept on one side only", exfat, 9, 100, t0, t0, true);
    const JournalMove old = recorded("exfat", 2, 0, -1500000000, 0); // 1969-12-31 23:59:58.5
    row("before 1970, same second", old, 2, 0, -1000000001, 0, true);
    row("before 1970, the next second", old, 2, 0, -999999999, 0, false);
    const JournalMove vfat = recorded("vfat", 2, 100, t0 - second, 0);
    row("vfat, same two seconds", vfat, 5, 100, t0 + 999, 0, true);
    row("vfat, the next two seconds", vfat, 5, 100, t0 + second, 0, false);
    row("sshfs, a new inode after the move", recorded("fuse.sshfs", 40, 3, t0, 0), 41, 3, t0, 0,
        true);

    row("version 1, device and inode", recorded("exfat", 2, -1, 0, 0), 2, 5, t0, t0, true);
    row("not there when planned", recorded("exfat", 0, 0, 0, 0), 0, 0, 0, 0, false);
}

void tst_UndoVolumes::sameFile()
{
    QFETCH(JournalMove, recorded);
    QFETCH(quint64, inode);
    QFETCH(qint64, size);
    QFETCH(qint64, modified);
    QFETCH(qint64, born);
    QTEST(FileMatch::sameFile(recorded, FileStamp{2049, inode, size, modified, born}), "same");
}

void tst_UndoVolumes::sameVolume_data()
{
    QTest::addColumn<JournalMove>("recorded");
    QTest::addColumn<QByteArray>("volume");
    QTest::addColumn<quint64>("device");
    QTest::addColumn<bool>("same");

    const char *uuid = "116c7751-a685-445b-aee9-c8984a5ba61c";
    const JournalMove ext4 = recorded("ext4", 12, 1, t0, t0, uuid);
    QTest::newRow("same UUID on another device") << ext4 << QByteArray(uuid) << 1793ull << true;
    QTest::newRow("another UUID on the same device")
        << ext4 << "216c7751-a685-445b-aee9-c8984a5ba61c"_ba << 2049ull << false;
    const JournalMove tmpfs = recorded("tmpfs", 12, 1, t0, t0);
    QTest::newRow("tmpfs, another device") << tmpfs << QByteArray() << 47ull << false;
    const JournalMove exfat = recorded("exfat", 2, 1, t0, 0, "6F17-FC04");
    QTest::newRow("sshfs, no UUID, another device")
        << recorded("fuse.sshfs", 2, 1, t0, 0) << QByteArray() << 48ull << true;
    QTest::newRow("exfat, another card") << exfat << "6F17-FC05"_ba << 2049ull << false;
    QTest::newRow("version 1, another device")
        << recorded("", 2, -1, 0, 0) << QByteArray() << 48ull << false;
}

void tst_UndoVolumes::sameVolume()
{
    QFETCH(JournalMove, recorded);
    QFETCH(QByteArray, volume);
    QFETCH(quint64, device);
    QTEST(FileMatch::sameVolume(recorded, volume, device), "same");
}

void tst_UndoVolumes::undoAfterTheVolumeCameBack_data()
{
    QTest::addColumn<QString>("volume");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("expected");
    const QString original = u"a=aaaa b=bbbbbbb c=cc e=1 f=2"_s;
    for (const char *volume : {"ext4", "exfat", "ntfs"}) {
        for (const char *how : {"another device", "caches dropped"}) {
            QTest::newRow((QByteArray(volume) + ", " + how).constData())
                << QString::fromLatin1(volume) << QString::fromLatin1(how) << original;
        }
    }
    // After the run another file of the same size takes a new name (on ext4
    // the number of the file just deleted, and even its time, so that only
    // its birth tells): the undo leaves it where it is.
    const QString impostor = u"b=bbbbbbb c=cc e=1 f=2 x=zzzz"_s;
    QTest::newRow("ext4, the inode given again, same time")
        << u"ext4"_s << u"impostor, same time"_s << impostor;
    QTest::newRow("exfat, same size, written later") << u"exfat"_s << u"impostor"_s << impostor;
}

// A run over a plain move, a chain and a swap of two files that agree in size
// and time, then the volume is mounted again (from another loop device) or
// its cache dropped: the undo finds every file and gives each its name back.
void tst_UndoVolumes::undoAfterTheVolumeCameBack()
{
    QFETCH(QString, volume);
    QFETCH(QString, how);
    LoopMount mount(volume);
    if (!mount.isValid())
        QSKIP(qPrintable(mount.whyNot()));
    const QByteArray folder = mount.path("DCIM");
    QCOMPARE(::mkdir(folder.constData(), 0755), 0);
    for (const QByteArray &file : L{"a=aaaa", "b=bbbbbbb", "c=cc", "e=1", "f=2"}) {
        writeFile(folder + '/' + file.left(1), file.mid(2));
        setTime(folder + '/' + file.left(1), 1709644029);
    }
    const QString journals = QFile::decodeName(m_state.path(QTest::currentDataTag()));
    const RenameRun::Report run =
        runWithJournal(folder, {"a>x", "b>c", "c>d", "e>f", "f>e"}, journals);
    QCOMPARE(run.renamed, 5);
    QCOMPARE(folderEntries(folder), u"c=bbbbbbb d=cc e=2 f=1 x=aaaa"_s);

    const QString deviceBefore = mount.device();
    const QByteArray x = folder + "/x";
    struct stat moved, impostor;
    if (how.startsWith(u"impostor")) {
        QCOMPARE(::lstat(x.constData(), &moved), 0);
        QCOMPARE(::unlink(x.constData()), 0);
        writeFile(x, "zzzz");
        QVERIFY(how != u"impostor, same time" || setTime(x, 1709644029));
        QCOMPARE(::lstat(x.constData(), &impostor), 0);
        QVERIFY(volume != u"ext4" || impostor.st_ino == moved.st_ino);
    } else if (how == u"caches dropped") {
        if (!dropCaches())
            QSKIP("the caches cannot be dropped here (needs root)");
    } else {
        QVERIFY2(mount.remount(true), qPrintable(mount.whyNot()));
        QVERIFY(mount.device() != deviceBefore);
    }

    const UndoRun::Report undo = UndoRun::run(run.journalPath, UndoRun::Direction::Undo);
    QVERIFY2(undo.error.isEmpty(), qPrintable(undo.error));
    QCOMPARE(undo.detailedText(), how.startsWith(u"impostor")
                                      ? u"“%1/x” stays, not “%1/a”: changed since the run"_s.arg(
                                            QFile::decodeName(folder))
                                      : QString());
    QTEST(folderEntries(folder), "expected");
}

QTEST_GUILESS_MAIN(tst_UndoVolumes)
#include "tst_undovolumes.moc"
