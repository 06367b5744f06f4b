// SPDX-License-Identifier: GPL-3.0-or-later
#include "clirun.h"
#include "disktree.h"
#include "journalfixture.h"
#include "rename/journal.h"

#include <QDateTime>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// The history of runs through the real binary: listing it, taking runs back
// and doing them again, and the journal the run must be able to write; and
// new names by hand, taken back by --undo.
namespace {

// Runs of 2026-01-02 03:04:05 UTC and later: their IDs and times are fixed.
constexpr qint64 FirstRun = 1767323045000;

struct FixtureRun
{
    qint64 started;
    QByteArray folder; // "@" for the folder of the files
    int moves;
    int recorded; // outcomes written; -1 for all and a closing record
    bool undone;
};

} // namespace

Q_DECLARE_METATYPE(FixtureRun)

class tst_CliHistory : public CliTest
{
    Q_OBJECT

private slots:
    void runInQuestion_data();
    void runInQuestion();
    void history();
    void interruptedRunNoted_data();
    void interruptedRunNoted();
    void undoAndRedo_data();
    void undoAndRedo();
    void undoCutShortIsTakenUp();
    void journalFolderUnwritable();

    void namesByHand_data();
    void namesByHand();

private:
    CliResult run(const QByteArrayList &arguments) const;
    QString runsFolder() const { return m_state->filePath(u"Velnor/runs"_s); }
    void writeRun(const FixtureRun &fixture) const;
    // New names by hand (--names-from, --map, --edit), run in the folder of
    // the files with `input` on standard input and in map.csv.
    CliResult runNames(const QString &options, const QByteArray &input,
                       const QString &editor) const;
    QString namesDisk() const
    {
        return folderEntries(path("f")) + u" | "_s + folderEntries(path("g"));
    }
};

// In UTC, where the times of the runs are fixed.
CliResult tst_CliHistory::run(const QByteArrayList &arguments) const
{
    CliOptions options;
    options.env = {"TZ=UTC"};
    return runCli(arguments, options);
}

void tst_CliHistory::writeRun(const FixtureRun &fixture) const
{
    const bool finished = fixture.recorded < 0;
    QVERIFY(!writeJournal(runsFolder(), fixture.folder == "@" ? root() : fixture.folder,
                          fixture.started, fixture.moves,
                          finished ? fixture.moves : fixture.recorded, finished, fixture.undone)
                 .isEmpty());
}

void tst_CliHistory::runInQuestion_data()
{
    QTest::addColumn<bool>("withRuns");
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    const auto row = [](const char *tag, bool withRuns, const QString &arguments, int exitCode,
                        const QString &message) {
        QTest::newRow(tag) << withRuns << arguments << exitCode << message;
    };
    // With runs: 20260102-030405 complete, 20260102-030415 undone.
    row("unknown ID", true, u"--undo 20990101-000000"_s, 2,
        u"--undo: no run with the ID '20990101-000000' (see --history)"_s);
    row("unknown ID to redo", true, u"--redo=20260102-030406"_s, 2,
        u"--redo: no run with the ID '20260102-030406' (see --history)"_s);
    row("undone already", true, u"--undo 20260102-030415"_s, 1,
        u"--undo: the run 20260102-030415 has been undone already; `velnor-rename --redo "
        u"20260102-030415` renames its files again"_s);
    row("redo of a run not undone", true, u"--redo 20260102-030405"_s, 1,
        u"--redo: the run 20260102-030405 has not been undone"_s);
    row("nothing to undo", false, u"--undo"_s, 1,
        u"nothing to undo: the history holds no run that has not been undone"_s);
    row("nothing to redo", false, u"--redo"_s, 1,
        u"nothing to redo: no run in the history has been undone"_s);
}

void tst_CliHistory::runInQuestion()
{
    QFETCH(bool, withRuns);
    QFETCH(QString, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    if (withRuns) {
        writeRun({FirstRun, root(), 2, -1, false});
        writeRun({FirstRun + 10000, root(), 2, -1, true});
    }
    const CliResult result = run(args(arguments));
    QCOMPARE(QString::fromUtf8(result.err), u"velnor-rename: "_s + message + u'\n');
    QCOMPARE(result.exitCode, exitCode);
    QCOMPARE(result.out, QByteArray());
}

// Newest first (the order of runs in one second and the counts of a
// cancelled run are the history's to test), as lines and as JSON. A folder's
// bytes that are not UTF-8, and a newline, stay on one line; JSON gives the
// bytes in base64 too.
void tst_CliHistory::history()
{
    QCOMPARE(run({"--history"}).out, QByteArray());
    writeRun({FirstRun, "/data/\"quoted\"", 3, -1, false});
    writeRun({FirstRun + 3600000, "/data/two words\nand a line", 12345, 7, false});
    writeRun({FirstRun + 60000, "/data/caf\xe9", 2, -1, true});
    const CliResult lines = run({"--history"});
    QCOMPARE(lines.exitCode, 0);
    QCOMPARE(lines.err, QByteArray());
    QCOMPARE(QString::fromUtf8(lines.out),
             u"20260102-040405  2026-01-02 04:04:05  7  interrupted  /data/two words\\x0aand "
             u"a line\n"
             u"20260102-030505  2026-01-02 03:05:05  2  undone  /data/caf\\xe9\n"
             u"20260102-030405  2026-01-02 03:04:05  3  complete  /data/\"quoted\"\n"_s);
    const CliResult json = run({"--history", "--json"});
    QCOMPARE(json.exitCode, 0);
    QCOMPARE(
        json.out,
        "{\"runs\":[\n"
        "{\"id\":\"20260102-040405\",\"time\":\"2026-01-02T04:04:05Z\",\"files\":12345,"
        "\"renamed\":7,\"failed\":0,\"state\":\"interrupted\","
        "\"folder\":\"/data/two words\\nand a line\"},\n"
        "{\"id\":\"20260102-030505\",\"time\":\"2026-01-02T03:05:05Z\",\"files\":2,"
        "\"renamed\":2,\"failed\":0,\"state\":\"undone\",\"folder\":\"/data/caf\xef\xbf\xbd\","
        "\"folderBytes\":\"L2RhdGEvY2Fm6Q==\"},\n"
        "{\"id\":\"20260102-030405\",\"time\":\"2026-01-02T03:04:05Z\",\"files\":3,"
        "\"renamed\":3,\"failed\":0,\"state\":\"complete\",\"folder\":\"/data/\\\"quoted\\\"\"}]}\n"_ba);
}

void tst_CliHistory::interruptedRunNoted_data()
{
    QTest::addColumn<QList<FixtureRun>>("runs");
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("note");
    const QByteArray folder = "/data";
    const FixtureRun cut{FirstRun, folder, 100000, 12345, false};
    const QString apply = u"--apply --name=[N]x @"_s;
    const QString note = u"note: the last rename (20260102-030405) was interrupted after 12,345 "
                         u"of 100,000 files; `velnor-rename --undo 20260102-030405` takes it "
                         u"back\n"_s;
    QTest::newRow("at the next run") << QList<FixtureRun>{cut} << apply << note;
    QTest::newRow("at the next run without a journal")
        << QList<FixtureRun>{cut} << u"--apply --no-journal --name=[N]x @"_s << note;
    QTest::newRow("at the undo of another run")
        << QList<FixtureRun>{{FirstRun - 1000, "@", 1, -1, false}, cut}
        << u"--undo 20260102-030404"_s << note;
    QTest::newRow("not when it is the one undone")
        << QList<FixtureRun>{{FirstRun, "@", 3, 1, false}} << u"--undo"_s << QString();
    QTest::newRow("not when a later run ended")
        << QList<FixtureRun>{cut, {FirstRun + 1000, folder, 1, -1, false}} << apply << QString();
    QTest::newRow("before any outcome reached the journal")
        << QList<FixtureRun>{{FirstRun, folder, 3, 0, false}} << apply
        << u"note: the last rename (20260102-030405) was interrupted before any file was "
           u"recorded as renamed; `velnor-rename --undo 20260102-030405` takes back what it "
           u"renamed\n"_s;
    QTest::newRow("not at a preview")
        << QList<FixtureRun>{{FirstRun, folder, 10, 2, false}} << u"@"_s << QString();
}

void tst_CliHistory::interruptedRunNoted()
{
    QFETCH(QList<FixtureRun>, runs);
    QFETCH(QString, arguments);
    QFETCH(QString, note);
    for (const FixtureRun &fixture : std::as_const(runs))
        writeRun(fixture);
    writeFile(path("h"), "h");
    const CliResult result = run(args(arguments));
    QVERIFY2(QString::fromUtf8(result.err).startsWith(note), result.err.constData());
    QVERIFY(!result.err.mid(note.size()).contains("note:"));
}

void tst_CliHistory::undoAndRedo_data()
{
    QTest::addColumn<bool>("deleted"); // g2, after the run
    QTest::addColumn<bool>("json");
    QTest::newRow("all restored, then renamed again") << false << false;
    QTest::newRow("one kept: summary line") << true << false;
    QTest::newRow("one kept: JSON") << true << true;
}

// The messages of an undo and a redo, and the history's states; the cases
// of the disk (cycles, names that are not UTF-8) and the other reasons to
// keep a file are the undo's own tests (tst_undorun), here a file deleted
// since the run and its places in the output.
void tst_CliHistory::undoAndRedo()
{
    QFETCH(bool, deleted);
    QFETCH(bool, json);
    makeTree(root(), {"f1=f1", "f2=f2", "f3=f3"});
    const CliResult applied = run(args(u"--apply --search f --replace g @"_s));
    QCOMPARE(applied.err, QByteArray());
    QCOMPARE(applied.exitCode, 0);
    const QString after = u"g1=f1 g2=f2 g3=f3"_s;
    QCOMPARE(folderEntries(root()), after);
    const QByteArray runId = run({"--history"}).out.split(' ').first();
    if (deleted)
        QVERIFY(::unlink(path("g2")) == 0);

    const CliResult undone =
        run(json ? QByteArrayList{"--undo", "--json"} : QByteArrayList{"--undo"});
    QCOMPARE(undone.exitCode, deleted ? 1 : 0);
    QCOMPARE(undone.out,
             json ? "{\"id\":\"" + runId +
                        atRoot("\",\"moved\":2,\"kept\":[\n{\"path\":\"@/g2\",\"wanted\":\"@/f2\","
                               "\"reason\":\"missing\"}],\"notAttempted\":0}\n")
             : deleted ? "2 files restored. 1 kept.\n"_ba
                       : "3 files restored. 0 kept.\n"_ba);
    QCOMPARE(undone.err,
             deleted ? atRoot("velnor-rename: '@/g2' stays, not '@/f2': missing\n") : QByteArray());
    QCOMPARE(folderEntries(root()), deleted ? u"f1=f1 f3=f3"_s : u"f1=f1 f2=f2 f3=f3"_s);
    if (deleted)
        return;
    QVERIFY(run({"--history"}).out.contains("  undone  "));

    // Nothing left to undo: the only run is undone.
    QCOMPARE(run({"--undo"}).exitCode, 1);
    const CliResult redone = run({"--redo", runId});
    QCOMPARE(redone.err, QByteArray());
    QCOMPARE(redone.exitCode, 0);
    QCOMPARE(folderEntries(root()), after);
    QVERIFY(run({"--history"}).out.contains("  redone  "));
}

// An undo stopped half way (Ctrl+C) is noted at the next run; that the next
// --undo finishes it is the undo's own to test.
void tst_CliHistory::undoCutShortIsTakenUp()
{
    writeFile(path("f1"), "1");
    QCOMPARE(run(args(u"--apply --search f --replace g @/f1"_s)).exitCode, 0);
    const QString id = QString::fromUtf8(run({"--history"}).out.split(' ').first());
    {
        // The undo's first records, as a process killed right after them leaves them.
        JournalAppender undo;
        QString error;
        QVERIFY2(undo.open(runsFolder() + u'/' + id + u".journal"_s, &error), qPrintable(error));
        QVERIFY(undo.start(false, QDateTime::currentMSecsSinceEpoch()));
    }
    QVERIFY(run({"--history"}).out.contains("  undo-interrupted  "));
    writeFile(path("f2"), "2");
    const CliResult noted = run(args(u"--apply --search f --replace g @/f2"_s));
    QCOMPARE(noted.exitCode, 0);
    QCOMPARE(QString::fromUtf8(noted.err),
             u"note: the undo or redo of the last rename (%1) was interrupted; `velnor-rename "
             u"--undo %1` or `--redo %1` takes it up\n"_s.arg(id));
}

// A file where the state folder should be: the run is refused and renames
// nothing, unless --no-journal renames without one. A folder that cannot be
// written is the journal's own to test.
void tst_CliHistory::journalFolderUnwritable()
{
    writeFile(m_state->path("Velnor"), "in the way");
    writeFile(path("a"), "a");
    writeFile(path("b"), "b");
    const CliResult refused = run(args(u"--apply --name x[N] @"_s));
    QCOMPARE(refused.exitCode, 1);
    QCOMPARE(refused.out, QByteArray());
    QCOMPARE(QString::fromUtf8(refused.err),
             u"velnor-rename: cannot write the journal in "_s + runsFolder() +
                 u": cannot make the folder "_s + runsFolder() +
                 u"; nothing was renamed (--no-journal renames without one)\n"_s);
    QCOMPARE(folderEntries(root()), u"a=a b=b"_s);
    const CliResult without = run(args(u"--apply --name x[N] @ --no-journal"_s));
    QCOMPARE(without.exitCode, 0);
    QCOMPARE(without.err, QByteArray());
    QCOMPARE(folderEntries(root()), u"xa=a xb=b"_s);
}

CliResult tst_CliHistory::runNames(const QString &options, const QByteArray &input,
                                   const QString &editor) const
{
    writeFile(path("map.csv"), input);
    CliOptions how;
    how.cwd = root();
    how.input = input;
    how.env = {"VISUAL=", "EDITOR=" + editor.toUtf8(), "TMPDIR=" + path("tmp")};
    return runCli(options.toUtf8().split(' '), how);
}

// Each row: taken back by --undo afterwards, or refused with its message and
// exit status 2, nothing renamed.
void tst_CliHistory::namesByHand_data()
{
    QTest::addColumn<QString>("options");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("after");   // the disk; empty: as it was
    QTest::addColumn<QString>("message"); // empty: no refusal
    QTest::newRow("names-from swap") << u"--sort old-name --names-from - f"_s << "b\na\nc\n"_ba
                                     << u""_s << u"a=B b=A c=C | p,\nq=P"_s << QString();
    // A quoted path with a comma and a line end, a relative path with "./",
    // a name that is not UTF-8, CRLF; f/c is a PATH that keeps its name.
    QTest::newRow("map") << u"--map map.csv f/c"_s << "\"g/p,\nq\",\"n,\xffw\"\r\n./f/a,b2\r\n"_ba
                         << u""_s << u"b2=A b=B c=C | n,\uFFFDw=P"_s << QString();
    QTest::newRow("edit one line") << u"--name [N]x --sort old-name --edit f"_s << ""_ba
                                   << u"test $(stat -c %a \"$1\") = 600 && sed -i 2s/.*/bee/"_s
                                   << u"ax=A bee=B cx=C | p,\nq=P"_s << QString();
    QTest::newRow("count differs") << u"--names-from - f"_s << "x\ny\n"_ba << u""_s << QString()
                                   << u"--names-from: 2 names for 3 files; nothing renamed"_s;
    QTest::newRow("empty line") << u"--names-from - f"_s << "x\n\ny\n"_ba << u""_s << QString()
                                << u"--names-from: line 2 is empty"_s;
    QTest::newRow("map path twice")
        << u"--map map.csv"_s << "f/a,x\n./f/a,y\n"_ba << u""_s << QString()
        << u"--map: 'map.csv': row 2: './f/a' is in row 1 already"_s;
    QTest::newRow("map path missing") << u"--map map.csv"_s << "f/a,x\nf/q,y\n"_ba << u""_s
                                      << QString() << u"row 2: 'f/q': No such file or directory"_s;
    QTest::newRow("map one column") << u"--map map.csv"_s << "f/a,x\nf/b\n"_ba << u""_s << QString()
                                    << u"row 2: not two columns (path, new name)"_s;
    QTest::newRow("edit deletes a line") << u"--edit f"_s << ""_ba << u"sed -i 2d"_s << QString()
                                         << u"--edit: 2 lines for 3 files; nothing renamed"_s;
    QTest::newRow("editor fails") << u"--edit f"_s << ""_ba << u"sed -i 1s/a/z/ \"$1\"; false"_s
                                  << QString() << u"exited with status 1; nothing renamed"_s;
    QTest::newRow("edit a line end") << u"--edit g"_s << ""_ba << u"true"_s << QString()
                                     << u"holds a line end and cannot be edited"_s;
    QTest::newRow("two ways") << u"--names-from - --edit f"_s << ""_ba << u"true"_s << QString()
                              << u"--names-from and --edit cannot be combined"_s;
    QTest::newRow("preset") << u"--map map.csv --save-preset p"_s << ""_ba << u""_s << QString()
                            << u"a preset keeps no names by hand"_s;
}

void tst_CliHistory::namesByHand()
{
    QFETCH(QString, options);
    QFETCH(QByteArray, input);
    QFETCH(QString, editor);
    QFETCH(QString, after);
    QFETCH(QString, message);
    const QString untouched = u"a=A b=B c=C | p,\nq=P"_s;
    makeTree(root(), {"f/", "g/", "tmp/", "f/a=A", "f/b=B", "f/c=C", "g/p,\nq=P"});
    const CliResult applied = runNames(options + u" --apply"_s, input, editor);
    if (message.isEmpty())
        QCOMPARE(applied.err, QByteArray());
    QVERIFY2(QString::fromUtf8(applied.err).contains(message), applied.err.constData());
    QCOMPARE(applied.exitCode, message.isEmpty() ? 0 : 2);
    QCOMPARE(namesDisk(), after.isEmpty() ? untouched : after);
    QCOMPARE(folderEntries(path("tmp")), QString());
    if (QTest::currentDataTag() == "map"_ba)
        QCOMPARE(readFile(path("g/n,\xffw")), "P"_ba);
    if (message.isEmpty()) {
        QCOMPARE(runNames(u"--undo"_s, {}, {}).exitCode, 0);
        QCOMPARE(namesDisk(), untouched);
    }
}

QTEST_GUILESS_MAIN(tst_CliHistory)
#include "tst_clihistory.moc"
