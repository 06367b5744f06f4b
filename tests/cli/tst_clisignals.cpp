// SPDX-License-Identifier: GPL-3.0-or-later
#include "clirun.h"
#include "disktree.h"
#include "rename/journal.h"
#include "rename/runhistory.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tuple>

using namespace Qt::StringLiterals;

// velnor-rename stopped by a signal half way through a run, and writing into
// a pipe whose reader has gone: the disk must still hold every file under
// exactly one name, and the exit status must say what happened.
namespace {

constexpr int Folders = 20;
constexpr int FilesPerFolder = 1000;
constexpr int Files = Folders * FilesPerFolder;

// Waits until the child has stopped itself at the point the run was told to
// pause at; false when it ended instead. The stop stays to be waited for.
bool waitUntilStopped(qint64 pid)
{
    siginfo_t info{};
    return ::waitid(P_PID, id_t(pid), &info, WSTOPPED | WEXITED | WNOWAIT) == 0 &&
           info.si_code == CLD_STOPPED;
}

} // namespace

class tst_CliSignals : public CliTest
{
    Q_OBJECT

private slots:
    void signalEndsTheRunWithItsSummary();
    void closedPipeStopsOnlyTheWriting_data();
    void closedPipeStopsOnlyTheWriting();

private:
    // The run over the tree that puts `prefix` before each name, stopped by
    // itself after 5,000 moves, so that a signal comes in the middle of it
    // however fast the machine is.
    void startPausedRun(QProcess &process, char prefix, bool json);
    // How many names begin with `prefix`; -1 unless the folders hold as many
    // names as files. (That no file is lost or under two names after a
    // cancel is the run job's to test.)
    int renamedOnDisk(char prefix) const;
};

void tst_CliSignals::startPausedRun(QProcess &process, char prefix, bool json)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"VELNOR_TEST_PAUSE_AT"_s, u"move:5000"_s);
    process.setProcessEnvironment(env);
    QStringList arguments{u"--apply"_s, u"--name="_s + QChar::fromLatin1(prefix) + u"[N]"_s,
                          QFile::decodeName(root())};
    if (json)
        arguments << u"--json"_s;
    process.start(QStringLiteral(VELNOR_PAUSED_BIN), arguments);
    QVERIFY(process.waitForStarted());
    QVERIFY2(waitUntilStopped(process.processId()), "the run never reached its 5,000th move");
}

int tst_CliSignals::renamedOnDisk(char prefix) const
{
    int renamed = 0, files = 0;
    for (const QByteArray &entry : tree(root())) {
        if (entry.endsWith('/'))
            continue;
        ++files;
        renamed += entry.mid(entry.indexOf('/') + 1).startsWith(prefix);
    }
    return files == Files ? renamed : -1;
}

// SIGTERM, then SIGINT in a second run over the same tree (its files
// renamed again, whatever the first did), that one with --json: each ends
// the run with its status and its summary, each file the run did not come
// to marked so, and a journal that was closed and knows every move.
void tst_CliSignals::signalEndsTheRunWithItsSummary()
{
    QCOMPARE(makeTree(root(), Folders, FilesPerFolder).size(), Files);
    for (const auto &[signal, exitCode, prefix] :
         {std::tuple{SIGTERM, 143, 'n'}, {SIGINT, 130, 'm'}}) {
        QProcess process;
        const bool json = signal == SIGINT;
        startPausedRun(process, prefix, json);
        if (QTest::currentTestFailed())
            return;
        ::kill(pid_t(process.processId()), signal);
        ::kill(pid_t(process.processId()), SIGCONT);
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), exitCode);

        const QByteArray out = process.readAllStandardOutput();
        int renamed = 0;
        if (json) {
            const QJsonObject counts = QJsonDocument::fromJson(out).object();
            QHash<QString, int> statuses;
            for (const QJsonValue &file : jsonFiles(out))
                ++statuses[file[u"status"].toString()];
            renamed = statuses.value(u"renamed"_s);
            QCOMPARE(statuses.value(u"not attempted"_s), Files - renamed);
            QCOMPARE(counts[u"renamed"].toInt(), renamed);
            QCOMPARE(counts[u"notAttempted"].toInt(), Files - renamed);
            QCOMPARE(counts[u"unchanged"].toInt(), 0);
        } else {
            static const QRegularExpression line(
                u"^(\\d+) files renamed successfully\\. 0 failed, 0 unchanged, (\\d+) not attempted\\.\\n$"_s);
            const QRegularExpressionMatch match = line.match(QString::fromUtf8(out));
            QVERIFY2(match.hasMatch(), out.constData());
            renamed = match.captured(1).toInt();
            QCOMPARE(renamed + match.captured(2).toInt(), Files);
        }
        QVERIFY(renamed >= 5000);
        QCOMPARE(renamedOnDisk(prefix), renamed);

        const RunHistory::Listing history = RunHistory::list(m_state->filePath(u"Velnor/runs"_s));
        QCOMPARE(history.runs.size(), prefix == 'n' ? 1 : 2);
        RunJournal journal;
        QString error;
        QVERIFY2(Journal::read(history.runs.first().path, &journal, &error), qPrintable(error));
        QVERIFY(journal.closed);
        QCOMPARE(journal.state, RunJournal::State::Complete);
        QCOMPARE(journal.movedCount(), qsizetype(renamed));
        QCOMPARE(journal.notAttempted, qsizetype(Files - renamed));
    }
}

void tst_CliSignals::closedPipeStopsOnlyTheWriting_data()
{
    QTest::addColumn<bool>("withFailures");
    QTest::addColumn<QString>("redirect");
    QTest::addColumn<int>("exitCode");
    // Each failure is one line on standard error, written as the run goes;
    // where standard error is a file of its own, nothing goes there.
    QTest::newRow("messages and summary into head") << true << u"2>&1 | head -2 >\"$OUT\""_s << 1;
    QTest::newRow("JSON into head") << false << u"--json 2>\"$ERR\" | head -c 10 >\"$OUT\""_s << 0;
    QTest::newRow("summary into a reader that reads nothing")
        << false << u"2>\"$ERR\" | true"_s << 0;
}

void tst_CliSignals::closedPipeStopsOnlyTheWriting()
{
    QFETCH(bool, withFailures);
    QFETCH(QString, redirect);
    QFETCH(int, exitCode);
    const QString bash = u"/bin/bash"_s;
    if (!QFile::exists(bash))
        QSKIP("bash is not installed");
    // a*.y move to b*.y; a*.x fail, as b*.x holds their new names.
    constexpr int Count = 1500;
    const QByteArray folder = root();
    for (int i = 0; i < Count; ++i) {
        const QByteArray number = QByteArray::number(i);
        writeFile(folder + "/a" + number + ".y", number);
        if (withFailures) {
            writeFile(folder + "/a" + number + ".x", number);
            writeFile(folder + "/b" + number + ".x", "b");
        }
    }
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"BIN"_s, QStringLiteral(VELNOR_RENAME_BIN));
    env.insert(u"DIR"_s, QFile::decodeName(folder));
    env.insert(u"OUT"_s, m_state->filePath(u"out"_s));
    env.insert(u"ERR"_s, m_state->filePath(u"err"_s));
    process.setProcessEnvironment(env);
    process.start(bash, {u"-c"_s, u"\"$BIN\" --apply --search a --replace b \"$DIR\" "_s +
                                      redirect + u"; echo \"${PIPESTATUS[0]}\""_s});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.readAllStandardOutput().trimmed(), QByteArray::number(exitCode));
    QCOMPARE(readFile(m_state->path("err")), QByteArray());

    // Every file was tried: all of a*.y moved, a*.x stayed.
    const QByteArrayList names = namesIn(folder);
    QCOMPARE(names.size(), withFailures ? 3 * Count : Count);
    const auto count = [&](char first, const char *last) {
        return int(std::count_if(names.cbegin(), names.cend(), [&](const QByteArray &name) {
            return name.startsWith(first) && name.endsWith(last);
        }));
    };
    QCOMPARE(count('b', ".y"), Count);
    QCOMPARE(count('a', ".x"), withFailures ? Count : 0);
    if (withFailures)
        QCOMPARE(readFile(m_state->path("out")).count('\n'), 2);
}

QTEST_GUILESS_MAIN(tst_CliSignals)
#include "tst_clisignals.moc"
