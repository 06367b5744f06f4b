// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskfiles.h"
#include "disktree.h"
#include "files/filelist.h"
#include "journalrun.h"
#include "loopmount.h"
#include "pausehook.h"
#include "plan/renameplan.h"
#include "plannedfolders.h"
#include "records.h"
#include "rename/renamelog.h"
#include "rename/renamerun.h"
#include "rename/runhistory.h"
#include "rename/undorun.h"
#include "scratchdir.h"

#include <QTest>

#include <algorithm>
#include <cstring>

using namespace Qt::StringLiterals;
using L = QByteArrayList;
using S = QStringList;

namespace {

// Sorted, as tree() gives it.
const L tripBefore{"2024/", "2024/keep.txt=keep", "IMG_1.JPG=one", "IMG_2.JPG=two",
                   "IMG_3.JPG=three"};
const L tripRenames{"IMG_1.JPG>2024/05/IMG_1.JPG", "IMG_2.JPG>2024/06/IMG_2.JPG",
                    "IMG_3.JPG>2023/01/IMG_3.JPG"};
const L tripAfter = "2023/ 2023/01/ 2023/01/IMG_3.JPG=three 2024/ 2024/05/ "
                    "2024/05/IMG_1.JPG=one 2024/06/ 2024/06/IMG_2.JPG=two "
                    "2024/keep.txt=keep"_ba.split(' ');

} // namespace

class TstMakeFolders : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        RenameLog::setSink([](const QString &) {});
        qputenv("XDG_STATE_HOME", m_state.path("state"));
    }
    void plan_data();
    void plan();
    void numberedInTheLastPart();
    void runUndoRedo();
    void aFileWhereAFolderIsToBe();
    void kill_data();
    void kill();
    void onExfat_data();
    void onExfat();

private:
    ScratchDir m_state;
};

// One folder /d with its listed files a.jpg, b.jpg, ...; `below` the names in
// /d/sub. A file whose new name ends in .xmp is a companion of the first.
void TstMakeFolders::plan_data()
{
    QTest::addColumn<S>("newNames");
    QTest::addColumn<S>("expected");
    QTest::addColumn<S>("below");
    QTest::addColumn<bool>("caseless");
    const auto row = [](const char *tag, const S &newNames, const S &expected, const S &below = {},
                        bool caseless = false) {
        QTest::newRow(tag) << newNames << expected << below << caseless;
    };
    const QString taken = u"conflict: “x.jpg” is taken in the folder “/d/sub”."_s;
    row("into folders not there yet", S{u"2024/05/a.jpg"_s, u"2024/06/b.jpg"_s},
        S{u"move"_s, u"move"_s});
    row("leading slash", S{u"/tmp/a.jpg"_s}, S{u"refused: The new name starts with “/”."_s});
    row("dot dot", S{u"x/../../a.jpg"_s}, S{u"refused: The new name “..” is not allowed."_s});
    row("dot", S{u"./a.jpg"_s}, S{u"refused: The new name “.” is not allowed."_s});
    row("empty part", S{u"x//a.jpg"_s, u"x/"_s},
        S{u"refused: The new name has an empty folder name."_s,
          u"refused: The new name has an empty folder name."_s});
    row("a folder name too long", S{QString(256, u'x') + u"/a.jpg"_s},
        S{u"refused: The new name is longer than 255 bytes."_s});
    row("two files, one name below", S{u"sub/x.jpg"_s, u"sub/x.jpg"_s},
        S{u"move"_s, u"conflict: The same new name as row 1 (“a.jpg”)."_s});
    row("taken below", S{u"sub/x.jpg"_s, u"sub/y.jpg"_s}, S{taken, u"move"_s}, S{u"x.jpg"_s});
    // a.jpg stays where it is, so b.jpg cannot have its name.
    row("a move behind one taken below", S{u"sub/x.jpg"_s, u"a.jpg"_s},
        S{taken, u"conflict: The new name is taken by row 1 (“a.jpg”), which is not renamed."_s},
        S{u"x.jpg"_s});
    row("a chain behind one taken below", S{u"sub/x.jpg"_s, u"a.jpg"_s, u"b.jpg"_s},
        S{taken, u"conflict: The new name is taken by row 1 (“a.jpg”), which is not renamed."_s,
          u"conflict: The new name is taken by row 2 (“b.jpg”), which is not renamed."_s},
        S{u"x.jpg"_s});
    // The companion stays with its lead, and c.jpg behind the companion.
    row("a move behind a companion held below", S{u"sub/x.jpg"_s, u"b.xmp"_s, u"b.jpg"_s},
        S{taken, u"conflict: It moves with “a.jpg”, which cannot be renamed."_s,
          u"conflict: The new name is taken by row 2 (“b.jpg”), which is not renamed."_s},
        S{u"x.jpg"_s});
    row("taken below in another case", S{u"sub/x.jpg"_s}, S{taken}, S{u"X.JPG"_s}, true);
    row("twins in case below", S{u"new/x.jpg"_s, u"new/X.jpg"_s},
        S{u"move"_s, u"conflict: The new name differs only in case from that of row 1 "
                     u"(“a.jpg”), and this folder does not tell case apart."_s},
        {}, true);
    // The same name in the file's own folder and below it are two names.
    row("own folder and below", S{u"x.jpg"_s, u"sub/x.jpg"_s}, S{u"move"_s, u"move"_s});
    row("a companion held by a name taken below", S{u"sub/x.jpg"_s, u"sub/x.xmp"_s},
        S{taken, u"conflict: It moves with “a.jpg”, which cannot be renamed."_s}, S{u"x.jpg"_s});
}

void TstMakeFolders::plan()
{
    QFETCH(S, newNames);
    QFETCH(S, below);
    QFETCH(bool, caseless);
    std::vector<RenamePlan::File> files;
    for (qsizetype i = 0; i < newNames.size(); ++i) {
        const QString name = QChar(char16_t(u'a' + i)) + u".jpg"_s;
        const bool companion = newNames[i].endsWith(u".xmp"_s);
        files.push_back({"/d/" + name.toUtf8(), RuleFile{name, 0, {}}, -1, companion ? 0 : -1,
                         companion ? 1 : 0});
    }
    RenamePlan::TargetFacts targets;
    if (!below.isEmpty())
        targets.emplace("/d/sub", factsWith(below, caseless));
    QTEST(planOutcome(
              planOfOneFolder(files, newNames, factsWith({}, caseless), false, true, targets)),
          "expected");
}

// A dot in a folder's name is no extension to number before.
void TstMakeFolders::numberedInTheLastPart()
{
    QCOMPARE(RenamePlan::numberedName(u"2024.05/scan"_s, 2), u"2024.05/scan (2)"_s);
    QCOMPARE(RenamePlan::numberedName(u"a.b/scan.pdf"_s, 3), u"a.b/scan (3).pdf"_s);
    QCOMPARE(RenamePlan::numberOf(u"2024.05/scan (2)"_s, u"2024.05/scan"_s), 2);
    QCOMPARE(RenamePlan::numberOf(u"2024.06/scan (2)"_s, u"2024.05/scan"_s), 0);
}

// Files sorted into year and month folders, one of them there already with a
// file of its own: the undo takes every file back and removes the folders
// the run made, the redo makes them again, and a folder the user put a file
// into stays, with the undo saying so.
void TstMakeFolders::runUndoRedo()
{
    ScratchDir dir;
    const QByteArray trip = dir.path("Trip");
    makeTree(trip, tripBefore);
    const L &before = tripBefore;
    const QString journals = dir.filePath(u"runs"_s);

    FileList list;
    const RenameRun::Report run = runWithJournal(trip, tripRenames, journals, true, &list);
    QCOMPARE(run.renamed, 3);
    QCOMPARE(tree(trip), tripAfter);
    // The records follow the files into their folders.
    QCOMPARE(list.fileAtIndex(0)->nativePath(), trip + "/2024/05/IMG_1.JPG");
    QCOMPARE(list.fileAtIndex(0)->name(), u"IMG_1.JPG"_s);

    QCOMPARE(undoAll(run.journalPath), 3);
    QCOMPARE(tree(trip), before);
    QCOMPARE(undoAll(run.journalPath, UndoRun::Direction::Redo), 3);
    QCOMPARE(tree(trip), tripAfter);

    writeFile(trip + "/2024/05/mine.txt", "mine");
    const UndoRun::Report undo = UndoRun::run(run.journalPath, UndoRun::Direction::Undo);
    QVERIFY2(undo.error.isEmpty(), qPrintable(undo.error));
    QCOMPARE(undo.moved.size(), 3);
    QCOMPARE(undo.foldersKept, L{trip + "/2024/05"});
    QVERIFY(undo.informativeText().contains(u"2024/05” that the run made stays"_s));
    L kept = before + L{"2024/05/", "2024/05/mine.txt=mine"};
    std::sort(kept.begin(), kept.end());
    QCOMPARE(tree(trip), kept);
}

// A file stands where a folder of the new name is to be: the plan refuses the
// move and the run leaves the disk as it was.
void TstMakeFolders::aFileWhereAFolderIsToBe()
{
    ScratchDir dir;
    const L files{"2024=a file", "a.jpg=a", "b.jpg=b"};
    makeTree(dir.path(), files);
    const RenameRun::Report run = runWithJournal(
        dir.path(), {"a.jpg>2024/05/a.jpg", "b.jpg>2025/b.jpg"}, dir.filePath(u"runs"_s), true);
    QCOMPARE(run.renamed, 1);
    QCOMPARE(run.failed, 1);
    QCOMPARE(run.entries[0].error,
             u"“%1/2024” is not a folder."_s.arg(QString::fromUtf8(dir.path())));
    QCOMPARE(tree(dir.path()), (L{"2024=a file", "2025/", "2025/b.jpg=b", "a.jpg=a"}));
}

void TstMakeFolders::kill_data()
{
    QTest::addColumn<QByteArray>("moment");
    QTest::newRow("the first folder made") << "folder:1"_ba;
    QTest::newRow("three folders made") << "folder:3"_ba;
    QTest::newRow("the second file moved") << "move:2"_ba;
}

// A run killed while it makes folders or moves files into them: the undo
// that follows leaves the tree as it was, no folder of the run left over.
void TstMakeFolders::kill()
{
    QFETCH(QByteArray, moment);
    ScratchDir dir;
    const QByteArray trip = dir.path("Trip");
    makeTree(trip, tripBefore);
    const QByteArray journals = dir.path("runs");
    QVERIFY(killChildAt(moment, {"--child-run", trip, journals}));
    const RunHistory::Listing history = RunHistory::list(QFile::decodeName(journals));
    QCOMPARE(history.runs.size(), 1);
    QCOMPARE(history.runs[0].state, RunJournal::State::Interrupted);
    QVERIFY(undoAll(history.runs[0].path) >= 0);
    QCOMPARE(tree(trip), tripBefore);
}

void TstMakeFolders::onExfat_data()
{
    QTest::addColumn<QByteArray>("moment"); // empty: no kill
    QTest::newRow("whole run") << QByteArray();
    QTest::newRow("killed with a placeholder below") << "claimed:2"_ba;
}

// On exFAT every move claims its target with an empty placeholder first, here
// in the folder below; a name taken there in another case is a conflict.
void TstMakeFolders::onExfat()
{
    QFETCH(QByteArray, moment);
    LoopMount mount(u"exfat"_s);
    if (!mount.isValid())
        QSKIP(qPrintable(mount.whyNot()));
    const QByteArray trip = mount.path("Trip");
    const L extra{"2024/IMG_4.JPG=taken", "img_4.jpg=four"};
    L before = tripBefore + extra;
    std::sort(before.begin(), before.end());
    makeTree(trip, before);
    const QByteArray journals = m_state.path("exfat-" + moment);
    QString journal;
    if (moment.isEmpty()) {
        const RenameRun::Report run = runWithJournal(
            trip, tripRenames + L{"img_4.jpg>2024/img_4.jpg"}, QFile::decodeName(journals), true);
        QCOMPARE(run.renamed, 3);
        QCOMPARE(run.failed, 1);
        QCOMPARE(run.entries[3].error,
                 u"“img_4.jpg” is taken in the folder “%1/2024”."_s.arg(QString::fromUtf8(trip)));
        L after = tripAfter + extra;
        std::sort(after.begin(), after.end());
        QCOMPARE(tree(trip), after);
        journal = run.journalPath;
    } else {
        QVERIFY(killChildAt(moment, {"--child-run", trip, journals}));
        journal = RunHistory::list(QFile::decodeName(journals)).runs.value(0).path;
        UndoRun::settle(journal);
    }
    QVERIFY(undoAll(journal) >= 0);
    QCOMPARE(tree(trip), before);
}

int main(int argc, char **argv)
{
    pauseAtTheNamedMoment();
    if (argc == 4 && std::strcmp(argv[1], "--child-run") == 0)
        return runWithJournal(argv[2], tripRenames, QFile::decodeName(argv[3]), true).failed;
    QCoreApplication app(argc, argv);
    TstMakeFolders test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_makefolders.moc"
