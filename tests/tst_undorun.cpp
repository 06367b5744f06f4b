// SPDX-License-Identifier: GPL-3.0-or-later
#include "disktree.h"
#include "files/filelist.h"
#include "intake/fileintake.h"
#include "journalrun.h"
#include "loopmount.h"
#include "pausehook.h"
#include "rename/journal.h"
#include "rename/renamelog.h"
#include "rename/renamerun.h"
#include "rename/runhistory.h"
#include "rename/undorun.h"
#include "scratchdir.h"
#include "sshfsmount.h"

#include <QTest>

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;
using L = QByteArrayList;
using S = QStringList;
using UndoRun::Direction;

namespace {

// The 20,000 files of the kill tests: four folders of 5,000, in groups of ten
// that either turn round in a cycle or shift by one along a chain into a new
// name; some names hold a byte that is not UTF-8, some a newline.
constexpr int killFolders = 4;
constexpr int killFilesPerFolder = 5000;

QByteArray killName(int i)
{
    QByteArray name = "f" + QByteArray::number(i).rightJustified(5, '0');
    if (i % 7 == 0)
        name += "\xff\xfe";
    if (i % 11 == 0)
        name += "\nline";
    return name;
}

QByteArray killNewName(int i)
{
    const int base = i - i % 10;
    if ((i / 10) % 2 == 0)
        return killName(base + (i + 1) % 10);
    return i % 10 == 9 ? "x" + killName(i) : killName(i + 1);
}

// The child's side of a kill test: the run over every file, with the journal.
int childRun(const QByteArray &root, const QString &journals)
{
    L renames;
    for (int f = 0; f < killFolders; ++f) {
        for (int i = 0; i < killFilesPerFolder; ++i)
            renames << QByteArray::number(f) + '/' + killName(i) + '>' + killNewName(i);
    }
    const RenameRun::Report report = runWithJournal(root, renames, journals);
    return report.renamed == killFolders * killFilesPerFolder ? 0 : 1;
}

// The moves of the kill tests on other volumes, in one folder: a plain
// move, a chain, a swap, and on exFAT a change of case only.
const L volumeRenames{"a>x", "b>c", "c>d", "e>f", "f>e", "g>G"};
const L volumeOriginal{"a=a", "b=b", "c=c", "e=e", "f=f", "g=g"};

// A journal as written by hand: the lines after the plan's, with "@" for
// `folder` and "INODE a" for the device and inode of the file `a` there.
QByteArray handJournal(const QByteArray &folder, QByteArray lines)
{
    for (qsizetype at = lines.indexOf("INODE "); at >= 0; at = lines.indexOf("INODE ")) {
        const qsizetype end = lines.indexOf(' ', at + 6);
        struct stat info = {};
        ::lstat((folder + '/' + lines.mid(at + 6, end - at - 6)).constData(), &info);
        lines.replace(at, end - at,
                      QByteArray::number(quint64(info.st_dev)) + ' ' +
                          QByteArray::number(quint64(info.st_ino)));
    }
    return "velnor rename journal 1\nrun 1 /\n" + lines.replace('@', folder);
}

// The tree of the kill tests, in a scratch folder on tmpfs where there is
// one, so that 20,000 files stay quick; null if it could not be made.
std::unique_ptr<ScratchDir> killTree()
{
    const QByteArray tmp = qgetenv("TMPDIR");
    if (::access("/dev/shm", W_OK) == 0)
        qputenv("TMPDIR", "/dev/shm");
    auto dir = std::make_unique<ScratchDir>();
    qputenv("TMPDIR", tmp);
    for (int f = 0; f < killFolders && dir->isValid(); ++f) {
        const QByteArray folder = dir->path(QByteArray::number(f));
        if (::mkdir(folder.constData(), 0755) != 0)
            return nullptr;
        for (int i = 0; i < killFilesPerFolder; ++i)
            writeFile(folder + '/' + killName(i), QByteArray::number(f) + '/' + killName(i));
    }
    return dir->isValid() ? std::move(dir) : nullptr;
}

// Changes made to the folder by hand: "mv A B", "rm A", "ln A B", "new A"
// (a file A that holds "A"), "add A" (a byte more at the end of A).
bool applySteps(const QByteArray &folder, const L &steps)
{
    for (const QByteArray &step : steps) {
        const L words = step.split(' ');
        const QByteArray path = folder + '/' + words[1];
        const QByteArray to = folder + '/' + words.value(2);
        bool done = true;
        if (words[0] == "mv")
            done = ::rename(path.constData(), to.constData()) == 0;
        else if (words[0] == "rm")
            done = ::unlink(path.constData()) == 0;
        else if (words[0] == "ln")
            done = ::link(path.constData(), to.constData()) == 0;
        else if (words[0] == "add")
            writeFile(path, readFile(path) + '+');
        else
            writeFile(path, words[1]);
        if (!done)
            return false;
    }
    return true;
}

// The undo of the run of `journal`, and the last progress it gave, done and
// total: the files the run moved, or every file planned where the outcomes
// of a run cut short may never have been written.
using Progress = std::pair<qsizetype, qsizetype>;
UndoRun::Report undoHeard(const QString &journal, Progress *last)
{
    *last = {-1, -1};
    return UndoRun::run(journal, Direction::Undo, [last](qsizetype done, qsizetype all) {
        *last = {done, all};
    });
}

S reasons(const UndoRun::Report &report)
{
    S result;
    for (const UndoRun::Kept &file : report.kept)
        result << file.reason;
    return result;
}

} // namespace

class TstUndoRun : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        RenameLog::setSink([](const QString &) {});
        // Journals go to a scratch folder, never to the real home.
        qputenv("XDG_STATE_HOME", m_state.path("state"));
    }
    // Each test's files go to a folder of their own.
    void init() { m_dir = std::make_unique<ScratchDir>(); }

    void undo_data();
    void undo();
    void namesOnlyListing();
    void runJournal();
    void redo();
    void journalFaults_data();
    void journalFaults();
    void handJournals_data();
    void handJournals();
    void folderUnderTwoSpellings_data();
    void folderUnderTwoSpellings();
    void kill_data();
    void kill();
    void killOnVolume_data();
    void killOnVolume();
    void journalFillsUp();

private:
    QString runs() const { return m_state.filePath(u"runs"_s); }
    // Makes `files` in this test's folder and runs `renames` over them.
    RenameRun::Report runOver(const L &files, const L &renames)
    {
        makeTree(m_dir->path(), files);
        return runWithJournal(m_dir->path(), renames, runs());
    }

    ScratchDir m_state;
    std::unique_ptr<ScratchDir> m_dir;
};

void TstUndoRun::undo_data()
{
    // "old>new", or "old=first>new": old a second link of first
    QTest::addColumn<L>("renames");
    // Listed through the intake, which keeps each file's inode and birth
    // time for the journal, and changed between the listing and the run;
    // else changed after the run.
    QTest::addColumn<bool>("listed");
    QTest::addColumn<L>("changes"); // "mv A B", "rm A", "ln A B", "new A", "add A"
    QTest::addColumn<L>("disk");    // after the undo
    QTest::addColumn<int>("restored");
    QTest::addColumn<S>("kept");
    QTest::addColumn<QString>("volume"); // empty: the scratch folder's
    // The report's informative and detailed text, "@" for the folder; empty:
    // not looked at.
    QTest::addColumn<QString>("texts");
    const auto row = [](const char *tag, const L &renames, const L &changes, const L &disk,
                        int restored, const S &kept = {}, bool listed = false,
                        const QString &volume = {}) {
        QTest::newRow(tag) << renames << listed << changes << disk << restored << kept << volume
                           << QString();
    };
    const auto listed = [&row](const char *tag, const L &renames, const L &changes, const L &disk,
                               int restored, const S &kept = {}) {
        row(tag, renames, changes, disk, restored, kept, true);
    };

    row("plain", L{"a>x", "b>y"}, L{}, L{"a=a", "b=b"}, 2);
    row("chain", L{"a>b", "b>c", "c>d"}, L{}, L{"a=a", "b=b", "c=c"}, 3);
    row("swap", L{"a>b", "b>a"}, L{}, L{"a=a", "b=b"}, 2);
    row("3-cycle", L{"a>b", "b>c", "c>a"}, L{}, L{"a=a", "b=b", "c=c"}, 3);
    row("not UTF-8", L{"\xff\xfe.txt>n\xe9.txt", "b>\xff\xfe.txt"}, L{},
        L{"b=b", "\xff\xfe.txt=\xff\xfe.txt"}, 2);
    row("newlines", L{"line\nbreak>x\ny", "x\ny>z"}, L{}, L{"line\nbreak=line\nbreak", "x\ny=x\ny"},
        2);
    row("renamed by hand", L{"a>x", "b>y"}, L{"mv x z"}, L{"b=b", "z=a"}, 1,
        S{u"renamed since the run (now “z”)"_s});
    row("deleted", L{"a>x", "b>y"}, L{"rm x"}, L{"b=b"}, 1, S{u"missing"_s});
    row("replaced", L{"a>x", "b>y"}, L{"new t", "mv t x"}, L{"b=b", "x=t"}, 1,
        S{u"changed since the run"_s});
    row("old name taken", L{"a>x", "b>y"}, L{"new a"}, L{"a=a", "b=b", "x=a"}, 1,
        S{u"old name taken"_s});
    // The new file first, so that it cannot be given the inode of the one deleted.
    QTest::newRow("two kept") << L{"a>x", "b>y"} << false << L{"new b", "rm x"} << L{"b=b", "y=b"}
                              << 0 << S{u"old name taken"_s, u"missing"_s} << QString()
                              << u"2 files could not go back:\n“@/y”: old name taken\n“@/x”: "
                                 u"missing\n\n“@/y” stays, not “@/b”: old name taken\n“@/x” "
                                 u"stays, not “@/a”: missing"_s;
    // The file that cannot go back holds the old name of the one after it.
    row("chain held", L{"a>b", "b>c"}, L{"new a"}, L{"a=a", "b=a", "c=b"}, 0,
        S{u"old name taken"_s, u"old name taken"_s});
    row("cycle with one gone", L{"a>b", "b>c", "c>a"}, L{"rm a"}, L{"a=a", "b=b"}, 2,
        S{u"missing"_s});
    // Both names of one file shift along a chain; the journal records one
    // inode twice, and the name the first is to take back is the second's.
    row("chain of two links", L{"p1>p0", "p2=p1>p1"}, L{}, L{"p1=p1", "p2=p1"}, 2);
    // Both names go back through a cycle, as they came.
    row("links swapped", L{"p1>p2", "p2=p1>p1"}, L{}, L{"p1=p1", "p2=p1"}, 2);
    // A second name made by hand at the old name: the file is not back as it
    // was, since its new name stays too.
    row("linked back by hand", L{"a>x"}, L{"ln x a"}, L{"a=a", "x=a"}, 0, S{u"old name taken"_s});

    listed("listed: 3-cycle", L{"a>b", "b>c", "c>a"}, L{}, L{"a=a", "b=b", "c=c"}, 3);
    listed("listed: not UTF-8", L{"\xff\xfe>n\xe9", "b>\xff\xfe"}, L{},
           L{"b=b", "\xff\xfe=\xff\xfe"}, 2);
    // Written to in place: the same file, its size and date no longer those
    // listed.
    listed("listed: written to", L{"a>x", "b>y"}, L{"add a"}, L{"a=a+", "b=b"}, 2);
    // Saved over by an editor: the run moves the new file, which undo does not
    // take for the one listed.
    listed("listed: replaced", L{"a>x", "b>y"}, L{"new t", "mv t a"}, L{"b=b", "x=t"}, 1,
           S{u"changed since the run"_s});
    listed("listed: deleted", L{"a>x", "b>y"}, L{"rm a"}, L{"b=b"}, 1);

    // On exFAT "p2" is taken while "P2" is there: the undo orders its moves
    // by the folder's rule, as the run did, and takes every file back.
    const auto exfat = [&row](const char *tag, const L &renames, const L &disk) {
        row(tag, renames, L{}, disk, int(renames.size()), S{}, false, u"exfat"_s);
    };
    exfat("exfat: chain through a name in another case", L{"p1>p2", "P2>p3"}, L{"P2=P2", "p1=p1"});
    exfat("exfat: swap in other cases", L{"a>B", "b>A"}, L{"a=a", "b=b"});
    exfat("exfat: case only", L{"photo.jpg>Photo.JPG", "x>X"}, L{"photo.jpg=photo.jpg", "x=x"});
}

void TstUndoRun::undo()
{
    QFETCH(L, renames);
    QFETCH(bool, listed);
    QFETCH(L, changes);
    QFETCH(int, restored);
    QFETCH(S, kept);
    QFETCH(QString, volume);
    std::unique_ptr<LoopMount> mount;
    QByteArray folder = m_dir->path();
    if (!volume.isEmpty()) {
        mount = std::make_unique<LoopMount>(volume);
        if (!mount->isValid())
            QSKIP(qPrintable(mount->whyNot()));
        folder = mount->path("f");
        makeTree(folder, {});
    }
    L plain;
    for (const QByteArray &pair : renames) {
        const QByteArray from = pair.left(pair.indexOf('>'));
        const qsizetype link = from.indexOf('=');
        if (link < 0)
            writeFile(folder + '/' + from, from);
        else
            QCOMPARE(::link(folder + '/' + from.mid(link + 1), folder + '/' + from.left(link)), 0);
        plain << (link < 0 ? pair : from.left(link) + pair.mid(pair.indexOf('>')));
    }
    // A wrong identity kept by the intake shows as files the undo keeps.
    FileList list;
    if (listed) {
        FileIntake(list).insertFile(folder);
        QCOMPARE(list.count(), renames.size());
        if (!list.contentsArray().front()->listedIdentity())
            QSKIP("the scratch folder's file system keeps no birth time");
        QVERIFY(applySteps(folder, changes));
    }
    // The run takes the records already listed as they are.
    const RenameRun::Report run = runWithJournal(folder, plain, runs(), false, &list);
    QVERIFY(!run.journalPath.isEmpty());
    QVERIFY(listed || (run.renamed == renames.size() && applySteps(folder, changes)));

    Progress heard;
    const UndoRun::Report report = undoHeard(run.journalPath, &heard);
    QVERIFY2(report.error.isEmpty(), qPrintable(report.error));
    QTEST(tree(folder), "disk");
    QCOMPARE(heard, Progress(run.renamed, run.renamed));
    QCOMPARE(report.moved.size(), restored);
    QCOMPARE(reasons(report), kept);
    QFETCH(QString, texts);
    if (!texts.isEmpty())
        QCOMPARE(report.informativeText() + u"\n\n"_s + report.detailedText(),
                 texts.replace(u'@', QFile::decodeName(folder)));
    QCOMPARE(report.message(), restored == 0   ? u"No files restored."_s
                               : restored == 1 ? u"1 file restored."_s
                                               : u"%1 files restored."_s.arg(restored));
    RunJournal journal;
    QString error;
    QVERIFY(Journal::read(run.journalPath, &journal, &error));
    QCOMPARE(journal.state,
             kept.isEmpty() ? RunJournal::State::Undone : RunJournal::State::PartlyUndone);
    QVERIFY(!journal.damaged); // the kept records read back too
}

// Listed by name alone, as the command line lists: the journal holds each
// file's own identity all the same, read while the plan is made, and undo
// takes every file back.
void TstUndoRun::namesOnlyListing()
{
    const QByteArrayList paths = makeTree(m_dir->path(), 3, 150);
    QVERIFY(!paths.isEmpty());
    const QByteArrayList before = tree(m_dir->path());
    FileList list;
    FileIntake intake(list);
    intake.setReadsAttributes(false);
    intake.insertFile(m_dir->path());
    QCOMPARE(list.count(), paths.size());
    // The first name takes a while, so that the files are read ahead of the
    // journal.
    const auto source = [](const ZQFile &file, qint64 row) {
        if (row == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return u"x"_s + file.name();
    };
    const RenameRun::Report run =
        RenameRun::clickStart(list, source, nullptr, nullptr, {}, nullptr, {true, runs()});
    QCOMPARE(run.renamed, paths.size());

    RunJournal journal;
    QString error;
    QVERIFY2(Journal::read(run.journalPath, &journal, &error), qPrintable(error));
    QCOMPARE(journal.moves.size(), paths.size());
    for (const JournalMove &move : std::as_const(journal.moves)) {
        struct statx now;
        QCOMPARE(::statx(AT_FDCWD, (move.folder + '/' + move.newName).constData(),
                         AT_SYMLINK_NOFOLLOW, STATX_INO | STATX_BTIME, &now),
                 0);
        QCOMPARE(move.inode, quint64(now.stx_ino));
        if (now.stx_mask & STATX_BTIME)
            QCOMPARE(move.born, qint64(now.stx_btime.tv_sec) * 1000000000 + now.stx_btime.tv_nsec);
    }
    const UndoRun::Report undo = UndoRun::run(run.journalPath, Direction::Undo);
    QVERIFY2(undo.error.isEmpty(), qPrintable(undo.error));
    QCOMPARE(undo.moved.size(), paths.size());
    QCOMPARE(tree(m_dir->path()), before);
}

// What the journal holds of each move: the file as the run found it, and
// the temporary name a cycle went through.
void TstUndoRun::runJournal()
{
    makeTree(m_dir->path(), {"a=a", "b=b", "c=c"});
    // 2024-03-05 13:07:09.5 UTC
    const struct timespec times[2] = {{1709644029, 500000000}, {1709644029, 500000000}};
    QCOMPARE(::utimensat(AT_FDCWD, m_dir->path("a").constData(), times, AT_SYMLINK_NOFOLLOW), 0);
    struct stat a;
    QCOMPARE(::lstat(m_dir->path("a").constData(), &a), 0);
    const RenameRun::Report run =
        runWithJournal(m_dir->path(), {"a>b", "b>a", "c>n\xe9\n"}, runs());
    RunJournal journal;
    QString error;
    QVERIFY2(Journal::read(run.journalPath, &journal, &error), qPrintable(error));
    QCOMPARE(journal.state, RunJournal::State::Complete);
    QCOMPARE(journal.moves.size(), 3);
    const JournalMove &first = journal.moves[0];
    QCOMPARE(first.folder + ' ' + first.oldName + ' ' + first.newName, m_dir->path() + " a b");
    QCOMPARE(first.device, quint64(a.st_dev));
    QCOMPARE(first.inode, quint64(a.st_ino));
    QCOMPARE(first.size, 1);
    QCOMPARE(first.modified, 1709644029500000000);
    QVERIFY(!first.fileSystem.isEmpty());
    QCOMPARE(journal.moves[2].newName, QByteArray("n\xe9\n"));
    QCOMPARE(journal.movedCount(), 3);
    // The swap went through one temporary name, recorded before its use.
    QCOMPARE(journal.temporaryNames.size(), 1);
    QVERIFY(journal.temporaryNames.cbegin()->startsWith(".velnor-cycle-"));
    QCOMPARE(tree(m_dir->path()), (L{"a=b", "b=a", "n\xe9\n=c"}));
}

// Undo and redo take turns on a run. Undo goes down the history past runs
// that planned no move; one that could not take every file back leaves the
// run open, and the next takes back the rest. Redo puts back only the undo
// done last, and once it has, there is nothing to redo.
void TstUndoRun::redo()
{
    const L original{"a=a", "b=b", "c=c", "d=d", "e=e"};
    const QString journals = m_state.filePath(u"stack"_s);
    makeTree(m_dir->path(), original);
    const RenameRun::Report first = runWithJournal(m_dir->path(), {"d>x", "e>y"}, journals);
    const RenameRun::Report run = runWithJournal(m_dir->path(), {"a>b", "b>c", "c>a"}, journals);
    // A run killed while its plan was written, newer than both.
    writeFile(QFile::encodeName(journals) + "/29991231-235959.journal",
              "velnor rename journal 1\nrun 1 /\nfolder 0 /\n");
    RunHistory::Listing history = RunHistory::list(journals);
    QCOMPARE(history.runs.size(), 3);
    QCOMPARE(history.runs[RunHistory::lastUndoable(history)].path, run.journalPath);
    QCOMPARE(RunHistory::lastRedoable(history), -1);
    const L done{"a=c", "b=a", "c=b", "x=d", "y=e"};
    QCOMPARE(tree(m_dir->path()), done);
    const QString notUndone = u"This run has not been undone, so there is nothing to redo."_s;

    QCOMPARE(UndoRun::run(run.journalPath, Direction::Redo).error, notUndone);
    QCOMPARE(UndoRun::run(run.journalPath, Direction::Undo).moved.size(), 3);
    QCOMPARE(UndoRun::run(run.journalPath, Direction::Undo).error,
             u"This run has been undone already."_s);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    writeFile(m_dir->path("d"), "obstacle");
    QCOMPARE(UndoRun::run(first.journalPath, Direction::Undo).kept.size(), 1);
    history = RunHistory::list(journals);
    QCOMPARE(history.runs[2].state, RunJournal::State::PartlyUndone);
    QCOMPARE(RunHistory::lastUndoable(history), 2);
    QCOMPARE(::unlink(m_dir->path("d").constData()), 0);
    QCOMPARE(undoAll(first.journalPath), 1);
    QCOMPARE(tree(m_dir->path()), original);
    history = RunHistory::list(journals);
    QCOMPARE(RunHistory::lastUndoable(history), -1);
    QCOMPARE(history.runs[RunHistory::lastRedoable(history)].path, first.journalPath);

    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    QCOMPARE(UndoRun::run(first.journalPath, Direction::Redo).moved.size(), 2);
    QCOMPARE(RunHistory::lastRedoable(RunHistory::list(journals)), -1);
    QCOMPARE(UndoRun::run(run.journalPath, Direction::Redo).message(), u"3 files renamed again."_s);
    QCOMPARE(tree(m_dir->path()), done);
    QCOMPARE(UndoRun::run(run.journalPath, Direction::Redo).error, notUndone);
    // A redone run may be undone again.
    QCOMPARE(UndoRun::run(run.journalPath, Direction::Undo).moved.size(), 3);
    QCOMPARE(tree(m_dir->path()), (L{"a=a", "b=b", "c=c", "x=d", "y=e"}));
    // Nothing but the journals is left beside them.
    for (const QByteArray &entry : tree(QFile::encodeName(journals)))
        QVERIFY(entry.left(entry.indexOf('=')).endsWith(".journal"));
}

void TstUndoRun::journalFaults_data()
{
    // "cut N": keep N bytes; "run"/"undo": the journal in use by a run or an
    // undo of it; else appended
    QTest::addColumn<QByteArray>("damage");
    QTest::addColumn<QString>("error");
    QTest::addColumn<L>("disk");

    const L original{"a=a", "b=b"};
    const L renamed{"x=a", "y=b"};
    const QString unreadable = u"The journal cannot be read: "_s;
    QTest::newRow("last line cut") << "cut -3"_ba << QString() << original;
    QTest::newRow("garbage appended")
        << "\x01\x02garbage\xff\nmoved 9999\n"_ba << QString() << original;
    QTest::newRow("cut in the plan") << "cut 40"_ba << u"The journal holds no moves."_s << renamed;
    QTest::newRow("empty") << "cut 0"_ba << unreadable + u"not a rename journal"_s << renamed;
    QTest::newRow("future version")
        << "version 3"_ba
        << unreadable + u"written by a later version of Velnor (journal version 3)"_s << renamed;
    QTest::newRow("not a journal")
        << "replace"_ba << unreadable + u"not a rename journal"_s << renamed;
    // Two movers over one run at once (an undo started from the command line
    // while the window's run or undo of it is still going on) each find names
    // freed by the other and move whatever is there: files end under each
    // other's names. The one that comes second must not start.
    const QString inUse = u"The journal cannot be written: it is in use by another run, undo or "
                          u"redo of the same files"_s;
    QTest::newRow("run in progress") << "run"_ba << inUse << renamed;
    QTest::newRow("undo in progress") << "undo"_ba << inUse << renamed;
}

void TstUndoRun::journalFaults()
{
    QFETCH(QByteArray, damage);
    QFETCH(QString, error);
    const RenameRun::Report run = runOver({"a=a", "b=b"}, {"a>x", "b>y"});
    QString path = run.journalPath;
    QByteArray text = readFile(QFile::encodeName(path));
    if (damage.startsWith("cut ")) {
        const int keep = damage.mid(4).toInt();
        text.truncate(keep < 0 ? text.size() + keep : keep);
    } else if (damage == "version 3") {
        text.replace("journal 2\n", "journal 3\n");
    } else if (damage == "replace") {
        text = QByteArray(4096, '\xa5');
    } else if (damage != "run" && damage != "undo") {
        text += damage;
    }
    writeFile(path, text);
    JournalWriter writer;
    JournalAppender appender;
    QString why;
    if (damage == "run") {
        QVERIFY(writer.begin(m_state.filePath(u"busy"_s),
                             {JournalMove{m_dir->path(), "x", "a", 1, 2}}, 1, &why));
        path = writer.path();
    }
    QVERIFY(damage != "undo" || appender.open(path, &why));

    const UndoRun::Report report = UndoRun::run(path, Direction::Undo);
    QCOMPARE(report.error, error);
    QCOMPARE(report.ran, error.isEmpty());
    QTEST(tree(m_dir->path()), "disk");
    if (error.isEmpty()) {
        // The damage was cut off, so that what the undo wrote can be read.
        RunJournal journal;
        QVERIFY(Journal::read(run.journalPath, &journal, &error));
        QCOMPARE(journal.state, RunJournal::State::Undone);
        QVERIFY(!journal.damaged);
    }
}

void TstUndoRun::handJournals_data()
{
    QTest::addColumn<L>("files");          // in the run's folder
    QTest::addColumn<QByteArray>("lines"); // of the journal, "@" for the folder
    QTest::addColumn<QByteArray>("afterRun");
    QTest::addColumn<QString>("error");
    QTest::addColumn<L>("disk");
    QTest::addColumn<S>("kept");
    QTest::addColumn<int>("looked"); // the files the undo's progress counts; -1: not looked at

    // A journal is the user's own file, but one edited or damaged so that it
    // still reads must not move a file to a name other than the one it records.
    const auto outside = [](const char *tag, const char *folder, const char *names,
                            const QString &error = u"The journal is damaged: move 0 is not one "
                                                   u"of a file in its folder."_s,
                            const L &disk = {"b=b"}) {
        QTest::newRow(tag) << L{"b=b"}
                           << QByteArray("folder 0 ") + folder + "\nmove 0 0 INODE b " + names +
                                  "\nplanned 1\nmoved 0\nend 1 0 0\n"
                           << QByteArray() << error << disk << S{} << (error.isEmpty() ? 1 : -1);
    };
    outside("sound", "@", "a b", {}, L{"a=b"});
    outside("slash in the old name", "@", "x%2Fa b");
    outside("up in the old name", "@", "..%2Fa b");
    outside("old name a dot-dot", "@", ".. b");
    outside("NUL in the old name", "@", "a%00b b");
    outside("empty old name", "@", "% b");
    outside("slash in the new name", "@", "a .%2Fb");
    outside("relative folder", "relative", "a b");
    outside("up in the folder", "@/x/..", "a b");

    // The outcomes of a run cut short may never have reached its journal:
    // each file of such a run that cannot be found at its old name is one the
    // undo must say it could not take back, or the run reads as undone with
    // files still renamed, and each file planned counts in the progress. Here
    // the run moved a to x and was killed before it could write so.
    const auto killed = [](const char *tag, const QByteArray &afterRun, const L &disk,
                           const S &kept = {}, const QByteArray &ending = {}) {
        QTest::newRow(tag)
            << L{"x=a", "b=b"}
            << "folder 0 @\nmove 0 0 INODE x a x\nmove 1 0 INODE b b y\nplanned 2\n" + ending
            << afterRun << QString() << disk << kept << (ending.isEmpty() ? 2 : 1);
    };
    killed("as the run left it", "", L{"a=a", "b=b"});
    killed("renamed by hand", "mv x z", L{"b=b", "z=a"}, S{u"renamed since the run (now “z”)"_s});
    killed("deleted", "rm x", L{"b=b"}, S{u"missing"_s});
    // Killed half way through a move of case, which goes through a name of
    // its own on a folder that ignores case.
    killed("under a move's temporary name", "mv x .velnor-move-99-1", L{"a=a", "b=b"});
    killed("under a hidden name of the user's", "mv x .velnor", L{".velnor=a", "b=b"},
           S{u"renamed since the run (now “.velnor”)"_s});
    killed("folder moved away", "mv ../folder ../elsewhere", L{"b=b", "x=a"},
           S{u"The folder cannot be opened: No such file or directory"_s,
             u"The folder cannot be opened: No such file or directory"_s});
    // A run that closed and never came to b: b is no file of the run's.
    killed("closed, b never tried", "mv b w", L{"a=a", "w=b"}, S{}, "moved 0\nend 1 0 1\n");

    // What the start after a kill settles: the placeholder a move had made
    // goes; an empty "b" the move failed to claim, someone else's made after
    // the plan, stays.
    const auto settle = [](const char *tag, const QByteArray &steps, const L &disk) {
        QTest::newRow(tag) << L{"a=a", "b="}
                           << "folder 0 @\nmove 0 0 INODE a a b\nplanned 1\n" + steps << "settle"_ba
                           << QString() << disk << S{} << -1;
    };
    settle("settle: claim made", "claim 0 a b\n", L{"a=a"});
    settle("settle: claim failed", "claim 0 a b\ndone 0\n", L{"a=a", "b="});
    settle("settle: closed since", "claim 0 a b\nend 0 1 0\n", L{"a=a", "b="});
}

// Journals written by hand, undone (or settled, as at the next start).
void TstUndoRun::handJournals()
{
    QFETCH(L, files);
    QFETCH(QByteArray, lines);
    QFETCH(QByteArray, afterRun);
    QFETCH(QString, error);
    QFETCH(S, kept);
    const QByteArray folder = m_dir->path("folder");
    makeTree(folder, files);
    const QString path = m_state.filePath(u"hand.journal"_s);
    writeFile(QFile::encodeName(path), handJournal(folder, lines));
    if (afterRun == "settle") {
        UndoRun::settle(path);
        QTEST(tree(folder), "disk");
        return;
    }
    QVERIFY(applySteps(folder, afterRun.isEmpty() ? L{} : L{afterRun}));
    const QByteArray now = afterRun.contains("elsewhere") ? m_dir->path("elsewhere") : folder;

    Progress heard;
    const UndoRun::Report report = undoHeard(path, &heard);
    QCOMPARE(report.error, error);
    QCOMPARE(reasons(report), kept);
    QTEST(tree(now), "disk");
    QFETCH(int, looked);
    if (looked >= 0)
        QCOMPARE(heard, Progress(looked, looked));
}

void TstUndoRun::folderUnderTwoSpellings_data()
{
    QTest::addColumn<L>("renames"); // below "f", or "l" for the folder reached through a link
    QTest::addColumn<L>("afterRun");

    QTest::newRow("swap") << L{"f/a>b", "l/b>a"} << L{"a=b", "b=a"};
    QTest::newRow("3-cycle") << L{"f/a>b", "l/b>c", "f/c>a"} << L{"a=c", "b=a", "c=b"};
    QTest::newRow("chain") << L{"f/a>b", "l/b>c", "l/c>d"} << L{"b=a", "c=b", "d=c"};
}

// A run over one folder named two ways (itself and a link to it) moves its
// files as one folder's, and so must the undo and the redo: two listings of
// one folder, each blind to the other's moves, find every old name taken.
void TstUndoRun::folderUnderTwoSpellings()
{
    QFETCH(L, renames);
    QFETCH(L, afterRun);
    const QByteArray folder = m_dir->path("f");
    QCOMPARE(::mkdir(folder.constData(), 0755), 0);
    QCOMPARE(::symlink("f", m_dir->path("l").constData()), 0);
    L original;
    for (const QByteArray &pair : renames) {
        const QByteArray name = pair.mid(2, pair.indexOf('>') - 2);
        writeFile(folder + '/' + name, name);
        original << name + '=' + name;
    }
    const RenameRun::Report run = runWithJournal(m_dir->path(), renames, runs());
    QCOMPARE(run.renamed, renames.size());
    QCOMPARE(tree(folder), afterRun);

    QCOMPARE(undoAll(run.journalPath), renames.size());
    QCOMPARE(tree(folder), original);
    QCOMPARE(undoAll(run.journalPath, Direction::Redo), renames.size());
    QCOMPARE(tree(folder), afterRun);
}

void TstUndoRun::kill_data()
{
    QTest::addColumn<bool>("duringUndo"); // else during the run
    QTest::addColumn<QByteArray>("moment");
    QTest::addColumn<int>("restoredAtLeast");
    QTest::newRow("run, before the first move") << false << "planned"_ba << 0;
    QTest::newRow("run, in the middle") << false << "move:10000"_ba << 9000;
    QTest::newRow("run, a cycle's file parked") << false << "temporary"_ba << 0;
    QTest::newRow("run, journal half written") << false << "journal"_ba << 0;
    QTest::newRow("undo, after the first file went back") << true << "move:1"_ba << 0;
    QTest::newRow("undo, in the middle") << true << "move:10000"_ba << 0;
    QTest::newRow("undo, a cycle's file parked") << true << "temporary"_ba << 0;
}

// Killed during the run or its undo: the undo that follows finishes the job
// from the disk as the kill left it.
void TstUndoRun::kill()
{
    QFETCH(bool, duringUndo);
    QFETCH(QByteArray, moment);
    QFETCH(int, restoredAtLeast);
    const std::unique_ptr<ScratchDir> scratch = killTree();
    QVERIFY(scratch);
    const ScratchDir &dir = *scratch;
    const QByteArray journals = dir.path("runs");
    const L before = tree(dir.path());
    if (duringUndo) {
        QCOMPARE(childRun(dir.path(), QFile::decodeName(journals)), 0);
        QVERIFY(tree(dir.path()) != before);
    } else {
        QVERIFY(killChildAt(moment, {"--child-run", dir.path(), journals}));
    }
    RunHistory::Listing history = RunHistory::list(QFile::decodeName(journals));
    QCOMPARE(history.runs.size(), 1);
    const QString journal = history.runs[0].path;
    if (duringUndo)
        QVERIFY(killChildAt(moment, {"--child-undo", QFile::encodeName(journal)}));
    history = RunHistory::list(QFile::decodeName(journals));
    QCOMPARE(history.runs[0].state,
             duringUndo ? RunJournal::State::UndoInterrupted : RunJournal::State::Interrupted);

    const UndoRun::Report report = UndoRun::run(journal, Direction::Undo);
    if (moment == "journal") {
        QCOMPARE(report.error, u"The journal holds no moves."_s);
    } else {
        QVERIFY2(report.error.isEmpty(), qPrintable(report.error));
        QCOMPARE(report.kept.size(), 0);
        QVERIFY(report.moved.size() >= restoredAtLeast);
        QCOMPARE(RunHistory::list(QFile::decodeName(journals)).runs[0].state,
                 RunJournal::State::Undone);
    }
    QCOMPARE(tree(dir.path()), before);
}

void TstUndoRun::killOnVolume_data()
{
    QTest::addColumn<QString>("volume");
    QTest::addColumn<QByteArray>("moment"); // empty: the run ends
    QTest::addColumn<bool>("dropCaches");
    const auto row = [](const QString &volume, const char *moment, bool dropCaches = false) {
        QTest::newRow(qPrintable(volume + (dropCaches ? u", caches dropped"_s : QString()) +
                                 u", "_s + QString::fromLatin1(*moment ? moment : "after the run")))
            << volume << QByteArray(moment) << dropCaches;
    };
    // exFAT through FUSE: no rename flags, no hard links, so every move
    // claims its target with an empty placeholder first; case changes pass
    // through a hidden name.
    for (const char *moment :
         {"claimed:1", "claimed:2", "claimed:4", "claimed:6", "claimed:8", "passing", "temporary"})
        row(u"exfat"_s, moment);
    // NTFS through ntfs-3g: no rename flags, so link and unlink.
    for (const char *moment : {"linked:1", "linked:2", "linked:4", "linked:6", "temporary"})
        row(u"ntfs"_s, moment);
    // The cache dropped before the undo, so that every file has another
    // inode number than the run recorded: the files, all of one size and
    // second, are told apart by what the journal says began.
    for (const char *moment : {"claimed:4", "claimed:6", "temporary"})
        row(u"exfat"_s, moment, true);
    // On sshfs a file has another inode number after every move: the undo
    // knows the files by name, size and time. It takes no rename flags
    // either: link, then unlink.
    for (const char *moment : {"", "linked:1", "linked:2", "linked:4", "linked:6", "temporary"})
        row(u"sshfs"_s, moment);
}

// A kill between the steps of one move, where the volume makes a move in
// several: the undo that follows puts every file back under its own name and
// leaves no placeholder, second link or hidden name behind. The disk of an
// sshfs volume is looked at from the machine that serves it, past the caches
// of sshfs.
void TstUndoRun::killOnVolume()
{
    QFETCH(QString, volume);
    QFETCH(QByteArray, moment);
    std::unique_ptr<LoopMount> loop;
    std::unique_ptr<SshfsMount> sshfs;
    QByteArray folder;
    QByteArray seen;
    if (volume == u"sshfs") {
        sshfs = std::make_unique<SshfsMount>();
        if (!sshfs->isValid())
            QSKIP(qPrintable(sshfs->whyNot()));
        folder = sshfs->path("f");
        seen = sshfs->served("f");
    } else {
        loop = std::make_unique<LoopMount>(volume);
        if (!loop->isValid())
            QSKIP(qPrintable(loop->whyNot()));
        folder = seen = loop->path("f");
    }
    makeTree(folder, volumeOriginal);
    QCOMPARE(tree(seen), volumeOriginal);
    const QByteArray journals = m_dir->path("runs");
    QString journal;
    if (moment.isEmpty()) {
        const RenameRun::Report run =
            runWithJournal(folder, volumeRenames, QFile::decodeName(journals));
        QCOMPARE(run.renamed, 6);
        QCOMPARE(tree(seen), (L{"G=g", "c=b", "d=c", "e=f", "f=e", "x=a"}));
        journal = run.journalPath;
    } else {
        QVERIFY(killChildAt(moment, {"--child-volume", folder, journals}));
        const RunHistory::Listing history = RunHistory::list(QFile::decodeName(journals));
        QVERIFY(!history.runs.isEmpty());
        QCOMPARE(history.runs[0].state, RunJournal::State::Interrupted);
        journal = history.runs[0].path;
        // The next start: each content under exactly one name, nothing empty.
        QVERIFY(history.runs[0].stepsOpen);
        UndoRun::settle(journal);
        QVERIFY(!RunHistory::list(QFile::decodeName(journals)).runs[0].stepsOpen);
        QByteArrayList contents;
        for (const QByteArray &entry : tree(seen))
            contents << entry.mid(entry.indexOf('=') + 1);
        std::sort(contents.begin(), contents.end());
        QCOMPARE(contents, (L{"a", "b", "c", "e", "f", "g"}));
    }
    QFETCH(bool, dropCaches);
    if (dropCaches && !::dropCaches())
        QSKIP("the caches cannot be dropped here (needs root)");
    QVERIFY(undoAll(journal) >= 0);
    QCOMPARE(tree(seen), volumeOriginal);
    // No file under two names.
    for (const QByteArray &file : volumeOriginal) {
        struct stat info;
        QCOMPARE(::lstat((seen + '/' + file.left(1)).constData(), &info), 0);
        QCOMPARE(info.st_nlink, nlink_t(1));
    }
}

namespace {
QByteArray g_filler; // the file that fills the journal's disk once the plan is on it
} // namespace

// The disk that holds the journal fills up during the run: the run stops
// after the moves in flight and says why, the journal reads as interrupted,
// and once there is room again the undo takes back every file it moved.
void TstUndoRun::journalFillsUp()
{
    const QByteArray state = m_dir->path("state");
    QCOMPARE(::mkdir(state.constData(), 0700), 0);
    if (::geteuid() != 0 || ::mount("tmpfs", state.constData(), "tmpfs", 0, "size=512k") != 0)
        QSKIP("a small disk for the journal needs root (a tmpfs mount)");
    const struct Restore
    {
        QByteArray state;
        ~Restore()
        {
            pauseAtTheNamedMoment();
            ::umount2(state.constData(), MNT_DETACH);
        }
    } restore{state};
    const QByteArray files = m_dir->path("files");
    QCOMPARE(::mkdir(files.constData(), 0755), 0);
    L renames;
    for (int i = 0; i < 2000; ++i) {
        writeFile(files + "/f" + QByteArray::number(i), QByteArray::number(i));
        renames << "f" + QByteArray::number(i) + ">n" + QByteArray::number(i);
    }
    const L original = tree(files);
    g_filler = state + "/filler";
    PausePoints::setHook([](const char *point) {
        if (std::strcmp(point, "planned") != 0)
            return;
        const int fd = ::open(g_filler.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        static const char block[4096] = {};
        while (::write(fd, block, sizeof block) > 0) {
        }
        ::close(fd);
    });
    const RenameRun::Report run = runWithJournal(files, renames, QFile::decodeName(state));
    QCOMPARE(run.journalFailure, u"No space left on device"_s);
    QVERIFY(run.informativeText().startsWith(
        u"The journal could no longer be written (No space left on device), so the run stopped."_s));
    QVERIFY(run.renamed > 0);
    QVERIFY(run.notAttempted > 0);
    QCOMPARE(run.renamed + run.notAttempted, 2000);
    QCOMPARE(::unlink(g_filler.constData()), 0);
    const RunHistory::Listing history = RunHistory::list(QFile::decodeName(state));
    QCOMPARE(history.runs.size(), 1);
    QCOMPARE(history.runs[0].state, RunJournal::State::Interrupted);
    QVERIFY(!history.runs[0].damaged);
    const UndoRun::Report undone = UndoRun::run(history.runs[0].path, Direction::Undo);
    QCOMPARE(undone.moved.size(), run.renamed);
    QCOMPARE(tree(files), original);
}

int main(int argc, char **argv)
{
    pauseAtTheNamedMoment();
    if (argc == 4 && std::strcmp(argv[1], "--child-volume") == 0)
        return int(runWithJournal(argv[2], volumeRenames, QFile::decodeName(argv[3])).failed > 0);
    if (argc == 4 && std::strcmp(argv[1], "--child-run") == 0)
        return childRun(argv[2], QFile::decodeName(argv[3]));
    if (argc == 3 && std::strcmp(argv[1], "--child-undo") == 0)
        return int(!UndoRun::run(QFile::decodeName(argv[2]), Direction::Undo).kept.isEmpty());
    QCoreApplication app(argc, argv);
    TstUndoRun test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_undorun.moc"
