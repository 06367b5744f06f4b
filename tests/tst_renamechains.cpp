// SPDX-License-Identifier: GPL-3.0-or-later
#include "asnobody.h"
#include "diskfiles.h"
#include "files/filelist.h"
#include "intake/fileintake.h"
#include "loopmount.h"
#include "plan/renameplan.h"
#include "rename/renamelog.h"
#include "rename/renamerun.h"
#include "rules/namecomposer.h"
#include "scratchdir.h"

#include <QTest>

#include <atomic>
#include <dirent.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using S = QStringList;
using L = QByteArrayList;

namespace {

// Files in one folder, each holding its own name, listed through the intake.
void makeFiles(const QByteArray &folder, const L &names, FileList &list)
{
    FileIntake intake(list);
    for (const QByteArray &name : names) {
        std::ofstream(folder.toStdString() + '/' + name.toStdString()) << name.toStdString();
        intake.insertFile(folder + '/' + name);
    }
}

// The plan of the list as the window would show it, then the run; every file
// the plan moves must end under the name it showed, holding its content.
RenameRun::Report planAndRun(FileList &list, const RenameRun::NameSource &names)
{
    std::vector<RenamePlan::File> files = RenamePlan::filesOf(list);
    std::vector<QByteArray> contents;
    std::vector<QString> newNames;
    for (qint64 row = 0; row < list.count(); ++row) {
        contents.push_back(readFile(list.fileAtIndex(row)->nativePath()));
        newNames.push_back(names(*list.fileAtIndex(row), row));
    }
    const RenamePlan plan = RenamePlan::fromNames(files, newNames);
    const RenameRun::Report report = RenameRun::clickStart(list, names, nullptr, nullptr);
    for (qint64 row = 0; row < plan.count(); ++row) {
        if (plan.row(row).status != RenamePlan::Status::Move)
            continue;
        const QByteArray &path = files[size_t(row)].path;
        const QByteArray moved = path.left(path.lastIndexOf('/') + 1) + plan.row(row).newNativeName;
        if (readFile(moved) != contents[size_t(row)] ||
            list.fileAtIndex(row)->nativePath() != moved)
            qWarning() << "not moved as planned:" << path << "to" << moved;
    }
    return report;
}

RenameRun::NameSource fixedNames(const S &newNames)
{
    return [newNames](const ZQFile &, qint64 row) { return newNames.value(row); };
}

} // namespace

class tst_RenameChains : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        RenameLog::setSink([](const QString &) {});
    }
    void chains_data();
    void chains();
    void cycleWithAFailureGoesBack();
    void cancelInACycle();
    void replacedFolder();
    void exfatVolume();
};

// One folder; each file holds its old name. The listed names in stored order,
// the template, the sort direction, then the disk and the failures.
void tst_RenameChains::chains_data()
{
    QTest::addColumn<L>("files");
    QTest::addColumn<QString>("nameTemplate");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("step");
    QTest::addColumn<bool>("descending");
    QTest::addColumn<QString>("expectedDisk");
    QTest::addColumn<int>("failed");
    const L three{"1.txt", "2.txt", "3.txt"};
    QTest::newRow("shift up") << three << u"[C]"_s << 2 << 1 << false
                              << u"2.txt=1.txt 3.txt=2.txt 4.txt=3.txt"_s << 0;
    QTest::newRow("shift up, descending")
        << three << u"[C]"_s << 2 << 1 << true << u"2.txt=3.txt 3.txt=2.txt 4.txt=1.txt"_s << 0;
    QTest::newRow("counting down")
        << three << u"[C]"_s << 4 << -1 << false << u"2.txt=3.txt 3.txt=2.txt 4.txt=1.txt"_s << 0;
    QTest::newRow("counting down, descending")
        << three << u"[C]"_s << 4 << -1 << true << u"2.txt=1.txt 3.txt=2.txt 4.txt=3.txt"_s << 0;
    QTest::newRow("shift down") << three << u"[C]"_s << 0 << 1 << false
                                << u"0.txt=1.txt 1.txt=2.txt 2.txt=3.txt"_s << 0;
    QTest::newRow("swap") << L{"1.txt", "2.txt"} << u"[C]"_s << 2 << -1 << false
                          << u"1.txt=2.txt 2.txt=1.txt"_s << 0;
    QTest::newRow("three-cycle") << L{"2.txt", "3.txt", "1.txt"} << u"[C]"_s << 1 << 1 << false
                                 << u"1.txt=2.txt 2.txt=3.txt 3.txt=1.txt"_s << 0;
    QTest::newRow("two to one name") << L{"a.txt", "b.txt"} << u"same"_s << 1 << 1 << false
                                     << u"b.txt=b.txt same.txt=a.txt"_s << 1;
}

void tst_RenameChains::chains()
{
    QFETCH(L, files);
    QFETCH(QString, nameTemplate);
    QFETCH(bool, descending);
    ScratchDir dir;
    FileList list;
    makeFiles(dir.path(), files, list);
    list.setSortDescending(descending);
    RenameSettings settings;
    settings.nameTemplate = nameTemplate;
    QFETCH(int, start);
    QFETCH(int, step);
    settings.startCounter = start;
    settings.stepCounter = step;
    const NameComposer composer(settings);
    QTest::failOnWarning(QRegularExpression(u"not moved as planned"_s));
    const RenameRun::Report report = planAndRun(
        list, [&](const ZQFile &file, qint64 row) { return composer.newNameForFile(file, row); });
    QTEST(folderEntries(dir.path()), "expectedDisk");
    QTEST(int(report.failed), "failed");
}

// A three-cycle in a sticky folder, run by a user who owns two of the files:
// the move of the third fails, and the two others go back to their names.
void tst_RenameChains::cycleWithAFailureGoesBack()
{
#ifdef __SANITIZE_THREAD__
    QSKIP("ThreadSanitizer cannot follow the run's threads into the forked child");
#endif
    ScratchDir dir;
    const QByteArray sticky = dir.path("sticky");
    QVERIFY(mkdir(sticky.constData(), 0777) == 0);
    QVERIFY(chmod(sticky.constData(), 01777) == 0);
    FileList list;
    makeFiles(sticky, {"a", "b", "c"}, list);
    if (geteuid() != 0)
        QSKIP("needs root, to give the files to another user");
    for (const char *mine : {"a", "b"})
        QVERIFY(chown((sticky + '/' + mine).constData(), 65534, 65534) == 0);
    const ChildResult child = runWithoutPrivileges([&] {
        const RenameRun::Report report =
            RenameRun::clickStart(list, fixedNames({u"b"_s, u"c"_s, u"a"_s}), nullptr, nullptr);
        QByteArray result;
        for (const RenameRun::Entry &entry : report.entries)
            result += entry.error.toUtf8() + ';';
        return result;
    });
    QVERIFY(child.ok);
    const QByteArray back = "Another file of its cycle of names could not be renamed, so it "
                            "keeps its old name.";
    QCOMPARE(child.output, back + ';' + back + ";Operation not permitted;");
    QCOMPARE(folderEntries(sticky), u"a=a b=b c=c"_s);
}

// Each of 3000 files takes the next one's name and the last the first's: one
// cycle. Cancelled while it runs, every file is back under its own name and
// no temporary name is left.
void tst_RenameChains::cancelInACycle()
{
    ScratchDir dir;
    FileList list;
    L names;
    S newNames;
    QStringList expected;
    for (int i = 0; i < 3000; ++i) {
        names << QByteArray::number(10000 + i);
        newNames << QString::number(10000 + (i + 1) % 3000);
        expected << u"%1=%1"_s.arg(10000 + i);
    }
    makeFiles(dir.path(), names, list);
    std::atomic<bool> cancel{false};
    const RenameRun::Report report = RenameRun::clickStart(
        list, fixedNames(newNames), nullptr, nullptr,
        [&](qsizetype, qsizetype) { cancel.store(true); }, &cancel);
    QCOMPARE(folderEntries(dir.path()), expected.join(u' '));
    QCOMPARE(report.renamed, 0);
    QCOMPARE(report.failed + report.notAttempted, 3000);
    for (qsizetype i = 0; i < list.count(); ++i)
        QCOMPARE(list.contentsArray()[size_t(i)]->nativeName(), names[i]);
}

// A listed folder swapped for a link to another before the run: nothing in
// the link's target is touched.
void tst_RenameChains::replacedFolder()
{
    ScratchDir dir;
    QVERIFY(mkdir(dir.path("tree").constData(), 0755) == 0);
    QVERIFY(mkdir(dir.path("tree/zz").constData(), 0755) == 0);
    QVERIFY(mkdir(dir.path("victim").constData(), 0755) == 0);
    std::ofstream(dir.path("victim/a").toStdString()) << "victim";
    FileList list;
    makeFiles(dir.path("tree/zz"), {"a"}, list);
    QVERIFY(rename(dir.path("tree/zz").constData(), dir.path("tree/zz.orig").constData()) == 0);
    QVERIFY(symlink("../victim", dir.path("tree/zz").constData()) == 0);
    const RenameRun::Report report =
        RenameRun::clickStart(list, fixedNames({u"a_x"_s}), nullptr, nullptr);
    QCOMPARE(report.failed, 1);
    QCOMPARE(report.entries[0].error, u"the folder was replaced after it was listed"_s);
    QCOMPARE(folderEntries(dir.path("victim")), u"a=victim"_s);
    QCOMPARE(folderEntries(dir.path("tree/zz.orig")), u"a=a"_s);
}

// On a real exFAT volume: a chain, a case-only change, and names the volume
// cannot hold, which the plan marks and the run leaves alone.
void tst_RenameChains::exfatVolume()
{
    LoopMount mount(u"exfat"_s);
    if (!mount.isValid())
        QSKIP(qPrintable(mount.whyNot()));
    FileList list;
    const L names{"1", "2", "photo.jpg", "a", "b", "c", "d", "e", "f", "g", "h", "i", "j"};
    makeFiles(mount.path(), names, list);
    const S newNames{u"2"_s,    u"3"_s,      u"Photo.JPG"_s, u"con.txt"_s, u"nul.tar.gz"_s,
                     u"COM1"_s, u"LPT9.x"_s, u"a:b"_s,       u"b?"_s,      u"x."_s,
                     u"y "_s,   u"q|r"_s,    u"t\u0001"_s};
    QTest::failOnWarning(QRegularExpression(u"not moved as planned"_s));
    const RenameRun::Report report = planAndRun(list, fixedNames(newNames));
    QCOMPARE(report.renamed, 3);
    QCOMPARE(report.failed, 10);
    QCOMPARE(folderEntries(mount.path()),
             u"2=1 3=2 Photo.JPG=photo.jpg a=a b=b c=c d=d e=e f=f g=g "
             u"h=h i=i j=j"_s);
}

QTEST_GUILESS_MAIN(tst_RenameChains)
#include "tst_renamechains.moc"
