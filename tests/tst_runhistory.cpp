// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskfiles.h"
#include "rename/journal.h"
#include "rename/runhistory.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_RunHistory : public QObject
{
    Q_OBJECT

private slots:
    void orderAndPrune_data();
    void orderAndPrune();
    void summaryAgreesWithFullRead_data();
    void summaryAgreesWithFullRead();
    void runGoingOnIsNotInterrupted();
};

namespace {

// The smallest journal there is: 32 bytes.
const QByteArray emptyRun = "velnor rename journal 1\nrun 0 /\n";

QStringList sameSecond(const QString &second, int first, int last)
{
    QStringList ids;
    for (int n = first; n <= last; ++n)
        ids << (n == 1 ? second : second + u'-' + QString::number(n));
    return ids;
}

QStringList listedIds(const QString &folder)
{
    QStringList ids;
    for (const RunSummary &run : RunHistory::list(folder).runs)
        ids << run.id;
    return ids;
}

} // namespace

void tst_RunHistory::orderAndPrune_data()
{
    QTest::addColumn<QStringList>("ids"); // as the runs made them
    QTest::addColumn<int>("keepRuns");
    QTest::addColumn<qint64>("keepBytes");
    QTest::addColumn<QStringList>("newestFirst"); // the start of the listing
    QTest::addColumn<QStringList>("removed");

    const QString x = u"20261207-050000"_s;
    QTest::newRow("-2 comes after the plain one")
        << QStringList{x, x + u"-2"_s} << 1 << qint64(1000) << QStringList{x + u"-2"_s, x}
        << QStringList{x};
    QTest::newRow("-10 comes after -9")
        << sameSecond(x, 1, 10) << 100 << qint64(3 * 32)
        << QStringList{x + u"-10"_s, x + u"-9"_s, x + u"-8"_s, x + u"-7"_s}
        << QStringList{x,           x + u"-2"_s, x + u"-3"_s, x + u"-4"_s,
                       x + u"-5"_s, x + u"-6"_s, x + u"-7"_s};
    QTest::newRow("the next second comes after -10")
        << QStringList{x + u"-10"_s, u"20261207-050001"_s} << 1 << qint64(1000)
        << QStringList{u"20261207-050001"_s, x + u"-10"_s} << QStringList{x + u"-10"_s};
    QTest::newRow("a day later, an hour earlier")
        << QStringList{u"20261207-230000"_s, u"20261208-010000"_s} << 1 << qint64(1000)
        << QStringList{u"20261208-010000"_s, u"20261207-230000"_s}
        << QStringList{u"20261207-230000"_s};
    QTest::newRow("a byte cap below one journal keeps the newest")
        << QStringList{x, x + u"-2"_s, x + u"-10"_s} << 100 << qint64(10)
        << QStringList{x + u"-10"_s, x + u"-2"_s, x} << QStringList{x, x + u"-2"_s};
    QTest::newRow("the byte cap exactly met")
        << sameSecond(x, 1, 3) << 100 << qint64(2 * 32) << QStringList{x + u"-3"_s, x + u"-2"_s, x}
        << QStringList{x};
    QTest::newRow("101 runs in one second: only the first goes")
        << sameSecond(x, 1, 101) << 100 << qint64(100 * 1024 * 1024)
        << QStringList{x + u"-101"_s, x + u"-100"_s, x + u"-99"_s} << QStringList{x};
    QTest::newRow("names of another shape are older and never removed")
        << QStringList{u"notes"_s, x, x + u"-2"_s, x + u"-01"_s} << 1 << qint64(10)
        << QStringList{x + u"-2"_s, x, u"notes"_s, x + u"-01"_s} << QStringList{x};
}

void tst_RunHistory::orderAndPrune()
{
    QFETCH(QStringList, ids);
    QFETCH(int, keepRuns);
    QFETCH(qint64, keepBytes);
    QFETCH(QStringList, newestFirst);
    QFETCH(QStringList, removed);
    QTemporaryDir dir;
    for (const QString &id : ids)
        writeFile(dir.filePath(id + u".journal"_s), emptyRun);

    QCOMPARE(listedIds(dir.path()).mid(0, newestFirst.size()), newestFirst);
    RunHistory::prune(dir.path(), keepRuns, keepBytes);
    QStringList left = ids;
    for (const QString &id : removed)
        left.removeOne(id);
    QStringList onDisk = QDir(dir.path()).entryList(QDir::Files);
    for (QString &name : onDisk)
        name.chop(int(strlen(".journal")));
    std::sort(left.begin(), left.end());
    std::sort(onDisk.begin(), onDisk.end());
    QCOMPARE(onDisk, left);
}

void tst_RunHistory::summaryAgreesWithFullRead_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<int>("planned");
    QTest::addColumn<int>("moved");
    QTest::addColumn<int>("failed");
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("damaged");

    // States as RunSummary::State numbers them.
    enum S
    {
        Interrupted,
        Complete,
        Undone,
        Redone,
        UndoInterrupted,
        PartlyUndone
    };
    const QByteArray plan = "velnor rename journal 1\n"
                            "run 1765000000123 /data/a%20b\n"
                            "folder 0 /data/a%20b\n"
                            "folder 1 /data/caf%E9\n"
                            "move 0 0 2049 11 a%0Ab b\n"
                            "move 1 0 2049 12 b c\n"
                            "move 2 1 2049 13 %25 d\n"
                            "planned 3\n";
    QTest::newRow("complete") << plan + "temp 1 .vt%01\nmoved 0\nfailed 1\nmoved 2\nend 2 1 0\n"
                              << true << 3 << 2 << 1 << int(Complete) << false;
    QTest::newRow("interrupted, some outcomes written")
        << plan + "moved 2\nmoved 0\n"
        << true << 3 << 2 << 0 << int(Interrupted) << false;
    QTest::newRow("interrupted before any outcome")
        << plan << true << 3 << 0 << 0 << int(Interrupted) << false;
    QTest::newRow("killed while writing the plan")
        << plan.left(plan.indexOf("move 2")) + "move 2 1 20" << true << 0 << 0 << 0
        << int(Interrupted) << true;
    QTest::newRow("undone")
        << plan + "moved 0\nmoved 1\nend 2 0 1\nundo 1765000009000\nback 1\nback 0\nundo-end 2 0\n"
        << true << 3 << 2 << 0 << int(Undone) << false;
    // A file kept: the run stays open to the next undo.
    QTest::newRow("partly undone")
        << plan + "moved 0\nmoved 1\nend 2 0 1\nundo 1765000009000\nback 1\nkept 0 "
                  "changed%20since%20the%20run\nundo-end 1 1\n"
        << true << 3 << 2 << 0 << int(PartlyUndone) << false;
    QTest::newRow("redone")
        << plan + "moved 0\nend 1 0 2\nundo 1\nback 0\nundo-end 1 0\nredo 2\nback 0\nredo-end 1 0\n"
        << true << 3 << 1 << 0 << int(Redone) << false;
    QTest::newRow("undo interrupted")
        << plan + "moved 0\nmoved 1\nmoved 2\nend 3 0 0\nundo 5\ntemp 2 .vt2\nback 2\n"
        << true << 3 << 3 << 0 << int(UndoInterrupted) << false;
    QTest::newRow("last line cut off")
        << plan + "moved 0\nmoved 1\nmov" << true << 3 << 2 << 0 << int(Interrupted) << true;
    QTest::newRow("garbage appended")
        << plan + "moved 0\nend 1 0 2\n" + QByteArray("\x00\xFFjunk\nmoved 1\n", 15) << true << 3
        << 1 << 0 << int(Complete) << true;
    QTest::newRow("a name badly escaped stops the plan")
        << plan.left(plan.indexOf("move 1")) + "move 1 0 2049 12 b%4 c\nplanned 2\n"
        << true << 0 << 0 << 0 << int(Interrupted) << true;
    QTest::newRow("moves numbered out of order")
        << plan.left(plan.indexOf("move 0")) +
               "move 1 0 2049 12 b c\nmove 0 0 2049 11 a%0Ab b\nmove 2 1 2049 13 %25 d\nplanned 3\n"
        << true << 0 << 0 << 0 << int(Interrupted) << true;
    QTest::newRow("a move in a folder never named")
        << plan.left(plan.indexOf("move 2")) + "move 2 7 2049 13 x y\nplanned 3\n"
        << true << 0 << 0 << 0 << int(Interrupted) << true;
    QTest::newRow("a later outcome of the same move counts")
        << plan + "moved 0\nfailed 0\nmoved 1\n"
        << true << 3 << 1 << 1 << int(Interrupted) << false;
    QTest::newRow("an outcome of a move never planned")
        << plan + "moved 0\nmoved 3\nmoved 1\n"
        << true << 3 << 1 << 0 << int(Interrupted) << true;
    QTest::newRow("a plan recorded twice") << plan + "move 3 0 2049 14 e f\n"
                                           << true << 3 << 0 << 0 << int(Interrupted) << true;
    QTest::newRow("an unknown record") << plan + "moved 0\nfrobnicate 1\nmoved 1\n"
                                       << true << 3 << 1 << 0 << int(Interrupted) << true;
    QTest::newRow("an empty line") << plan + "moved 0\n\nmoved 1\n"
                                   << true << 3 << 1 << 0 << int(Interrupted) << true;
    QTest::newRow("too many fields") << plan + "moved 0 1 2 3 4 5 6 7 8\n"
                                     << true << 3 << 0 << 0 << int(Interrupted) << true;
    // The second format: the device and volume per folder, a file's stamp
    // per move; a record of one format in a journal of the other is damage.
    const QByteArray second = "velnor rename journal 2\n"
                              "run 1765000000123 /data/a%20b\n"
                              "folder 0 /data/a%20b 2049 exfat 6F17-FC04\n"
                              "folder 1 /data/caf%E9 2050 ext4 %\n"
                              "move 0 0 11 1234 -1500000000 0 a%0Ab b\n"
                              "move 1 0 12 5 0 0 b c\n"
                              "move 2 1 13 0 1 2 %25 d\n";
    QTest::newRow("second format") << second + "planned 3\nmoved 0\nend 1 0 2\n"
                                   << true << 3 << 1 << 0 << int(Complete) << false;
    QTest::newRow("second format, a move of the first")
        << second + "move 3 0 2049 12 b c\nplanned 4\n"
        << true << 0 << 0 << 0 << int(Interrupted) << true;
    QTest::newRow("second format, a size below -1")
        << second.left(second.indexOf("move 2")) + "move 2 1 13 -2 0 0 %25 d\nplanned 3\n"
        << true << 0 << 0 << 0 << int(Interrupted) << true;
    QTest::newRow("first format, a folder of the second")
        << plan.left(plan.indexOf("folder 1")) + "folder 1 /x 2049 ext4 %\n"
        << true << 0 << 0 << 0 << int(Interrupted) << true;
    QTest::newRow("a later version") << QByteArray("velnor rename journal 3\nrun 0 /\n") << false
                                     << 0 << 0 << 0 << int(Interrupted) << false;
    QTest::newRow("not a journal") << QByteArray("velnor rename journalX 1\n") << false << 0 << 0
                                   << 0 << int(Interrupted) << false;
}

void tst_RunHistory::summaryAgreesWithFullRead()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, readable);
    QFETCH(int, planned);
    QFETCH(int, moved);
    QFETCH(int, failed);
    QFETCH(int, state);
    QFETCH(bool, damaged);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"20251206-054640.journal"_s);
    writeFile(path, text);

    RunJournal full;
    RunSummary summary;
    QString fullError;
    QString summaryError;
    QCOMPARE(Journal::read(path, &full, &fullError), readable);
    QCOMPARE(Journal::readSummary(path, &summary, &summaryError), readable);
    QCOMPARE(summaryError, fullError);
    if (!readable)
        return;

    QCOMPARE(summary.planned, planned);
    QCOMPARE(summary.moved, moved);
    QCOMPARE(summary.failed, failed);
    QCOMPARE(summary.state, RunSummary::State(state));
    QCOMPARE(summary.damaged, damaged);

    QCOMPARE(full.moves.size(), summary.planned);
    QCOMPARE(qsizetype(std::count(full.outcomes.cbegin(), full.outcomes.cend(),
                                  RunJournal::Outcome::Moved)),
             summary.moved);
    QCOMPARE(summary.id, full.id);
    QCOMPARE(summary.path, full.path);
    QCOMPARE(summary.version, full.version);
    QCOMPARE(summary.started, full.started);
    QCOMPARE(summary.root, full.root);
    QCOMPARE(summary.planComplete, full.planComplete);
    QCOMPARE(summary.moved, full.moved);
    QCOMPARE(summary.lastWasRedo, full.lastWasRedo);
    QCOMPARE(summary.closed, full.closed);
    QCOMPARE(summary.renamed, full.renamed);
    QCOMPARE(summary.failed, full.failed);
    QCOMPARE(summary.notAttempted, full.notAttempted);
    QCOMPARE(summary.state, full.state);
    QCOMPARE(summary.damaged, full.damaged);
    QCOMPARE(summary.soundSize, full.soundSize);
    if (planned > 0) {
        QCOMPARE(summary.root, QByteArray("/data/a b"));
        QCOMPARE(full.moves.first().oldName, QByteArray("a\nb"));
        QCOMPARE(full.moves.last().folder, QByteArray("/data/caf\xE9"));
        QCOMPARE(full.moves.last().oldName, QByteArray("%"));
    }
}

// A run still moving its files has no closing record yet, like one that was
// killed; only the one that was killed may be offered for undo as interrupted.
void tst_RunHistory::runGoingOnIsNotInterrupted()
{
    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    const QString folder = scratch.filePath(QStringLiteral("runs"));
    {
        JournalWriter writer;
        QString error;
        QVERIFY2(writer.begin(folder, {{"/tmp", "a", "b", 1, 2}}, 1700000000000, &error),
                 qPrintable(error));
        const RunHistory::Listing going = RunHistory::list(folder);
        QCOMPARE(going.runs.size(), 1);
        QCOMPARE(going.runs.first().state, RunSummary::State::Interrupted);
        QVERIFY(going.runs.first().inUse);
    } // the writer is gone without its closing record, as a killed run's is
    const RunHistory::Listing killed = RunHistory::list(folder);
    QCOMPARE(killed.runs.size(), 1);
    QCOMPARE(killed.runs.first().state, RunSummary::State::Interrupted);
    QVERIFY(!killed.runs.first().inUse);
}

QTEST_GUILESS_MAIN(tst_RunHistory)
#include "tst_runhistory.moc"
