// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskfiles.h"
#include "rename/journal.h"
#include "rename/runhistory.h"

#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

class tst_Journal : public QObject
{
    Q_OBJECT

private slots:
    // First of all: its memory check reads the process's peak, which any
    // larger test run before it (a plan of 30,000 moves) would have raised.
    void refusedJournals_data();
    void refusedJournals();
    void fieldRoundTrip_data();
    void fieldRoundTrip();
    void writtenRunReadsBack();
    void largePlanReadsBack();
    void historyNewestFirst();
    void runsFolderFollowsXdgState_data();
    void runsFolderFollowsXdgState();
    void orderAndPrune_data();
    void orderAndPrune();
    void summaryAgreesWithFullRead_data();
    void summaryAgreesWithFullRead();
};

namespace {

QList<JournalMove> sampleMoves()
{
    return {
        {"/data/a b", "caf\xE9.txt", "new\nline", 2049, 11, 1234, -1500000000, 0, "ext4",
         "1b4e28ba-2fa1-11d2-883f-0016d3cca427"},
        {"/data/a b", "%41", "50% off", 2049, 12, 0, 1709644029500000000, 1709644000000000001,
         "ext4", "1b4e28ba-2fa1-11d2-883f-0016d3cca427"},
        {"/data/other", "x", "y", 2050, 7, 5, 1, 2, "", ""},
    };
}

} // namespace

// A field's bytes and its text in the journal; no bytes where the text is
// no field at all.
void tst_Journal::fieldRoundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("encoded");
    QTest::newRow("plain") << QByteArray("IMG_0412.JPG") << QByteArray("IMG_0412.JPG");
    QTest::newRow("space and percent") << QByteArray("50% off") << QByteArray("50%25%20off");
    QTest::newRow("newline") << QByteArray("a\nb") << QByteArray("a%0Ab");
    QTest::newRow("latin-1 byte") << QByteArray("caf\xE9") << QByteArray("caf%E9");
    QTest::newRow("utf-8 kept as bytes") << QByteArray("\xC3\xA9") << QByteArray("%C3%A9");
    QTest::newRow("empty") << QByteArray("") << QByteArray("%");
    QTest::newRow("slash stays") << QByteArray("/a/b") << QByteArray("/a/b");
    QTest::newRow("DEL and tab") << QByteArray("\x7F\t") << QByteArray("%7F%09");
    // Malformed: empty, a percent at the end, not hex, a raw space, a raw high byte.
    for (const char *malformed : {"", "ab%4", "%G1", "a b", "caf\xE9"})
        QTest::newRow(("malformed: " + QByteArray(malformed)).constData())
            << QByteArray() << QByteArray(malformed);
}

void tst_Journal::fieldRoundTrip()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, encoded);
    QByteArray decoded;
    QCOMPARE(Journal::decodeField(encoded, &decoded), !bytes.isNull());
    if (bytes.isNull())
        return;
    QCOMPARE(decoded, bytes);
    QCOMPARE(Journal::encodeField(bytes), encoded);
}

void tst_Journal::writtenRunReadsBack()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(u"state/Velnor/runs"_s);
    JournalWriter writer;
    QString error;
    const mode_t before = ::umask(0);
    const bool begun = writer.begin(folder, sampleMoves(), 1765000000123, &error);
    ::umask(before);
    QVERIFY2(begun, qPrintable(error));
    QCOMPARE(writer.id(), u"20251206-054640"_s);
    // Made with umask 000 too, the folders that hold the journals are the
    // user's alone, and so is the journal.
    for (const QString &path :
         {dir.filePath(u"state"_s), dir.filePath(u"state/Velnor"_s), folder, writer.path()}) {
        struct stat info;
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &info), 0);
        QCOMPARE(info.st_mode & 07777, mode_t(path == writer.path() ? 0600 : 0700));
    }
    QVERIFY(writer.recordTemporaryName(1, ".velnor-tmp\x01"));
    // Outcomes handed over in a batch reach the file in the order handed
    // over, among those recorded one by one, and leave the batch empty.
    JournalWriter::Outcomes batch;
    batch.add(2, true);
    batch.add(1, false);
    writer.recordOutcomes(batch);
    QCOMPARE(batch.count(), 0);
    writer.recordOutcomes(batch); // empty: nothing
    writer.recordOutcome(0, true);
    QVERIFY(writer.finish(2, 1, 0));
    QVERIFY(readFile(QFile::encodeName(writer.path()))
                .endsWith("moved 2\nfailed 1\nmoved 0\nend 2 1 0\n"));

    RunJournal journal;
    QVERIFY2(Journal::read(writer.path(), &journal, &error), qPrintable(error));
    QCOMPARE(journal.id, writer.id());
    QCOMPARE(journal.version, 2);
    QCOMPARE(journal.started, 1765000000123);
    QCOMPARE(journal.root, QByteArray("/data"));
    QCOMPARE(journal.moves, sampleMoves());
    QCOMPARE(journal.temporaryNames.value(1), QByteArray(".velnor-tmp\x01"));
    using O = RunJournal::Outcome;
    QCOMPARE(journal.outcomes, (std::vector<O>{O::Moved, O::Failed, O::Moved}));
    QCOMPARE(journal.state, RunJournal::State::Complete);
    QCOMPARE(journal.renamed, 2);
    QCOMPARE(journal.failed, 1);
    QVERIFY(!journal.damaged);

    // Cut anywhere, as by a crash, it reads up to its last whole line.
    const QByteArray whole = readFile(QFile::encodeName(writer.path()));
    const qsizetype planEnd = whole.indexOf("planned 3\n") + qsizetype(strlen("planned 3\n"));
    const QString cut = dir.filePath(u"cut.journal"_s);
    for (qsizetype length = 0; length <= whole.size(); ++length) {
        writeFile(cut, whole.left(length));
        RunJournal piece;
        const bool read = Journal::read(cut, &piece, &error);
        // Cut inside the first line: no longer says what it is.
        if (length < qsizetype(strlen("velnor rename journal 2"))) {
            QVERIFY(!read);
            continue;
        }
        QVERIFY2(read, qPrintable(error));
        // Moves only once the whole plan is there, and never a part of it.
        QCOMPARE(piece.moves.size(), length >= planEnd ? 3 : 0);
        QCOMPARE(piece.closed, length == whole.size());
        QCOMPARE(piece.damaged, length < whole.size() && whole.at(length - 1) != '\n');
        QVERIFY(piece.movedCount() <= 2);
    }

    // A second run in the same second gets a journal of its own.
    JournalWriter second;
    QVERIFY(second.begin(folder, sampleMoves(), 1765000000500, &error));
    QCOMPARE(second.id(), u"20251206-054640-2"_s);
}

// A plan larger than two blocks of records, made a block at a time by the
// source and written in two halves at once: each move reads back as made,
// names of every kind byte for byte, and a move the source leaves without an
// inode has none, whatever the move before it in the buffer had. The second
// half opens with the first move of a folder, and a folder met again after
// another one gets no second record.
void tst_Journal::largePlanReadsBack()
{
    const QList<QByteArray> names = {
        "IMG_0001.jpg", "\xFF\xFE\x80"_ba,    "a\0b"_ba,     "new\nline", "50% off",
        "-n",           "x"_ba.repeated(255), "caf\xC3\xA9", "%",         " "};
    const qsizetype count = 32771;
    // The first move of each stretch of folders "/data/f N"; the second half
    // begins at 16385.
    const QList<std::pair<qsizetype, int>> stretches{
        {0, 0}, {8000, 1}, {16385, 2}, {16386, 3}, {25000, 1}};
    const auto make = [&](qsizetype i) {
        int folder = 0;
        for (const auto &[start, number] : stretches)
            folder = i >= start ? number : folder;
        JournalMove move{"/data/f " + QByteArray::number(folder),
                         names[i % names.size()] + QByteArray::number(i),
                         QByteArray::number(i) + names[(i + 3) % names.size()], 2049,
                         i % 3 == 0 ? quint64(1000000 + i) : 0};
        move.size = i;
        move.modified = 1700000000000000000 + i;
        move.fileSystem = "ext4";
        return move;
    };
    std::vector<QByteArray> folders;
    for (qsizetype i = 0; i < count; ++i)
        folders.push_back(make(i).folder);
    JournalWriter::MoveSource source{
        count, [&](qsizetype i) -> const QByteArray & { return folders[size_t(i)]; },
        [&](qsizetype from, qsizetype to, JournalMove *out) {
            for (qsizetype i = from; i < to; ++i) {
                // A source that cannot tell the inode leaves what is there.
                JournalMove move = make(i);
                move.inode = move.inode != 0 ? move.inode : out[i - from].inode;
                out[i - from] = move;
            }
        }};

    QTemporaryDir dir;
    JournalWriter writer;
    QString error;
    QVERIFY2(writer.begin(dir.path(), source, 0, &error), qPrintable(error));
    QVERIFY(writer.finish(0, 0, count));
    const QByteArray text = readFile(QFile::encodeName(writer.path()));
    QVERIFY(
        text.startsWith("velnor rename journal 2\nrun 0 /data\n"
                        "folder 0 /data/f%200 2049 ext4 %\n"
                        "move 0 0 1000000 0 1700000000000000000 0 IMG_0001.jpg0 0new%0Aline\n"));
    QVERIFY(text.contains("\nfolder 2 /data/f%202 2049 ext4 %\n"
                          "move 16385 2 0 16385 1700000000000016385 0 -n16385 16385%25\n"));
    QCOMPARE(text.count("\nfolder "), 4);
    QVERIFY(text.endsWith("\nplanned 32771\nend 0 0 32771\n"));
    RunJournal journal;
    QVERIFY2(Journal::read(writer.path(), &journal, &error), qPrintable(error));
    QCOMPARE(journal.moves.size(), count);
    for (qsizetype i = 0; i < count; ++i) {
        if (!(journal.moves[i] == make(i)))
            QFAIL(qPrintable(u"move %1 reads back changed"_s.arg(i)));
    }
    QCOMPARE(journal.moves[16384].inode, quint64(0)); // its slot held move 0
}

// A run still moving its files has no closing record yet, like one that was
// killed; only the one that was killed may be offered for undo as interrupted.
void tst_Journal::historyNewestFirst()
{
    QTemporaryDir dir;
    QString error;
    for (qint64 second = 0; second < 5; ++second) {
        JournalWriter writer;
        QVERIFY(writer.begin(dir.path(), sampleMoves(), 1765000000000 + second * 1000, &error));
        if (second != 3)
            QVERIFY(writer.finish(3, 0, 0));
    } // the writer of second 3 is gone without its closing record, as a killed run's is
    writeFile(dir.filePath(u"99999999-999999.journal"_s), "velnor rename journal 9\n");

    RunHistory::Listing listing = RunHistory::list(dir.path());
    QCOMPARE(listing.runs.size(), 5);
    QCOMPARE(listing.unreadable.size(), 1);
    QCOMPARE(listing.runs.first().id, u"20251206-054644"_s);
    QCOMPARE(listing.runs.at(1).state, RunJournal::State::Interrupted);
    QVERIFY(!listing.runs.at(1).inUse);
    QCOMPARE(RunHistory::lastUndoable(listing), 0);
    QCOMPARE(RunHistory::find(listing, u"20251206-054641"_s), 3);

    JournalWriter going;
    QVERIFY(going.begin(dir.path(), sampleMoves(), 1765000005000, &error));
    listing = RunHistory::list(dir.path());
    QCOMPARE(listing.runs.first().state, RunJournal::State::Interrupted);
    QVERIFY(listing.runs.first().inUse);
}

void tst_Journal::runsFolderFollowsXdgState_data()
{
    QTest::addColumn<QByteArray>("state");
    QTest::addColumn<QString>("expected");
    QTest::newRow("set") << QByteArray("/tmp/st") << u"/tmp/st/Velnor/runs"_s;
    QTest::newRow("relative is ignored")
        << QByteArray("st") << u"/home/u/.local/state/Velnor/runs"_s;
    QTest::newRow("unset") << QByteArray() << u"/home/u/.local/state/Velnor/runs"_s;
}

void tst_Journal::runsFolderFollowsXdgState()
{
    QFETCH(QByteArray, state);
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldState = qgetenv("XDG_STATE_HOME");
    qputenv("HOME", "/home/u");
    if (state.isEmpty())
        qunsetenv("XDG_STATE_HOME");
    else
        qputenv("XDG_STATE_HOME", state);
    const QString folder = RunHistory::runsFolder();
    qputenv("HOME", oldHome);
    qputenv("XDG_STATE_HOME", oldState);
    QTEST(folder, "expected");
}

// What a journal file may be besides one of ours: each is refused with its
// reason, at once and within little memory, and the history names it as
// unreadable instead of listing it.
void tst_Journal::refusedJournals_data()
{
    QTest::addColumn<QByteArray>("make"); // how the file at the journal's name is made
    QTest::addColumn<QString>("error");
    QTest::newRow("link to /proc/kmsg")
        << "link /proc/kmsg"_ba << u"it is a symbolic link, not a journal"_s;
    QTest::newRow("FIFO") << "fifo -"_ba << u"it is not a regular file"_s;
    QTest::newRow("writable by others")
        << "mode 0666"_ba << u"others may write to it, so it is not read"_s;
    QTest::newRow("writable by the group")
        << "mode 0620"_ba << u"others may write to it, so it is not read"_s;
    QTest::newRow("another user's")
        << "owner 65534"_ba << u"it belongs to another user (uid 65534), so it is not read"_s;
    QTest::newRow("30 GB sparse") << "size 32212254720"_ba
                                  << u"it is larger than 1024 MiB, more than any run writes"_s;
    QTest::newRow("300 MB line") << "line 314572800"_ba
                                 << u"a line is longer than 64 KiB, more than any record takes"_s;
}

void tst_Journal::refusedJournals()
{
    QFETCH(QByteArray, make);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"20260101-000000.journal"_s);
    const QByteArray native = QFile::encodeName(path);
    const QByteArray how = make.left(make.indexOf(' '));
    const QByteArray what = make.mid(make.indexOf(' ') + 1);
    if (how == "link") {
        QCOMPARE(::symlink(what.constData(), native.constData()), 0);
    } else if (how == "fifo") {
        QCOMPARE(::mkfifo(native.constData(), 0600), 0);
    } else {
        writeFile(native, "velnor rename journal 1\nrun 1 /\n");
        if (how == "mode")
            QCOMPARE(::chmod(native.constData(), mode_t(what.toUInt(nullptr, 8))), 0);
        if (how == "owner" && (::geteuid() != 0 || ::chown(native.constData(), 65534, 65534) != 0))
            QSKIP("giving the file to another user needs root");
        if (how == "size" || how == "line")
            QCOMPARE(::truncate(native.constData(), what.toLongLong()), 0);
    }
    QElapsedTimer timer;
    timer.start();
    RunJournal journal;
    QString reason;
    QVERIFY(!Journal::read(path, &journal, &reason));
    QTEST(reason, "error");
    const RunHistory::Listing listing = RunHistory::list(dir.path());
    QVERIFY(listing.runs.isEmpty());
    QVERIFY(timer.elapsed() < 5000);
    // The whole of a 300 MB line is never held.
    rusage usage;
    ::getrusage(RUSAGE_SELF, &usage);
    QVERIFY2(usage.ru_maxrss < 200 * 1024, qPrintable(QString::number(usage.ru_maxrss)));
}

namespace {

// The smallest journal there is: 32 bytes.
const QByteArray emptyRun = "velnor rename journal 1\nrun 0 /\n";

// The ids of runs first to last (either way) of one second.
QStringList sameSecond(const QString &second, int first, int last)
{
    QStringList ids;
    const int step = first <= last ? 1 : -1;
    for (int n = first; n != last + step; n += step)
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

void tst_Journal::orderAndPrune_data()
{
    QTest::addColumn<QStringList>("ids"); // as the runs made them
    QTest::addColumn<int>("keepRuns");
    QTest::addColumn<qint64>("keepBytes");
    QTest::addColumn<QStringList>("newestFirst"); // the start of the listing
    QTest::addColumn<QStringList>("removed");

    const QString x = u"20261207-050000"_s;
    QTest::newRow("-2 comes after the plain one")
        << sameSecond(x, 1, 2) << 1 << qint64(1000) << sameSecond(x, 2, 1) << QStringList{x};
    QTest::newRow("-10 comes after -9") << sameSecond(x, 1, 10) << 100 << qint64(3 * 32)
                                        << sameSecond(x, 10, 7) << sameSecond(x, 1, 7);
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
        << sameSecond(x, 1, 3) << 100 << qint64(2 * 32) << sameSecond(x, 3, 1) << QStringList{x};
    QTest::newRow("101 runs in one second: only the first goes")
        << sameSecond(x, 1, 101) << 100 << qint64(100 * 1024 * 1024) << sameSecond(x, 101, 99)
        << QStringList{x};
    QTest::newRow("names of another shape are older and never removed")
        << QStringList{u"notes"_s, x, x + u"-2"_s, x + u"-01"_s} << 1 << qint64(10)
        << QStringList{x + u"-2"_s, x, u"notes"_s, x + u"-01"_s} << QStringList{x};
}

void tst_Journal::orderAndPrune()
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

void tst_Journal::summaryAgreesWithFullRead_data()
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
    const auto row = [](const char *tag, const QByteArray &text, const char *expected) {
        QTest::newRow(tag) << text << QString::fromUtf8(expected);
    };
    row("complete", plan + "temp 1 .vt%01\nmoved 0\nfailed 1\nmoved 2\nend 2 1 0\n",
        "3 2 1 Complete");
    row("interrupted, some outcomes written", plan + "moved 2\nmoved 0\n", "3 2 0 Interrupted");
    row("interrupted before any outcome", plan, "3 0 0 Interrupted");
    row("killed while writing the plan", plan.left(plan.indexOf("move 2")) + "move 2 1 20",
        "0 0 0 Interrupted damaged");
    row("undone",
        plan + "moved 0\nmoved 1\nend 2 0 1\nundo 1765000009000\nback 1\nback 0\nundo-end 2 0\n",
        "3 2 0 Undone");
    // A file kept: the run stays open to the next undo.
    row("partly undone",
        plan + "moved 0\nmoved 1\nend 2 0 1\nundo 1765000009000\nback 1\nkept 0 "
               "changed%20since%20the%20run\nundo-end 1 1\n",
        "3 2 0 PartlyUndone");
    row("redone",
        plan + "moved 0\nend 1 0 2\nundo 1\nback 0\nundo-end 1 0\nredo 2\nback 0\nredo-end 1 0\n",
        "3 1 0 Redone");
    row("undo interrupted",
        plan + "moved 0\nmoved 1\nmoved 2\nend 3 0 0\nundo 5\ntemp 2 .vt2\nback 2\n",
        "3 3 0 UndoInterrupted");
    row("last line cut off", plan + "moved 0\nmoved 1\nmov", "3 2 0 Interrupted damaged");
    row("garbage appended",
        plan + "moved 0\nend 1 0 2\n" + QByteArray("\x00\xFFjunk\nmoved 1\n", 15),
        "3 1 0 Complete damaged");
    row("a name badly escaped stops the plan",
        plan.left(plan.indexOf("move 1")) + "move 1 0 2049 12 b%4 c\nplanned 2\n",
        "0 0 0 Interrupted damaged");
    row("moves numbered out of order",
        plan.left(plan.indexOf("move 0")) +
            "move 1 0 2049 12 b c\nmove 0 0 2049 11 a%0Ab b\nmove 2 1 2049 13 %25 d\nplanned 3\n",
        "0 0 0 Interrupted damaged");
    row("a move in a folder never named",
        plan.left(plan.indexOf("move 2")) + "move 2 7 2049 13 x y\nplanned 3\n",
        "0 0 0 Interrupted damaged");
    row("a later outcome of the same move counts", plan + "moved 0\nfailed 0\nmoved 1\n",
        "3 1 1 Interrupted");
    row("an outcome of a move never planned", plan + "moved 0\nmoved 3\nmoved 1\n",
        "3 1 0 Interrupted damaged");
    row("a plan recorded twice", plan + "move 3 0 2049 14 e f\n", "3 0 0 Interrupted damaged");
    row("an unknown record", plan + "moved 0\nfrobnicate 1\nmoved 1\n",
        "3 1 0 Interrupted damaged");
    row("an empty line", plan + "moved 0\n\nmoved 1\n", "3 1 0 Interrupted damaged");
    row("too many fields", plan + "moved 0 1 2 3 4 5 6 7 8\n", "3 0 0 Interrupted damaged");
    // The second format: the device and volume per folder, a file's stamp
    // per move; a record of one format in a journal of the other is damage.
    const QByteArray second = "velnor rename journal 2\n"
                              "run 1765000000123 /data/a%20b\n"
                              "folder 0 /data/a%20b 2049 exfat 6F17-FC04\n"
                              "folder 1 /data/caf%E9 2050 ext4 %\n"
                              "move 0 0 11 1234 -1500000000 0 a%0Ab b\n"
                              "move 1 0 12 5 0 0 b c\n"
                              "move 2 1 13 0 1 2 %25 d\n";
    row("second format", second + "planned 3\nmoved 0\nend 1 0 2\n", "3 1 0 Complete");
    row("second format, a move of the first", second + "move 3 0 2049 12 b c\nplanned 4\n",
        "0 0 0 Interrupted damaged");
    row("second format, a size below -1",
        second.left(second.indexOf("move 2")) + "move 2 1 13 -2 0 0 %25 d\nplanned 3\n",
        "0 0 0 Interrupted damaged");
    row("first format, a folder of the second",
        plan.left(plan.indexOf("folder 1")) + "folder 1 /x 2049 ext4 %\n",
        "0 0 0 Interrupted damaged");
    row("a later version", "velnor rename journal 3\nrun 0 /\n", nullptr);
    row("not a journal", "velnor rename journalX 1\n", nullptr);
}

void tst_Journal::summaryAgreesWithFullRead()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"20251206-054640.journal"_s);
    writeFile(path, text);

    RunJournal full;
    RunSummary summary;
    QString fullError, summaryError;
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
        QString text;
        QDebug(&text) << run.id << run.path << run.version << run.started << run.root
                      << run.planComplete << run.planned << run.moved << run.lastWasRedo
                      << run.closed << run.renamed << run.failed << run.notAttempted
                      << int(run.state) << run.damaged << run.soundSize;
        return text;
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

QTEST_GUILESS_MAIN(tst_Journal)
#include "tst_journal.moc"
