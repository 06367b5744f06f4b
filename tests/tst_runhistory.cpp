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
    // "planned moved failed state", and "damaged"; empty where it cannot be read.
    QTest::addColumn<QString>("expected");

    const QByteArray plan = "velnor rename journal 1\n"
                            "run 1765000000123 /data/a%20b\n"
                            "folder 0 /data/a%20b\n"
                            "folder 1 /data/caf%E9\n"
                            "move 0 0 2049 11 a%0Ab b\n"
                            "move 1 0 2049 12 b c\n"
                            "move 2 1 2049 13 %25 d\n"
                            "planned 3\n";
    QTest::newRow("complete") << plan + "temp 1 .vt%01\nmoved 0\nfailed 1\nmoved 2\nend 2 1 0\n"
                              << u"3 2 1 Complete"_s;
    QTest::newRow("interrupted, some outcomes written") << plan + "moved 2\nmoved 0\n"
                                                        << u"3 2 0 Interrupted"_s;
    QTest::newRow("interrupted before any outcome") << plan << u"3 0 0 Interrupted"_s;
    QTest::newRow("killed while writing the plan")
        << plan.left(plan.indexOf("move 2")) + "move 2 1 20" << u"0 0 0 Interrupted damaged"_s;
    QTest::newRow("undone")
        << plan + "moved 0\nmoved 1\nend 2 0 1\nundo 1765000009000\nback 1\nback 0\nundo-end 2 0\n"
        << u"3 2 0 Undone"_s;
    // A file kept: the run stays open to the next undo.
    QTest::newRow("partly undone")
        << plan + "moved 0\nmoved 1\nend 2 0 1\nundo 1765000009000\nback 1\nkept 0 "
                  "changed%20since%20the%20run\nundo-end 1 1\n"
        << u"3 2 0 PartlyUndone"_s;
    QTest::newRow("redone")
        << plan + "moved 0\nend 1 0 2\nundo 1\nback 0\nundo-end 1 0\nredo 2\nback 0\nredo-end 1 0\n"
        << u"3 1 0 Redone"_s;
    QTest::newRow("undo interrupted")
        << plan + "moved 0\nmoved 1\nmoved 2\nend 3 0 0\nundo 5\ntemp 2 .vt2\nback 2\n"
        << u"3 3 0 UndoInterrupted"_s;
    QTest::newRow("last line cut off")
        << plan + "moved 0\nmoved 1\nmov" << u"3 2 0 Interrupted damaged"_s;
    QTest::newRow("garbage appended")
        << plan + "moved 0\nend 1 0 2\n" + QByteArray("\x00\xFFjunk\nmoved 1\n", 15)
        << u"3 1 0 Complete damaged"_s;
    QTest::newRow("a name badly escaped stops the plan")
        << plan.left(plan.indexOf("move 1")) + "move 1 0 2049 12 b%4 c\nplanned 2\n"
        << u"0 0 0 Interrupted damaged"_s;
    QTest::newRow("moves numbered out of order")
        << plan.left(plan.indexOf("move 0")) +
               "move 1 0 2049 12 b c\nmove 0 0 2049 11 a%0Ab b\nmove 2 1 2049 13 %25 d\nplanned 3\n"
        << u"0 0 0 Interrupted damaged"_s;
    QTest::newRow("a move in a folder never named")
        << plan.left(plan.indexOf("move 2")) + "move 2 7 2049 13 x y\nplanned 3\n"
        << u"0 0 0 Interrupted damaged"_s;
    QTest::newRow("a later outcome of the same move counts")
        << plan + "moved 0\nfailed 0\nmoved 1\n"
        << u"3 1 1 Interrupted"_s;
    QTest::newRow("an outcome of a move never planned") << plan + "moved 0\nmoved 3\nmoved 1\n"
                                                        << u"3 1 0 Interrupted damaged"_s;
    QTest::newRow("a plan recorded twice") << plan + "move 3 0 2049 14 e f\n"
                                           << u"3 0 0 Interrupted damaged"_s;
    QTest::newRow("an unknown record") << plan + "moved 0\nfrobnicate 1\nmoved 1\n"
                                       << u"3 1 0 Interrupted damaged"_s;
    QTest::newRow("an empty line") << plan + "moved 0\n\nmoved 1\n"
                                   << u"3 1 0 Interrupted damaged"_s;
    QTest::newRow("too many fields") << plan + "moved 0 1 2 3 4 5 6 7 8\n"
                                     << u"3 0 0 Interrupted damaged"_s;
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
                                   << u"3 1 0 Complete"_s;
    QTest::newRow("second format, a move of the first")
        << second + "move 3 0 2049 12 b c\nplanned 4\n"
        << u"0 0 0 Interrupted damaged"_s;
    QTest::newRow("second format, a size below -1")
        << second.left(second.indexOf("move 2")) + "move 2 1 13 -2 0 0 %25 d\nplanned 3\n"
        << u"0 0 0 Interrupted damaged"_s;
    QTest::newRow("first format, a folder of the second")
        << plan.left(plan.indexOf("folder 1")) + "folder 1 /x 2049 ext4 %\n"
        << u"0 0 0 Interrupted damaged"_s;
    QTest::newRow("a later version")
        << QByteArray("velnor rename journal 3\nrun 0 /\n") << QString();
    QTest::newRow("not a journal") << QByteArray("velnor rename journalX 1\n") << QString();
}

void tst_RunHistory::summaryAgreesWithFullRead()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"20251206-054640.journal"_s);
    writeFile(path, text);

    RunJournal full;
    RunSummary summary;
    QString fullError;
    QString summaryError;
    QCOMPARE(Journal::read(path, &full, &fullError), !expected.isEmpty());
    QCOMPARE(Journal::readSummary(path, &summary, &summaryError), !expected.isEmpty());
    QCOMPARE(summaryError, fullError);
    if (expected.isEmpty())
        return;

    static const char *const states[] = {"Interrupted", "Complete",        "Undone",
                                         "Redone",      "UndoInterrupted", "PartlyUndone"};
    QCOMPARE(u"%1 %2 %3 %4%5"_s.arg(summary.planned)
                 .arg(summary.moved)
                 .arg(summary.failed)
                 .arg(QLatin1StringView(states[int(summary.state)]),
                      summary.damaged ? u" damaged"_s : QString()),
             expected);
    // Every field the summary holds, as the full read has it.
    const auto fields = [](const RunSummary &run) {
        return QStringList{run.id,
                           run.path,
                           QString::number(run.version),
                           QString::number(run.started),
                           QString::fromLatin1(run.root.toHex()),
                           QString::number(run.planComplete),
                           QString::number(run.planned),
                           QString::number(run.moved),
                           QString::number(run.lastWasRedo),
                           QString::number(run.closed),
                           QString::number(run.renamed),
                           QString::number(run.failed),
                           QString::number(run.notAttempted),
                           QString::number(int(run.state)),
                           QString::number(run.damaged),
                           QString::number(run.soundSize)};
    };
    QCOMPARE(fields(summary), fields(full));
    QCOMPARE(full.moves.size(), summary.planned);
    QCOMPARE(qsizetype(std::count(full.outcomes.cbegin(), full.outcomes.cend(),
                                  RunJournal::Outcome::Moved)),
             summary.moved);
    if (summary.planned > 0) {
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
