// SPDX-License-Identifier: GPL-3.0-or-later
#include "asnobody.h"
#include "disktree.h"
#include "files/filelist.h"
#include "intake/fileintake.h"
#include "loopmount.h"
#include "posix/nativemove.h"
#include "posix/textescape.h"
#include "records.h"
#include "rename/renamelog.h"
#include "rename/renamerun.h"
#include "rename/userdefaults.h"
#include "rules/namecomposer.h"
#include "rulesettings.h"
#include "scratchdir.h"
#include "scriptedprompt.h"

#include <QTest>

#include <algorithm>
#include <atomic>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;
using RenameRun::Outcome;
using L = QByteArrayList;
using S = QStringList;

namespace {

QStringList g_log; // the log lines of the current test

// Lists a file that holds its relative path, so that an overwrite or a lost
// file shows on disk; or one that is there already.
void listFile(FileList &list, const QByteArray &root, const QByteArray &relative, bool write = true)
{
    const QByteArray path = root + '/' + relative;
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path.toStdString()).parent_path(),
                                        error);
    if (write)
        writeFile(path, relative);
    auto file = recordOf(path);
    file->setAttributes(quint64(relative.size()), 1700000000000);
    list.append(std::move(file));
}

QByteArray numbered(int i)
{
    return "f" + QByteArray::number(i).rightJustified(4, '0') + ".txt";
}

QStringList names(const FileList &list)
{
    QStringList result;
    for (const auto &file : list.contentsArray())
        result << TextEscape::line(file->name());
    return result;
}

struct Scenario
{
    ScratchDir dir;
    FileList list;
    RenameRun::Report report;

    explicit Scenario(const QByteArrayList &files)
    {
        for (const QByteArray &relative : files)
            listFile(list, dir.path(), relative);
    }
    const ZQFile &file(qsizetype i) const { return *list.contentsArray()[size_t(i)]; }

    // Runs, then checks what every run must keep true: a moved record follows
    // its file, any other keeps its old path and name, and each failure has
    // its one log line.
    void run(const RenameRun::NameSource &source, const RenameRun::Progress &progress = {},
             bool uniqueNames = false)
    {
        QByteArrayList oldPaths;
        for (const auto &file : list.contentsArray())
            oldPaths << file->nativePath();
        report = RenameRun::clickStart(list, source, nullptr, nullptr, progress, nullptr, {},
                                       uniqueNames);
        QVERIFY(report.ran);
        QCOMPARE(report.entries.size(), oldPaths.size());
        qsizetype failures = 0;
        for (qsizetype i = 0; i < oldPaths.size(); ++i) {
            const RenameRun::Entry &entry = report.entries[i];
            QCOMPARE(entry.oldPath, oldPaths[i]);
            const bool moved = entry.outcome == Outcome::Renamed;
            QCOMPARE(file(i).nativePath(), moved ? entry.newPath : entry.oldPath);
            QCOMPARE(file(i).name(), moved ? entry.newName : RenameRun::oldNameText(entry));
            QVERIFY(list.containsPath(file(i).nativePath()));
            if (entry.outcome == Outcome::Failed) {
                QVERIFY(g_log.value(failures++)
                            .startsWith(TextEscape::line(u"Cannot rename “%1” to “%2”: "_s.arg(
                                TextEscape::path(entry.oldPath),
                                TextEscape::shortened(entry.newName)))));
            }
        }
        QCOMPARE(report.failed, failures);
        QCOMPARE(g_log.size(), failures);
    }

    // Numbered files: each still holds its content, under its new name or its
    // old one, and its record follows it.
    void checkNumbered(const std::function<bool(int)> &moved) const
    {
        for (int i = 0; i < int(list.count()); ++i) {
            QCOMPARE(file(i).nativeName(), moved(i) ? "r" + numbered(i) : numbered(i));
            QCOMPARE(file(i).name(), QString::fromUtf8(file(i).nativeName()));
            QVERIFY(list.containsPath(file(i).nativePath()));
            const QByteArray content = readFile(file(i).nativePath());
            QCOMPARE(content.mid(content.lastIndexOf('/') + 1), numbered(i));
        }
    }
};

// Numbered files, in blocks over `folders` folders when there is more than one.
QByteArrayList numberedFiles(int total, int folders = 1)
{
    QByteArrayList files;
    for (int i = 0; i < total; ++i) {
        const QByteArray folder =
            folders > 1 ? "d" + QByteArray::number(qint64(i) * folders / total) + '/' : "";
        files << folder + numbered(i);
    }
    return files;
}

// Files in one folder, each holding its own name, listed through the intake.
void makeFiles(const QByteArray &folder, const L &names, FileList &list)
{
    FileIntake intake(list);
    for (const QByteArray &name : names) {
        writeFile(folder + '/' + name, name);
        intake.insertFile(folder + '/' + name);
    }
}

RenameRun::NameSource fixedNames(const S &newNames)
{
    return [newNames](const ZQFile &, qint64 row) { return newNames.value(row); };
}

} // namespace

class tst_RenameRun : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { g_log.clear(); }
    void accessRoot_data();
    void accessRoot();
    void faults_data();
    void faults();
    void refusedNames_data();
    void refusedNames();
    void withoutPrivileges_data();
    void withoutPrivileges();
    void handOverAtBatchEdges_data();
    void handOverAtBatchEdges();
    void foldersMoveSideBySide_data();
    void foldersMoveSideBySide();
    void exceptionKeepsRecordsTrue_data();
    void exceptionKeepsRecordsTrue();
    void reportTexts();
    void nativeMoves_data();
    void nativeMoves();
    void grantFlow();
    void logLineStaysOneLine();
    void cancelInACycle();
    void replacedFolder();
};

void tst_RenameRun::initTestCase()
{
    RenameLog::setSink([](const QString &line) { g_log << line; });
}

void tst_RenameRun::accessRoot_data()
{
    QTest::addColumn<QByteArrayList>("paths");
    QTest::addColumn<QByteArray>("root");
    QTest::newRow("one file") << L{"/home/a/Docs/x.txt"} << QByteArray("/home/a/Docs");
    QTest::newRow("one file at the top") << L{"/x.txt"} << QByteArray("/");
    QTest::newRow("unrelated branches") << L{"/media/Disk/x", "/home/a/y"} << QByteArray("/");
    QTest::newRow("whole components only") << L{"/home/ab/x", "/home/a/y"} << QByteArray("/home");
    QTest::newRow("deeper file later") << L{"/d/x", "/d/e/f/y", "/d/e/z"} << QByteArray("/d");
    QTest::newRow("bad bytes differ") << L{"/d/caf\xe9/x", "/d/caf\xe8/y"} << QByteArray("/d");
    QTest::newRow("same bytes, longer name")
        << L{"/d/e/x", "/d/e/y", "/d/ef/z"} << QByteArray("/d");
    QTest::newRow("doubled slash, same components")
        << L{"/d/e/x", "/d//e/y", "/d/e//z"} << QByteArray("/d/e");
    QTest::newRow("a path that is the prefix") << L{"/d/e/x", "/d/e"} << QByteArray("/d/e");
    QTest::newRow("shrinks, then holds")
        << L{"/d/e/f/x", "/d/e/g/y", "/d/e/h", "/d/k"} << QByteArray("/d");
    QTest::newRow("relative and absolute") << L{"d/x", "/d/y"} << QByteArray();
}

void tst_RenameRun::accessRoot()
{
    QFETCH(QByteArrayList, paths);
    QFETCH(QByteArray, root);
    QCOMPARE(RenameRun::accessRoot(paths), root);
    FileList list;
    listPaths(list, paths);
    QCOMPARE(RenameRun::accessRoot(list), root);
}

// Around the listed files, "+x" puts an unlisted file x on disk, "-x" removes
// x. Descending: the names applied are those previewed, counted by row.
void tst_RenameRun::faults_data()
{
    QTest::addColumn<QByteArrayList>("listed");
    QTest::addColumn<QByteArrayList>("changes");
    QTest::addColumn<RenameSettings>("values");
    QTest::addColumn<bool>("descending");
    QTest::addColumn<L>("expectedDisk");
    QTest::addColumn<QString>("expectedNames");
    QTest::addColumn<QString>("errors");
    QTest::addColumn<int>("renamed");
    const auto row = [](const char *tag, const L &listed, const L &changes,
                        const QString &nameTemplate, const L &disk, const QString &names,
                        int renamed, const QString &errors = {}) {
        QTest::newRow(tag) << listed << changes << settings(nameTemplate) << false << disk << names
                           << errors << renamed;
    };
    const QString x = u"[N]_x"_s;
    const QString gone = u"No such file or directory"_s;
    row("listed file deleted", L{"a.txt", "b.txt"}, L{"-a.txt"}, x, L{"b_x.txt=b.txt"},
        u"a.txt b_x.txt"_s, 1, gone);
    row("folder deleted", L{"d1/a.txt", "d1/b.txt", "d2/c.txt"}, L{"-d1"}, x,
        L{"d2/", "d2/c_x.txt=d2/c.txt"}, u"a.txt b.txt c_x.txt"_s, 1,
        u"The folder cannot be opened: No such file or directory; "
        u"The folder cannot be opened: No such file or directory"_s);
    row("target exists, not listed", L{"a.txt", "b.txt"}, L{"+a_x.txt"}, x,
        L{"a.txt=a.txt", "a_x.txt=unlisted", "b_x.txt=b.txt"}, u"a.txt b_x.txt"_s, 1,
        u"“a_x.txt” is taken by a file that is not listed."_s);
    // A listed file moves away from the name first.
    row("target exists, listed", L{"a.txt", "a_x.txt"}, L(), x,
        L{"a_x.txt=a.txt", "a_x_x.txt=a_x.txt"}, u"a_x.txt a_x_x.txt"_s, 2);
    row("same new name", L{"a.txt", "b.txt", "c.txt"}, L(), u"same"_s,
        L{"b.txt=b.txt", "c.txt=c.txt", "same.txt=a.txt"}, u"same.txt b.txt c.txt"_s, 1,
        u"The same new name as row 1 (“a.txt”).; The same new name as row 1 (“a.txt”)."_s);
    row("not UTF-8, default templates", L{"caf\xe9.txt"}, L(), u"[N]"_s,
        L{"caf\xe9.txt=caf\xe9.txt"}, u"caf\\xe9.txt"_s, 0);
    row("not UTF-8, new template: both keep their bytes", L{"caf\xe9.txt", "caf\xef\xbf\xbd.txt"},
        L(), x, L{"caf\xe9_x.txt=caf\xe9.txt", "caf\xef\xbf\xbd_x.txt=caf\xef\xbf\xbd.txt"},
        u"caf\\xe9_x.txt caf\uFFFD_x.txt"_s, 2);
    row("not UTF-8 beside a decoy that holds U+FFFD", L{"caf\xe9.txt"}, L{"+caf\xef\xbf\xbd.txt"},
        u"[N]-x"_s, L{"caf\xe9-x.txt=caf\xe9.txt", "caf\xef\xbf\xbd.txt=unlisted"},
        u"caf\\xe9-x.txt"_s, 1);
    row("not UTF-8 onto a name that holds U+FFFD", L{"caf\xe9.txt"}, L{"+caf\xef\xbf\xbd-x.txt"},
        u"[N]-x"_s, L{"caf\xe9-x.txt=caf\xe9.txt", "caf\xef\xbf\xbd-x.txt=unlisted"},
        u"caf\\xe9-x.txt"_s, 1);
    QTest::newRow("case only") << L{"Photo.JPG"} << L() << settings(u"[N]"_s, u"jpg"_s) << false
                               << L{"Photo.jpg=Photo.JPG"} << u"Photo.jpg"_s << QString() << 1;
    QTest::newRow("descending") << L{"a.txt", "b.txt", "c.txt"} << L() << settings(u"[C]-[N]"_s)
                                << true << L{"1-c.txt=c.txt", "2-b.txt=b.txt", "3-a.txt=a.txt"}
                                << u"3-a.txt 2-b.txt 1-c.txt"_s << QString() << 3;
    // Names made unique, with the folders' names: every file once, under the
    // name the plan gave it; the unlisted file that holds a number stays as it
    // was, and "Home (2).pdf", listed and asking for "Home.pdf", keeps its number.
    RenameSettings unique = settings(u"[P]"_s);
    unique.uniqueNames = true;
    QTest::newRow("unique names")
        << L{"Trip/a.pdf",    "Trip/b.pdf", "Trip/c.pdf",       "Home/x.pdf",
             "Home/Home.pdf", "Home/y.txt", "Home/Home (2).pdf"}
        << L{"+Trip/Trip (2).pdf"} << unique << false
        << L{"Home/",
             "Home/Home (2).pdf=Home/Home (2).pdf",
             "Home/Home (3).pdf=Home/x.pdf",
             "Home/Home.pdf=Home/Home.pdf",
             "Home/Home.txt=Home/y.txt",
             "Trip/",
             "Trip/Trip (2).pdf=unlisted",
             "Trip/Trip (3).pdf=Trip/b.pdf",
             "Trip/Trip (4).pdf=Trip/c.pdf",
             "Trip/Trip.pdf=Trip/a.pdf"}
        << u"Trip.pdf Trip (3).pdf Trip (4).pdf Home (3).pdf Home.pdf Home.txt Home (2).pdf"_s
        << QString() << 5;

    // Chains and cycles by the counter (its start and step, the sort
    // direction): each file takes a name another one leaves.
    const auto counter = [](const char *tag, const L &listed, int start, int step, bool descending,
                            const L &disk, const QString &names) {
        QTest::newRow(tag) << listed << L() << settings(u"[C]"_s, u"[E]"_s, {}, {}, 0, start, step)
                           << descending << disk << names << QString() << int(listed.size());
    };
    const L three{"1.txt", "2.txt", "3.txt"};
    const L up{"2.txt=1.txt", "3.txt=2.txt", "4.txt=3.txt"};
    const L down{"2.txt=3.txt", "3.txt=2.txt", "4.txt=1.txt"};
    counter("shift up", three, 2, 1, false, up, u"2.txt 3.txt 4.txt"_s);
    counter("shift up, descending", three, 2, 1, true, down, u"4.txt 3.txt 2.txt"_s);
    counter("counting down", three, 4, -1, false, down, u"4.txt 3.txt 2.txt"_s);
    counter("counting down, descending", three, 4, -1, true, up, u"2.txt 3.txt 4.txt"_s);
    counter("shift down", three, 0, 1, false, L{"0.txt=1.txt", "1.txt=2.txt", "2.txt=3.txt"},
            u"0.txt 1.txt 2.txt"_s);
    counter("swap", L{"1.txt", "2.txt"}, 2, -1, false, L{"1.txt=2.txt", "2.txt=1.txt"},
            u"2.txt 1.txt"_s);
    counter("three-cycle", L{"2.txt", "3.txt", "1.txt"}, 1, 1, false,
            L{"1.txt=2.txt", "2.txt=3.txt", "3.txt=1.txt"}, u"1.txt 2.txt 3.txt"_s);
}

void tst_RenameRun::faults()
{
    QFETCH(QByteArrayList, listed);
    QFETCH(QByteArrayList, changes);
    QFETCH(RenameSettings, values);
    QFETCH(bool, descending);
    Scenario s(listed);
    for (const QByteArray &change : changes) {
        if (change.startsWith('+'))
            writeFile(s.dir.path(change.mid(1)), "unlisted");
        else
            std::filesystem::remove_all(s.dir.path(change.mid(1)).toStdString());
    }
    s.list.setSortDescending(descending);
    const NameComposer composer(values);
    s.run([&](const ZQFile &file, qint64 row) { return composer.newNameForFile(file, row); }, {},
          values.uniqueNames);

    QTEST(tree(s.dir.path()), "expectedDisk");
    QTEST(names(s.list).join(u' '), "expectedNames");
    QTEST(int(s.report.renamed), "renamed");
    QStringList errors;
    for (const RenameRun::Entry &entry : s.report.entries) {
        if (entry.outcome == Outcome::Failed)
            errors << entry.error;
    }
    QTEST(errors.join(u"; "_s), "errors");
}

// Each name goes to the first of two files; the second is still moved.
void tst_RenameRun::refusedNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("empty") << QString() << u"The new name is empty."_s;
    QTest::newRow("dot") << u"."_s << u"The new name “.” is not allowed."_s;
    QTest::newRow("dot dot") << u".."_s << u"The new name “..” is not allowed."_s;
    QTest::newRow("slash") << u"../x.txt"_s << u"The new name contains “/”."_s;
    QTest::newRow("NUL") << u"a\0b"_s << u"The new name contains a NUL character."_s;
    QTest::newRow("lone surrogate")
        << u"a"_s + QChar(0xd83d)
        << u"The new name holds half of a character (a lone surrogate)."_s;
    QTest::newRow("256 bytes") << QString(256, u'a') << u"The new name is longer than 255 bytes."_s;
    QTest::newRow("128 two-byte letters")
        << QString(128, u'é') << u"The new name is longer than 255 bytes."_s;
    QTest::newRow("255 bytes") << QString(255, u'a') << QString();
    QTest::newRow("three dots") << u"..."_s << QString();
    QTest::newRow("emoji pair") << u"😀.txt"_s << QString();
}

void tst_RenameRun::refusedNames()
{
    QFETCH(QString, name);
    QFETCH(QString, reason);
    Scenario s({"a.txt", "b.txt"});
    s.run([&](const ZQFile &, qint64 index) { return index == 0 ? name : u"b_x.txt"_s; });

    QCOMPARE(s.report.entries[0].error, reason);
    QCOMPARE(s.report.renamed, reason.isEmpty() ? 2 : 1);
    L expected{reason.isEmpty() ? name.toUtf8() + "=a.txt" : "a.txt=a.txt", "b_x.txt=b.txt"};
    std::sort(expected.begin(), expected.end());
    QCOMPARE(tree(s.dir.path()), expected);
    if (!reason.isEmpty())
        QVERIFY(g_log.value(0).endsWith(u": "_s + reason));
}

// Root ignores permissions, so the run happens in a child without them; it
// hands back each outcome, the names and the number of log lines. A folder
// without write permission keeps its files. In a sticky folder, by a user who
// owns two of the files, the move of the third in a three-cycle fails, and
// the two others go back to their names.
void tst_RenameRun::withoutPrivileges_data()
{
    QTest::addColumn<L>("files");
    QTest::addColumn<S>("newNames");
    QTest::addColumn<QByteArray>("outcomes");
    QTest::addColumn<L>("disk");
    const QByteArray locked = "The folder cannot be written: Permission denied;";
    QTest::newRow("folder without write permission")
        << L{"locked/a.txt", "open/b.txt", "locked/c.txt"}
        << S{u"a_x.txt"_s, u"b_x.txt"_s, u"c_x.txt"_s}
        << locked + "moved;" + locked + "a.txt;b_x.txt;c.txt;2"
        << L{"locked/", "locked/a.txt=locked/a.txt", "locked/c.txt=locked/c.txt", "open/",
             "open/b_x.txt=open/b.txt"};
    const QByteArray back = "Another file of its cycle of names could not be renamed, so it keeps "
                            "its old name.;";
    QTest::newRow("cycle in a sticky folder")
        << L{"sticky/a", "sticky/b", "sticky/c"} << S{u"b"_s, u"c"_s, u"a"_s}
        << back + back + "Operation not permitted;a;b;c;3"
        << L{"sticky/", "sticky/a=sticky/a", "sticky/b=sticky/b", "sticky/c=sticky/c"};
}

void tst_RenameRun::withoutPrivileges()
{
#ifdef __SANITIZE_THREAD__
    QSKIP("ThreadSanitizer cannot follow the run's threads into the forked child");
#endif
    QFETCH(L, files);
    QFETCH(S, newNames);
    Scenario s(files);
    for (const auto &[folder, mode] :
         {std::pair{"locked", 0555}, {"open", 0777}, {"sticky", 01777}})
        ::chmod(s.dir.path(folder).constData(), mode_t(mode)); // where the row has the folder
    if (files[0].startsWith("sticky/")) {
        if (geteuid() != 0)
            QSKIP("needs root, to give the files to another user");
        for (const char *mine : {"sticky/a", "sticky/b"})
            QVERIFY(chown(s.dir.path(mine).constData(), 65534, 65534) == 0);
    }
    const ChildResult child = runWithoutPrivileges([&] {
        const RenameRun::Report report =
            RenameRun::clickStart(s.list, fixedNames(newNames), nullptr, nullptr);
        QByteArray result;
        for (const RenameRun::Entry &entry : report.entries)
            result += (entry.outcome == Outcome::Failed ? entry.error : u"moved"_s).toUtf8() + ';';
        for (const auto &file : s.list.contentsArray())
            result += file->nativeName() + ';';
        return result + QByteArray::number(g_log.size());
    });
    QVERIFY(child.ok);
    QTEST(child.output, "outcomes");
    QTEST(tree(s.dir.path()), "disk");
}

// Names are worked out ahead of the moves and records written behind them, in
// batches of 64: every total and mix of outcomes must end with each record,
// count and log line right, and the progress on the caller's thread.
void tst_RenameRun::handOverAtBatchEdges_data()
{
    QTest::addColumn<int>("total");
    QTest::addColumn<QString>("mix");
    QTest::addColumn<int>("renamed");
    QTest::addColumn<int>("failed");
    QTest::addColumn<int>("unchanged");

    QTest::newRow("one, refused") << 1 << u"refused"_s << 0 << 1 << 0;
    QTest::newRow("63, mixed") << 63 << u"mixed"_s << 21 << 21 << 21;
    QTest::newRow("64, renamed") << 64 << u"rename"_s << 64 << 0 << 0;
    QTest::newRow("65, mixed") << 65 << u"mixed"_s << 21 << 22 << 22;
    QTest::newRow("130, unchanged") << 130 << u"unchanged"_s << 0 << 0 << 130;
    QTest::newRow("130, refused") << 130 << u"refused"_s << 0 << 130 << 0;
    QTest::newRow("3000, mixed") << 3000 << u"mixed"_s << 1000 << 1000 << 1000;
}

void tst_RenameRun::handOverAtBatchEdges()
{
    QFETCH(int, total);
    QFETCH(QString, mix);
    Scenario s(numberedFiles(total));
    writeFile(s.dir.path("taken.txt"), "unlisted");
    // mixed: every third name taken on disk, every third kept, the rest moved.
    const auto kind = [&mix](qint64 index) {
        return mix != u"mixed" ? mix : S{u"taken"_s, u"unchanged"_s, u"rename"_s}[index % 3];
    };
    QList<qsizetype> steps;
    const auto caller = std::this_thread::get_id();
    bool elsewhere = false;
    s.run(
        [&](const ZQFile &file, qint64 index) {
            const QString what = kind(index);
            if (what == u"unchanged")
                return file.name();
            if (what == u"refused")
                return QString();
            return what == u"taken" ? u"taken.txt"_s : u"r"_s + file.name();
        },
        [&](qsizetype done, qsizetype all) {
            elsewhere |= std::this_thread::get_id() != caller || all != total;
            steps << done;
        });

    QVERIFY(!elsewhere);
    QVERIFY(!steps.isEmpty());
    QCOMPARE(steps.last(), total);
    QVERIFY(std::is_sorted(steps.begin(), steps.end()));
    QTEST(int(s.report.renamed), "renamed");
    QTEST(int(s.report.failed), "failed");
    QTEST(int(s.report.unchanged), "unchanged");
    QCOMPARE(tree(s.dir.path()).size(), total + 1);
    QCOMPARE(readFile(s.dir.path("taken.txt")), QByteArray("unlisted"));
    s.checkNumbered([&](int i) { return kind(i) == u"rename"; });
}

// Paths that reach one folder share its lane, so that its moves keep their
// order; a folder seen first goes to the lane with the fewest moves. The tree
// holds the folders a, b, c and a link to a.
// Each folder holds 1.txt to 100.txt and each file is to take the next
// number: a chain per folder, which runs from its free end. A link to folder
// a lists a 101.txt that does not exist: a's last file waits for its move,
// which fails, and then takes the name, free after all.
void tst_RenameRun::foldersMoveSideBySide_data()
{
    QTest::addColumn<int>("linkAfter"); // folders listed before the link's record
    QTest::newRow("right after its folder") << 1;
    QTest::newRow("last") << 4;
}

void tst_RenameRun::foldersMoveSideBySide()
{
    QFETCH(int, linkAfter);
    constexpr int perFolder = 100;
    Scenario s({});
    L expected;
    const QByteArrayList folders{"a", "b", "c", "d"};
    for (qsizetype f = 0; f < folders.size(); ++f) {
        expected << folders[f] + '/';
        for (int k = 1; k <= perFolder; ++k) {
            const QByteArray relative = folders[f] + '/' + QByteArray::number(k) + ".txt";
            listFile(s.list, s.dir.path(), relative);
            expected << folders[f] + '/' + QByteArray::number(k + 1) + ".txt=" + relative;
        }
        if (f + 1 == linkAfter) {
            QCOMPARE(symlink("a", s.dir.path("link").constData()), 0);
            listFile(s.list, s.dir.path(), "link/101.txt", false);
        }
    }
    s.run([](const ZQFile &file, qint64) {
        return QString::number(file.name().chopped(4).toInt() + 1) + u".txt"_s;
    });

    QCOMPARE(::unlink(s.dir.path("link").constData()), 0); // a's files are listed once
    std::sort(expected.begin(), expected.end());
    QCOMPARE(tree(s.dir.path()), expected);
    QCOMPARE(s.list.count(), folders.size() * perFolder + 1);
    QCOMPARE(s.report.renamed, folders.size() * perFolder);
    QCOMPARE(s.report.failed, 1);
    QCOMPARE(s.report.entries[linkAfter * perFolder].error, u"No such file or directory"_s);
}

// An exception from a name ends the run and reaches the caller; so does one
// from the progress, while the mover is ahead. Either way what was moved
// stays moved, a run from the start, with its records following it.
void tst_RenameRun::exceptionKeepsRecordsTrue_data()
{
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("throwingName");
    QTest::addColumn<int>("minMoved");
    QTest::addColumn<int>("maxMoved");
    QTest::addColumn<int>("folders");
    QTest::newRow("from a name") << 200 << 100 << 0 << 100 << 1;
    QTest::newRow("from a name, four folders") << 200 << 100 << 0 << 100 << 4;
    // The first progress call comes after 1024 records.
    QTest::newRow("from the progress") << 3000 << -1 << 1024 << 3000 << 1;
    QTest::newRow("from the progress, three folders") << 3000 << -1 << 1024 << 3000 << 3;
}

void tst_RenameRun::exceptionKeepsRecordsTrue()
{
    QFETCH(int, total);
    QFETCH(int, throwingName);
    QFETCH(int, minMoved);
    QFETCH(int, maxMoved);
    QFETCH(int, folders);
    Scenario s(numberedFiles(total, folders));
    const auto source = [&](const ZQFile &file, qint64 index) {
        if (index == throwingName)
            throw std::runtime_error("no name");
        return u"r"_s + file.name();
    };
    const auto progress = [&](qsizetype, qsizetype) {
        if (throwingName < 0)
            throw std::runtime_error("stop");
    };
    QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                             RenameRun::clickStart(s.list, source, nullptr, nullptr, progress));

    QCOMPARE(tree(s.dir.path()).size(), total + (folders > 1 ? folders : 0));
    int moved = 0;
    bool movingHere = true;
    for (int i = 0; i < total; ++i) {
        const bool isMoved = s.file(i).nativeName().startsWith('r');
        if (i > 0 && s.file(i).nativeFolder() != s.file(i - 1).nativeFolder())
            movingHere = true;
        QVERIFY2(!isMoved || movingHere, numbered(i).constData());
        movingHere = isMoved;
        moved += isMoved ? 1 : 0;
    }
    s.checkNumbered([&](int i) { return s.file(i).nativeName().startsWith('r'); });
    QVERIFY(moved >= minMoved && moved <= maxMoved);
}

// Five failures are named; the rest are left to the details, which hold all.
void tst_RenameRun::reportTexts()
{
    RenameRun::Report report;
    QCOMPARE(report.message(), u"No files renamed successfully."_s);
    QCOMPARE(report.informativeText(), QString());
    for (int i = 1; i <= 7; ++i) {
        report.entries << RenameRun::Entry{"/d/" + QByteArray::number(i) + ".txt",
                                           {},
                                           QString::number(i + 1) + u".txt"_s,
                                           u"File exists"_s,
                                           -1,
                                           Outcome::Failed};
    }
    report.renamed = 1;
    report.failed = 7;
    QCOMPARE(report.message(), u"1 file renamed successfully."_s);
    QCOMPARE(report.informativeText(), u"7 files could not be renamed:\n"
                                       u"“1.txt” to “2.txt”: File exists\n"
                                       u"“2.txt” to “3.txt”: File exists\n"
                                       u"“3.txt” to “4.txt”: File exists\n"
                                       u"“4.txt” to “5.txt”: File exists\n"
                                       u"“5.txt” to “6.txt”: File exists\n"
                                       u"and 2 more (see the details)."_s);
    const QStringList details = report.detailedText().split(u'\n');
    QCOMPARE(details.size(), 7);
    QCOMPARE(details.last(), u"Cannot rename “/d/7.txt” to “8.txt”: File exists"_s);
}

// The moves underneath the run, each moving "a"; none may replace or copy.
// "b@a" is a hard link to a: one file under two names, as a case-only change
// looks on a case-insensitive volume; "d->t" a link holding t; "e=" an empty
// file. Plain moves also on each real volume: ext4 (or whatever holds the
// temporary folder), exFAT through FUSE (no rename flags, no hard links,
// case-insensitive) and NTFS through ntfs-3g (no rename flags, case-sensitive).
void tst_RenameRun::nativeMoves_data()
{
    QTest::addColumn<QString>("volume");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QByteArrayList>("files");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QString>("error"); // "*": any, the volume's own reason
    QTest::addColumn<QString>("expectedDisk");
    const auto row = [](const QByteArray &tag, const QString &how, const L &files,
                        const QByteArray &to, const QString &expectedDisk,
                        const QString &error = {}, const QString &volume = u"local"_s) {
        QTest::newRow(tag.constData()) << volume << how << files << to << error << expectedDisk;
    };
    const QString exists = u"File exists"_s;
    const L ab{"a", "b"};
    row("renameFile, free", u"renameFile"_s, ab, "c", u"b=b c=a"_s);
    row("renameFile, taken", u"renameFile"_s, ab, "b", u"a=a b=b"_s, exists);
    row("renameFile, same file", u"renameFile"_s, L{"a", "b@a"}, "b", u"a=a b=a"_s, exists);
    row("link, free", u"link"_s, ab, "c", u"b=b c=a"_s);
    row("link, taken", u"link"_s, ab, "b", u"a=a b=b"_s, exists);
    // Goes to a temporary name and back, as A is taken.
    row("temporary, case only", u"temporary"_s, L{"a"}, "A", u"A=a"_s);
    // Two links of one file on a case-sensitive folder are two names: no
    // temporary name, no lost name.
    row("moveAt, links in two cases", u"moveAt"_s, L{"a", "A@a"}, "A", u"A=a a=a"_s, exists);
    row("placeholder, free", u"placeholder"_s, L{"a"}, "b", u"b=a"_s);
    row("placeholder, gone", u"placeholder"_s, L{}, "b", QString(), u"No such file or directory"_s);
    row("placeholder, taken", u"placeholder"_s, ab, "b", u"a=a b=b"_s, exists);
    row("placeholder, an empty file", u"placeholder"_s, L{"a", "e="}, "e", u"a=a e="_s, exists);
    row("placeholder, a dangling link", u"placeholder"_s, L{"a", "d->nowhere"}, "d", u"a=a d="_s,
        exists);
    for (const QString &volume : {u"local"_s, u"exfat"_s, u"ntfs"_s}) {
        const QByteArray v = volume.toUtf8() + ": ";
        const QString moveAt = u"moveAt"_s;
        const bool exfat = volume == u"exfat";
        row(v + "free name", moveAt, L{"a"}, "b", u"b=a"_s, {}, volume);
        row(v + "taken name", moveAt, ab, "b", u"a=a b=b"_s, exists, volume);
        row(v + "case only", moveAt, L{"a"}, "A", u"A=a"_s, {}, volume);
        row(v + "taken in another case", moveAt, ab, "B", exfat ? u"a=a b=b"_s : u"B=a b=b"_s,
            exfat ? exists : QString(), volume);
        row(v + "non-ASCII", moveAt, L{"a"}, "Ärger ß 日本.txt"_ba, u"Ärger ß 日本.txt=a"_s, {},
            volume);
    }
    // Names exFAT cannot hold fail with the volume's reason, and leave no
    // placeholder behind (ntfs-3g holds them unless mounted with windows_names).
    for (const QByteArray &bad :
         {"a:b"_ba, "a?"_ba, "a*b"_ba, "a\"b"_ba, "a<b>"_ba, "a|b"_ba, "a\\b"_ba})
        row("exfat: cannot hold " + bad, u"moveAt"_s, L{"a"}, bad, u"a=a"_s, u"*"_s, u"exfat"_s);
}

void tst_RenameRun::nativeMoves()
{
    QFETCH(QString, volume);
    QFETCH(QString, how);
    QFETCH(QByteArrayList, files);
    QFETCH(QByteArray, to);
    QFETCH(QString, error);
    QFETCH(QString, expectedDisk);
    ScratchDir local;
    std::unique_ptr<LoopMount> mount;
    QByteArray folder = local.path();
    if (volume != u"local") {
        mount = std::make_unique<LoopMount>(volume);
        if (!mount->isValid())
            QSKIP(qPrintable(mount->whyNot()));
        folder = mount->path();
    }
    for (const QByteArray &file : files) {
        const QByteArrayList link = file.split('@');
        if (link.size() == 2)
            QVERIFY(::link((folder + '/' + link[1]).constData(),
                           (folder + '/' + link[0]).constData()) == 0);
        else if (file.contains("->"))
            QVERIFY(::symlink(file.mid(file.indexOf('>') + 1).constData(),
                              (folder + '/' + file.left(1)).constData()) == 0);
        else
            writeFile(folder + '/' + file.split('=').first(), file.contains('=') ? "" : file);
    }
    QString result;
    QByteArray stranded;
    if (how == u"renameFile") {
        QCOMPARE(RenameRun::renameFile(folder + "/a", folder + '/' + to, &result), error.isEmpty());
    } else {
        const int fd = open(folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        QVERIFY(fd >= 0);
        const int rc = how == u"link"     ? NativeMove::linkMove(fd, "a", fd, to)
                       : how == u"moveAt" ? NativeMove::moveAt(fd, "a", fd, to, &stranded)
                       : how == u"placeholder"
                           ? NativeMove::placeholderMove(fd, "a", fd, to)
                           : NativeMove::moveThroughTemporaryName(fd, "a", to, &stranded);
        // By its exact spelling: "B" is no entry where "b" is, even where
        // case is ignored.
        QCOMPARE(NativeMove::hasExactEntry(fd, to),
                 (u' ' + expectedDisk).contains(u' ' + QString::fromUtf8(to) + u'=') ? 1 : 0);
        close(fd);
        result = rc ? NativeMove::reason(rc) : QString();
    }
    if (error == u"*")
        QVERIFY2(!result.isEmpty(), "a name the volume cannot hold was accepted");
    else
        QCOMPARE(result, error);
    QVERIFY(stranded.isEmpty());
    QCOMPARE(folderEntries(folder), expectedDisk);
    if (!error.isEmpty() && how == u"renameFile") {
        QCOMPARE(g_log, S{u"Cannot rename “%1/a” to “%2”: %3"_s.arg(QString::fromUtf8(folder),
                                                                    QString::fromUtf8(to), error)});
    }
}

// The run asks for a grant only when the stored one does not cover the folder
// (now); declining moves nothing.
void tst_RenameRun::grantFlow()
{
    Scenario s({});
    ScratchDir home;
    UserDefaults defaults(home.filePath(u"defaults.conf"_s));
    ScriptedPrompt prompt;
    const NameComposer composer(settings(u"[N]_x"_s));
    QVERIFY(!RenameRun::clickStart(s.list, composer, &prompt, &defaults).ran);
    QVERIFY(prompt.proposed.isEmpty());

    listFile(s.list, s.dir.path(), "Docs/a.txt");
    const RenameRun::Report declined = RenameRun::clickStart(s.list, composer, &prompt, &defaults);
    QVERIFY(!declined.ran);
    QVERIFY(declined.entries.isEmpty());
    QCOMPARE(prompt.alerts.size(), 1);
    QCOMPARE(tree(s.dir.path()), L({"Docs/", "Docs/a.txt=Docs/a.txt"}));

    // Granted once, then reused: the script would cancel another panel.
    prompt.answers = {s.dir.path("Docs"), s.dir.path("Docs")};
    QVERIFY(RenameRun::clickStart(s.list, composer, &prompt, &defaults).ran);
    QVERIFY(RenameRun::clickStart(s.list, composer, &prompt, &defaults).ran);
    QCOMPARE(names(s.list), S{u"a_x_x.txt"_s});
    QCOMPARE(prompt.proposed.size(), 2);
}

// A name can carry what would forge a second line in the log; the escapes
// themselves are TextEscape's cases.
void tst_RenameRun::logLineStaysOneLine()
{
    RenameLog::write(u"a\rb\nc"_s);
    QCOMPARE(g_log, QStringList{u"a\\x0db\\x0ac"_s});
}

// Each of 3000 files takes the next one's name and the last the first's: one
// cycle. Cancelled while it runs, every file is back under its own name and
// no temporary name is left.
void tst_RenameRun::cancelInACycle()
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
void tst_RenameRun::replacedFolder()
{
    ScratchDir dir;
    makeTree(dir.path(), {"tree/", "tree/zz/", "victim/", "victim/a=victim"});
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

QTEST_GUILESS_MAIN(tst_RenameRun)
#include "tst_renamerun.moc"
