// SPDX-License-Identifier: GPL-3.0-or-later
#include "disktree.h"
#include "files/filelist.h"
#include "files/zqfile.h"
#include "intake/fileintake.h"
#include "jobs/listingjob.h"
#include "jobs/runjob.h"
#include "jobs/undojob.h"
#include "records.h"
#include "rules/namecomposer.h"
#include "rulesettings.h"
#include "scratchdir.h"

#include <QSet>
#include <QSignalSpy>
#include <QTest>

#include <atomic>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Every file below root (the journals' folder passed over), by path, with its content.
QHash<QByteArray, QByteArray> filesOnDisk(const QByteArray &root)
{
    QHash<QByteArray, QByteArray> files;
    for (const QByteArray &entry : tree(root)) {
        if (!entry.endsWith('/'))
            files.insert(root + '/' + entry.left(entry.indexOf('=')),
                         entry.mid(entry.indexOf('=') + 1));
    }
    return files;
}

// New names of the old name with `suffix` before the extension.
NameComposer appending(const char *suffix)
{
    return NameComposer(settings(u"[N]"_s + QLatin1StringView(suffix)));
}

} // namespace

class tst_Jobs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void listingInBatches();
    void listingCancelled_data();
    void listingCancelled();
    void backgroundJobYields();
    void listingGoneWhileRunning();
    void runCancelled_data();
    void runCancelled();
    void runAppliedInBatches_data();
    void runAppliedInBatches();
    void runInPlaceLeavesRecords();
    void undoCancelled_data();
    void undoCancelled();
    void runKeepsListedIdentity();

private:
    ScratchDir m_listed;
    QByteArrayList m_listedPaths;
};

void tst_Jobs::initTestCase()
{
    m_listedPaths = makeTree(m_listed.path(), 3, 200);
    QCOMPARE(m_listedPaths.size(), 600);
}

// Records come in batches on the owner's thread, in listing order, with the
// progress counting them; each path once across batches.
void tst_Jobs::listingInBatches()
{
    const QByteArrayList &paths = m_listedPaths;
    ListingJob job({m_listed.path(), m_listed.path("f001")});
    job.setBatchSize(100);
    FileList list;
    int batches = 0;
    const auto take = [&] {
        auto records = job.takeRecords();
        if (!records.empty())
            ++batches;
        list.appendAll(std::move(records));
    };
    connect(&job, &Job::progressed, this, take);
    QSignalSpy finished(&job, &Job::finished);
    job.start();
    QVERIFY(finished.wait(60000));
    take(); // what came after the last progress
    // How many batches there are depends on how often this thread's loop
    // turned while the worker listed (a fast worker may finish before the
    // first turn); what must hold is the order, each path once.
    QVERIFY(batches >= 1);
    QCOMPARE(list.count(), paths.size());
    for (qsizetype i = 0; i < paths.size(); ++i)
        QCOMPARE(list.fileAtIndex(i)->nativePath(), paths[i]);
    QCOMPARE(job.done(), paths.size() + 200); // the second path listed it again
    QVERIFY(job.unreadableFolders().isEmpty());
    QVERIFY(!job.isRunning());
}

void tst_Jobs::listingCancelled_data()
{
    // Cancelled once this many files are found.
    QTest::addColumn<int>("after");
    QTest::newRow("before it starts") << -1;
    QTest::newRow("at once") << 0;
    QTest::newRow("after the first batch") << 1;
    QTest::newRow("well on") << 300;
}

// Cancel keeps what was listed: a beginning of the full listing, each record
// naming a file that is there.
void tst_Jobs::listingCancelled()
{
    QFETCH(int, after);
    const QByteArrayList &paths = m_listedPaths;
    ListingJob job({m_listed.path()});
    job.setBatchSize(100);
    if (after < 0)
        job.cancel();
    job.start();
    while (after >= 0 && job.done() < after && !job.wait(1)) {
    }
    job.cancel();
    QVERIFY(job.wait(60000));
    FileList list;
    list.appendAll(job.takeRecords());
    if (after < 0)
        QCOMPARE(list.count(), 0);
    QVERIFY(list.count() <= paths.size());
    for (qsizetype i = 0; i < list.count(); ++i)
        QCOMPARE(list.fileAtIndex(i)->nativePath(), paths[i]);
}

// A job that goes while it runs (the window closing) stops and is waited for.
// A job in the background runs below the owner's priority (and the threads
// it starts with it).
void tst_Jobs::backgroundJobYields()
{
    struct Probe : Job
    {
        std::atomic<int> nice = -100;
        ~Probe() override { stopAndWait(); }
        void work() override { nice = ::getpriority(PRIO_PROCESS, pid_t(::syscall(SYS_gettid))); }
    };
    for (const bool background : {false, true}) {
        Probe job;
        job.setBackground(background);
        job.start();
        QVERIFY(job.wait(60000));
        // Under nice already, the test may find its worker at the floor, 19.
        const int own = ::getpriority(PRIO_PROCESS, 0);
        QCOMPARE(job.nice.load(), background ? std::min(own + 10, 19) : own);
    }
}

void tst_Jobs::listingGoneWhileRunning()
{
    std::atomic<int> asked = 0; // by the worker, once per file it lists
    auto job = std::make_unique<ListingJob>(QList<QByteArray>{m_listed.path()});
    job->setAttributesNeeded([&asked](const ZQFile &) { return ++asked < 0; });
    job->start();
    job.reset();
    // Joined: nothing runs on once the job is gone.
    const int atEnd = asked.load();
    QTest::qWait(100);
    QCOMPARE(asked.load(), atEnd);
}

void tst_Jobs::runCancelled_data()
{
    // Cancelled once this many files are through, or the job gone (the
    // window closing) while it runs.
    QTest::addColumn<int>("after");
    QTest::addColumn<bool>("gone");
    QTest::newRow("before it starts") << -1 << false;
    QTest::newRow("after the first report") << 1 << false;
    QTest::newRow("half way") << 200 << false;
    QTest::newRow("gone while it runs") << 0 << true;
}

// Cancel stops after the moves in flight: every record names its file, no
// file has two names or went missing, and the counts add up.
void tst_Jobs::runCancelled()
{
    QFETCH(int, after);
    QFETCH(bool, gone);
    ScratchDir dir;
    const QByteArrayList paths = makeTree(dir.path(), 4, 100);
    FileList list;
    listPaths(list, paths);
    auto job = std::make_unique<RunJob>(list, appending("_x"));
    QCOMPARE(job->total(), paths.size());
    if (after < 0)
        job->cancel();
    job->start();
    while (after > 0 && job->done() < after && !job->wait(1)) {
    }
    RenameRun::Report report;
    if (gone) {
        job.reset();
    } else {
        job->cancel();
        QVERIFY(job->wait(60000));
        job->applyTo(list);
        report = job->report();
        QCOMPARE(report.renamed + report.failed + report.unchanged + report.notAttempted,
                 paths.size());
        QCOMPARE(report.failed, 0);
        if (after < 0)
            QCOMPARE(report.renamed, 0);
    }

    const QHash<QByteArray, QByteArray> disk = filesOnDisk(dir.path());
    QCOMPARE(disk.size(), paths.size());
    QSet<QByteArray> contents;
    qsizetype renamedOnDisk = 0;
    for (auto it = disk.cbegin(); it != disk.cend(); ++it) {
        contents.insert(it.value());
        if (it.key().endsWith("_x.txt")) {
            ++renamedOnDisk;
            QCOMPARE(it.key(), it.value().chopped(4) + "_x.txt");
        } else {
            QCOMPARE(it.key(), it.value());
        }
    }
    QCOMPARE(contents.size(), paths.size());
    if (gone)
        return;
    QCOMPARE(renamedOnDisk, report.renamed);
    for (const auto &file : list.contentsArray()) {
        QVERIFY2(disk.contains(file->nativePath()), file->nativePath().constData());
        QCOMPARE(file->name().toUtf8(),
                 file->nativePath().mid(file->nativePath().lastIndexOf('/') + 1));
    }
}

// The owner takes the new names a batch at a time, while its list may have
// been sorted meanwhile: each record follows its own file.
void tst_Jobs::runAppliedInBatches_data()
{
    QTest::addColumn<int>("batch");
    QTest::addColumn<bool>("sortedMeanwhile");
    QTest::addColumn<int>("calls");
    QTest::newRow("one at a time") << 1 << false << 10;
    QTest::newRow("three at a time") << 3 << false << 4;
    QTest::newRow("all at once") << 10 << false << 1;
    QTest::newRow("more than listed") << 100 << false << 1;
    QTest::newRow("sorted meanwhile") << 3 << true << 4;
}

void tst_Jobs::runAppliedInBatches()
{
    QFETCH(int, batch);
    QFETCH(bool, sortedMeanwhile);
    ScratchDir dir;
    const QByteArrayList paths = makeTree(dir.path(), 2, 5);
    FileList list;
    // Listed backwards when the sort is to turn the stored order round.
    listPaths(list, sortedMeanwhile ? QByteArrayList(paths.rbegin(), paths.rend()) : paths);
    RunJob job(list, appending("_x"));
    job.start();
    if (sortedMeanwhile) {
        list.setLastColumn(FileList::Size);
        list.tableView(FileList::Location);
        QCOMPARE(list.contentsArray().front()->nativePath(), paths.first());
    }
    QVERIFY(job.wait(60000));
    int made = 0;
    while (!job.applyTo(list, batch))
        ++made;
    QTEST(made + 1, "calls");
    QCOMPARE(job.report().renamed, 10);

    const QHash<QByteArray, QByteArray> disk = filesOnDisk(dir.path());
    QCOMPARE(disk.size(), 10);
    QCOMPARE(list.count(), 10);
    QSet<QByteArray> listed;
    for (const auto &file : list.contentsArray()) {
        const QByteArray path = file->nativePath();
        QVERIFY2(path.endsWith("_x.txt"), path.constData());
        // The file under the record's path is the one it named before.
        QCOMPARE(disk.value(path), path.chopped(6) + ".txt");
        QCOMPARE(file->name().toUtf8(), path.mid(path.lastIndexOf('/') + 1));
        listed.insert(path);
    }
    QCOMPARE(listed.size(), 10);
    QVERIFY(list.containsPath(paths.first().chopped(4) + "_x.txt"));
    QVERIFY(!list.containsPath(paths.first()));
    // The report is let go a batch at a time, the last entries first.
    int turns = 1;
    for (; !job.releaseReport(4); ++turns) {
        QCOMPARE(job.report().entries.size(), 10 - 4 * turns);
        QCOMPARE(job.report().entries.first().oldPath,
                 sortedMeanwhile ? paths.last() : paths.first());
    }
    QCOMPARE(turns, 3);
    QVERIFY(job.report().entries.isEmpty());
}

// A command line's run: the files move, the report says where, and the
// records, which no one reads again, keep what was listed.
void tst_Jobs::runInPlaceLeavesRecords()
{
    ScratchDir dir;
    const QByteArrayList paths = makeTree(dir.path(), 2, 5);
    FileList list;
    listPaths(list, paths);
    RunJob job(list, appending("_x"));
    job.runInPlace(list);
    job.start();
    QVERIFY(job.wait(60000));
    QCOMPARE(job.report().renamed, 10);

    const QHash<QByteArray, QByteArray> disk = filesOnDisk(dir.path());
    QCOMPARE(disk.size(), 10);
    for (const RenameRun::Entry &entry : job.report().entries) {
        QCOMPARE(entry.newPath, entry.oldPath.chopped(4) + "_x.txt");
        QCOMPARE(disk.value(entry.newPath), entry.oldPath);
    }
    for (qsizetype i = 0; i < paths.size(); ++i) {
        QCOMPARE(list.contentsArray()[size_t(i)]->nativePath(), paths[i]);
        QCOMPARE(list.contentsArray()[size_t(i)]->name().toUtf8(),
                 paths[i].mid(paths[i].lastIndexOf('/') + 1));
    }
}

void tst_Jobs::undoCancelled_data()
{
    QTest::addColumn<bool>("cancelFirst");
    QTest::newRow("to the end") << false;
    QTest::newRow("cancelled, then carried on") << true;
}

// Undo runs as a job: every file goes back to the name it was listed under;
// a cancelled undo leaves the run open to be undone the rest of the way.
void tst_Jobs::undoCancelled()
{
    QFETCH(bool, cancelFirst);
    ScratchDir dir;
    const QByteArrayList paths = makeTree(dir.path(), 2, 50);
    FileList list;
    listPaths(list, paths);
    RunJob run(list, appending("_u"), {true, dir.filePath(u"runs"_s)});
    run.start();
    QVERIFY(run.wait(60000));
    QCOMPARE(run.report().renamed, paths.size());
    const QString journal = run.report().journalPath;

    if (cancelFirst) {
        UndoJob cancelled(journal, UndoRun::Direction::Undo);
        cancelled.cancel();
        cancelled.start();
        QVERIFY(cancelled.wait(60000));
        QCOMPARE(cancelled.report().moved.size(), 0);
        QCOMPARE(cancelled.report().notAttempted, paths.size());
    }
    UndoJob undo(journal, UndoRun::Direction::Undo);
    undo.start();
    QVERIFY(undo.wait(60000));
    QCOMPARE(undo.report().moved.size(), paths.size());
    QCOMPARE(undo.report().kept.size(), 0);
    QCOMPARE(undo.done(), paths.size());

    const QHash<QByteArray, QByteArray> disk = filesOnDisk(dir.path());
    QCOMPARE(disk.size(), paths.size());
    for (const QByteArray &path : paths)
        QCOMPARE(disk.value(path), path);
}

// The run's copies of the records carry the inode and birth time the listing
// read: a file put in the place of a listed one is moved, but not taken back
// for it.
void tst_Jobs::runKeepsListedIdentity()
{
    ScratchDir dir;
    makeTree(dir.path(), {"a=a", "b=b"});
    FileList list;
    FileIntake(list).insertFile(dir.path());
    QCOMPARE(list.count(), 2);
    if (!list.contentsArray().front()->listedIdentity())
        QSKIP("the scratch folder's file system keeps no birth time");
    writeFile(dir.path("t"), "t");
    QCOMPARE(::rename(dir.path("t").constData(), dir.path("b").constData()), 0);

    RunJob run(list, appending("_u"), {true, dir.filePath(u"runs"_s)});
    run.start();
    QVERIFY(run.wait(60000));
    QCOMPARE(run.report().renamed, 2);
    UndoJob undo(run.report().journalPath, UndoRun::Direction::Undo);
    undo.start();
    QVERIFY(undo.wait(60000));
    QCOMPARE(undo.report().moved.size(), 1);
    QCOMPARE(undo.report().kept.size(), 1);
    QCOMPARE(tree(dir.path()), QByteArrayList({"a=a", "b_u=t"}));
}

QTEST_GUILESS_MAIN(tst_Jobs)
#include "tst_jobs.moc"
