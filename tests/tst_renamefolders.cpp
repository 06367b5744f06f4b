// SPDX-License-Identifier: GPL-3.0-or-later
#include "disktree.h"
#include "files/filelist.h"
#include "intake/fileintake.h"
#include "journalrun.h"
#include "pausehook.h"
#include "rename/renamelog.h"
#include "rename/renamerun.h"
#include "rename/runhistory.h"
#include "rename/undorun.h"
#include "rules/namecomposer.h"
#include "rulesettings.h"
#include "scratchdir.h"

#include <QTest>

#include <cstring>
#include <sys/stat.h>

using namespace Qt::StringLiterals;
using L = QByteArrayList;
using Rows = RenameSettings::Rows;

namespace {

const L albumTree = "album/ album/a.txt=a album/disc1/ album/disc1/t1=one "
                    "album/disc1/t2=two album/disc2/ album/disc2/t1=other"_ba.split(' ');

// Lists `paths` with the rows asked for.
void listPaths(FileList &list, const L &paths, Rows rows)
{
    FileIntake intake(list);
    intake.setRows(rows);
    for (const QByteArray &path : paths)
        intake.insertFile(path);
}

// The album listed with its folders and renamed, each row to its display row
// and its old name ("0_album"), journal kept in `journals`.
RenameRun::Report renameAlbum(const QByteArray &root, const QString &journals, bool descending,
                              FileList &list)
{
    listPaths(list, {root + "/album"}, Rows::FilesAndFolders);
    list.setSortDescending(descending);
    const auto source = [](const ZQFile &file, qint64 row) {
        return QString::number(row) + u'_' + file.name();
    };
    return RenameRun::clickStart(list, source, nullptr, nullptr, {}, nullptr, {true, journals});
}

} // namespace

class TstRenameFolders : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        RenameLog::setSink([](const QString &) {});
        qputenv("XDG_STATE_HOME", m_state.path("state"));
    }
    void runUndoRedo_data();
    void runUndoRedo();
    void kill_data();
    void kill();
    void foldersOnlyWithTheCounter();
    void aFileAndAFolderOfOneName_data();
    void aFileAndAFolderOfOneName();

private:
    ScratchDir m_state;
};

void TstRenameFolders::runUndoRedo_data()
{
    QTest::addColumn<bool>("descending");
    QTest::addColumn<L>("after");
    QTest::newRow("ascending")
        << false
        << "0_album/ 0_album/1_a.txt=a 0_album/2_disc1/ 0_album/2_disc1/3_t1=one "
           "0_album/2_disc1/4_t2=two 0_album/5_disc2/ 0_album/5_disc2/6_t1=other"_ba.split(' ');
    QTest::newRow("descending")
        << true
        << "6_album/ 6_album/1_disc2/ 6_album/1_disc2/0_t1=other 6_album/4_disc1/ "
           "6_album/4_disc1/2_t2=two 6_album/4_disc1/3_t1=one 6_album/5_a.txt=a"_ba.split(' ');
}

// Files and the folders that hold them renamed at once: the disk shows the
// new names, every record names its file where it is now, and an undo and a
// redo take the whole tree back and forth.
void TstRenameFolders::runUndoRedo()
{
    QFETCH(bool, descending);
    QFETCH(L, after);
    ScratchDir dir;
    const QByteArray root = dir.path("tree");
    makeTree(root, albumTree);
    FileList list;
    const RenameRun::Report run = renameAlbum(root, dir.filePath(u"runs"_s), descending, list);
    QCOMPARE(run.renamed, 7);
    QCOMPARE(run.failed, 0);
    QCOMPARE(tree(root), after);
    for (const auto &file : list.contentsArray()) {
        struct stat info;
        QVERIFY2(::lstat(file->nativePath().constData(), &info) == 0, file->nativePath());
        QCOMPARE(file->nativeName(), file->name().toUtf8());
    }
    QCOMPARE(list.contentsArray()[6]->nativePath(),
             root + (descending ? "/6_album/1_disc2/0_t1" : "/0_album/5_disc2/6_t1"));

    QCOMPARE(undoAll(run.journalPath), 7);
    QCOMPARE(tree(root), albumTree);
    QCOMPARE(undoAll(run.journalPath, UndoRun::Direction::Redo), 7);
    QCOMPARE(tree(root), after);
}

void TstRenameFolders::kill_data()
{
    QTest::addColumn<QByteArray>("moment");
    // Deepest first: three files, then a file and two folders, then the
    // album itself.
    QTest::newRow("among the deepest files") << "move:2"_ba;
    QTest::newRow("a folder renamed, its files moved") << "move:5"_ba;
    QTest::newRow("all but the album") << "move:6"_ba;
}

// A run killed while it renames files and folders: the undo that follows
// leaves the tree as it was.
void TstRenameFolders::kill()
{
    QFETCH(QByteArray, moment);
    ScratchDir dir;
    const QByteArray root = dir.path("tree");
    makeTree(root, albumTree);
    const QByteArray journals = dir.path("runs");
    QVERIFY(killChildAt(moment, {"--child-run", root, journals}));
    const RunHistory::Listing history = RunHistory::list(QFile::decodeName(journals));
    QCOMPARE(history.runs.size(), 1);
    QCOMPARE(history.runs[0].state, RunJournal::State::Interrupted);
    QVERIFY(tree(root) != albumTree);
    QVERIFY(undoAll(history.runs[0].path) >= 0);
    QCOMPARE(tree(root), albumTree);
}

// Three folders handed over one by one, their files not listed: the counter
// numbers the folders in their order, and a dot in a folder's name keeps
// what follows it as it would a file's extension.
void TstRenameFolders::foldersOnlyWithTheCounter()
{
    ScratchDir dir;
    makeTree(dir.path(), {"c.old/", "a/", "a/y.txt=y", "b/", "b/x.txt=x"});
    FileList list;
    // A file handed over is no row either.
    listPaths(list, {dir.path("c.old"), dir.path("a/y.txt"), dir.path("a"), dir.path("b")},
              Rows::Folders);
    QCOMPARE(list.count(), 3);
    const RenameRun::Report run =
        RenameRun::clickStart(list, NameComposer(settings(u"Disc [C]"_s)), nullptr, nullptr);
    QCOMPARE(run.renamed, 3);
    QCOMPARE(tree(dir.path()),
             (L{"Disc 1.old/", "Disc 2/", "Disc 2/y.txt=y", "Disc 3/", "Disc 3/x.txt=x"}));
}

void TstRenameFolders::aFileAndAFolderOfOneName_data()
{
    QTest::addColumn<L>("handed");
    QTest::addColumn<int>("second"); // the stored place of the row that stays
    QTest::addColumn<QString>("reason");
    QTest::addColumn<L>("after");
    QTest::newRow("the file first")
        << L{"notes", "docs"} << 1 << u"The same new name as row 1 (“notes”)."_s
        << L{"box=n", "docs/", "docs/f=f"};
    QTest::newRow("the folder first")
        << L{"docs", "notes"} << 2 << u"The same new name as row 1 (“docs”)."_s
        << L{"box/", "box/f=f", "notes=n"};
}

// A file and a folder of one folder given one new name: the first row takes
// it, the second stays with the plan's reason.
void TstRenameFolders::aFileAndAFolderOfOneName()
{
    QFETCH(L, handed);
    QFETCH(int, second);
    ScratchDir dir;
    makeTree(dir.path(), {"notes=n", "docs/", "docs/f=f"});
    FileList list;
    for (const QByteArray &name : handed)
        listPaths(list, {dir.path(name)}, Rows::FilesAndFolders);
    const auto source = [](const ZQFile &file, qint64) {
        return file.name() == u"f"_s ? file.name() : u"box"_s;
    };
    const RenameRun::Report run = RenameRun::clickStart(list, source, nullptr, nullptr);
    QCOMPARE(run.renamed, 1);
    QCOMPARE(run.failed, 1);
    QTEST(run.entries[second].error, "reason");
    QTEST(tree(dir.path()), "after");
}

int main(int argc, char **argv)
{
    pauseAtTheNamedMoment();
    if (argc == 4 && std::strcmp(argv[1], "--child-run") == 0) {
        FileList list;
        return renameAlbum(argv[2], QFile::decodeName(argv[3]), false, list).failed;
    }
    QCoreApplication app(argc, argv);
    TstRenameFolders test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_renamefolders.moc"
