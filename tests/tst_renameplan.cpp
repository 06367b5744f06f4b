// SPDX-License-Identifier: GPL-3.0-or-later
#include "disktree.h"
#include "loopmount.h"
#include "plan/folderfacts.h"
#include "plan/namerules.h"
#include "plan/nametable.h"
#include "plan/renameplan.h"
#include "plannedfolders.h"
#include "records.h"
#include "scratchdir.h"

#include <QTest>

#include <string>
#include <string_view>

using namespace Qt::StringLiterals;
using S = QStringList;

namespace {

// "a|b|c" as {"a", "b", "c"}; "" as no names.
S split(QStringView joined)
{
    return joined.isEmpty() ? S{} : joined.toString().split(u'|');
}

// The plan of one folder /d holding the listed and the unlisted names. A
// listed name with a dot whose stem (up to its first dot) is that of one
// before it is that one's companion.
RenamePlan planOf(const S &listed, const S &newNames, const S &unlisted, bool caseless,
                  const QString &fileSystem, const QString &notWritable, bool unique)
{
    std::vector<RenamePlan::File> files;
    for (const QString &name : listed) {
        const qsizetype stem = name.indexOf(u'.');
        qint64 lead = -1;
        for (size_t i = 0; stem > 0 && lead < 0 && i < files.size(); ++i) {
            if (files[i].lead < 0 && files[i].rule.name.startsWith(name.first(stem + 1)))
                lead = qint64(i);
        }
        files.push_back(
            {"/d/" + name.toUtf8(), RuleFile{name, 0, {}}, -1, lead, lead < 0 ? 0 : stem});
    }
    return planOfOneFolder(files, newNames,
                           factsWith(listed + unlisted, caseless, fileSystem, notWritable), unique);
}

// Each row's new name where it moves ("scan (2).pdf", "b after 2" where it
// waits for row 2), else as planOutcome() has it.
QStringList numbered(const RenamePlan &plan)
{
    QStringList result = planOutcome(plan);
    for (qsizetype i = 0; i < result.size(); ++i) {
        if (result[i].startsWith(u"move"_s))
            result[i].replace(0, 4, plan.row(i).newName);
    }
    return result;
}

} // namespace

class tst_RenamePlan : public QObject
{
    Q_OBJECT

private slots:
    void plan_data();
    void plan();
    void windowsNames_data();
    void windowsNames();
    void foldersThroughLinks();
    void factsOfRealVolumes();
    void nameLookups_data();
    void nameLookups();
    void factsReadAhead();
    void largeFolder();
    void largeListInputs();
    void namesFromPaths_data();
    void namesFromPaths();
};

// One folder /d: the listed files (a path given twice lists one file twice),
// their new names, each row's outcome, and what else the folder holds. With
// names made unique, each row's final name where it moves.
void tst_RenamePlan::plan_data()
{
    QTest::addColumn<S>("listed");
    QTest::addColumn<S>("newNames");
    QTest::addColumn<S>("expected");
    QTest::addColumn<S>("unlisted");
    QTest::addColumn<bool>("caseless");
    QTest::addColumn<QString>("fileSystem");
    QTest::addColumn<QString>("notWritable");
    QTest::addColumn<bool>("unique");
    // Names of a row joined by "|"; from the second group on, made unique.
    bool unique = false;
    const auto row = [&unique](const char *tag, QStringView listed, QStringView newNames,
                               QStringView expected, QStringView unlisted = {},
                               bool caseless = false, const QString &fs = {},
                               const QString &notWritable = {}) {
        QTest::newRow(tag) << split(listed) << split(newNames) << split(expected) << split(unlisted)
                           << caseless << fs << notWritable << unique;
    };
    const QString takenByB =
        u"conflict: The new name is taken by row 2 (“b”), which is not renamed."_s;
    row("unchanged and free", u"a|b", u"a|c", u"unchanged|move");
    row("chain", u"1|2|3", u"2|3|4", u"move after 2|move after 3|move");
    row("swap", u"a|b", u"b|a", u"move after 2|move after 1");
    row("three-cycle", u"a|b|c", u"b|c|a", u"move after 2|move after 3|move after 1");
    row("two to one name", u"a|b|c", u"x|x|y",
        u"move|conflict: The same new name as row 1 (“a”).|move");
    row("taken by an unlisted file", u"a", u"x",
        u"conflict: “x” is taken by a file that is not listed.", u"x");
    row("taken by a listed file that stays", u"a|b", u"b|b", takenByB + u"|unchanged"_s);
    // b cannot move, so a cannot take its name either.
    row("blocked chain", u"a|b", u"b|c",
        takenByB + u"|conflict: “c” is taken by a file that is not listed."_s, u"c");
    row("refused name blocks a chain", u"a|b", u"b|",
        takenByB + u"|refused: The new name is empty."_s);
    row("case apart", u"a|b", u"X|x", u"move|move", u"Y");
    row("caseless: case only", u"a|b", u"X|x",
        u"move|conflict: The new name differs only in case from that of row 1 (“a”), and this "
        u"folder does not tell case apart.",
        {}, true);
    row("caseless: unlisted in another case", u"a", u"readme",
        u"conflict: “README” is taken by a file that is not listed.", u"README", true);
    row("caseless: own case change", u"photo.jpg", u"Photo.JPG", u"move", {}, true);
    row("caseless: chain through case", u"a|B", u"b|c", u"move after 2|move", {}, true);
    row("canonically equivalent", u"a|b", u"caf\u00e9|cafe\u0301",
        u"move|conflict: The new name looks the same as that of row 1 (“a”) (the two are "
        u"canonically equivalent).");
    row("one file listed twice", u"a|a", u"x|y",
        u"move|conflict: The same file as row 1 (“a”), listed twice.");
    row("not writable", u"a|b", u"x|b",
        u"conflict: The folder is on a read-only file system.|unchanged", {}, false, {},
        u"The folder is on a read-only file system."_s);
    row("exfat: reserved name", u"a|b", u"con.txt|con_.txt",
        u"conflict: “CON” is a reserved name on a exfat folder.|move", {}, true, u"exfat"_s);

    unique = true;
    row("ten files named scan", u"0|1|2|3|4|5|6|7|8|9", u"scan.pdf|"_s.repeated(10).chopped(1),
        u"scan.pdf|scan (2).pdf|scan (3).pdf|scan (4).pdf|scan (5).pdf|scan (6).pdf|"
        u"scan (7).pdf|scan (8).pdf|scan (9).pdf|scan (10).pdf");
    row("the first too, where an unlisted file has the name", u"a.pdf|b.pdf", u"scan.pdf|scan.pdf",
        u"scan (2).pdf|scan (3).pdf", u"scan.pdf");
    row("a listed file that stays keeps its name", u"a|b", u"b|b", u"b (2)|unchanged");
    row("a name freed by a move is not taken", u"1|2|3", u"2|3|4", u"2 after 2|3 after 3|4");
    row("run twice, nothing moves", u"scan.pdf|scan (2).pdf|scan (3).pdf",
        u"scan.pdf|scan.pdf|scan.pdf", u"unchanged|unchanged|unchanged");
    row("a name asked for beats a number", u"a.pdf|b.pdf|c.pdf", u"scan.pdf|scan.pdf|scan (2).pdf",
        u"scan.pdf|scan (3).pdf|scan (2).pdf");
    row("caseless: numbers taken in another case", u"a.pdf|b.pdf", u"scan.pdf|Scan.PDF",
        u"scan (3).pdf|Scan (4).PDF", u"SCAN.PDF|Scan (2).pdf", true);
    row("no extension, hidden, two dots", u"a|b|c|d|e|f",
        u"notes|notes|.profile|.profile|x.tar.gz|x.tar.gz",
        u"notes|notes (2)|.profile|.profile (2)|x.tar.gz|x.tar (2).gz");
    row("bytes that are not UTF-8", u"a|b", u"caf\xdce9.txt|caf\xdce9.txt",
        u"caf\xdce9.txt|caf\xdce9 (2).txt");
    // Companions keep one stem: the whole group takes the first number free
    // for all of it, numbered where the lead is.
    row("companions take one number", u"IMG_1.CR3|IMG_1.JPG|IMG_1.CR3.xmp|IMG_2.CR3|IMG_2.JPG",
        u"T.CR3|T.JPG|T.CR3.xmp|T.CR3|T.JPG",
        u"T (2).CR3|T (2).JPG|T (2).CR3.xmp|T (4).CR3|T (4).JPG", u"T.JPG|T (3).JPG");
    row("companions run twice, nothing moves", u"T (2).CR3|T (2).JPG|T (2).CR3.xmp",
        u"T.CR3|T.JPG|T.CR3.xmp", u"unchanged|unchanged|unchanged", u"T.JPG");
    const QString long252 = QString(248, u'x') + u".txt"_s;
    row("the number makes the name too long", u"a|b", long252 + u'|' + long252,
        long252 + u"|refused: The new name is longer than 255 bytes."_s);
}

void tst_RenamePlan::plan()
{
    QFETCH(S, listed);
    QFETCH(S, newNames);
    QFETCH(S, unlisted);
    QFETCH(bool, caseless);
    QFETCH(QString, fileSystem);
    QFETCH(QString, notWritable);
    QFETCH(bool, unique);
    const RenamePlan plan =
        planOf(listed, newNames, unlisted, caseless, fileSystem, notWritable, unique);
    QTEST(unique ? numbered(plan) : planOutcome(plan), "expected");
}

// The names a Windows file system cannot hold, each on its own, and names
// close to them that it holds.
void tst_RenamePlan::windowsNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("holds");
    for (const char *refused :
         {"CON", "PRN", "AUX", "NUL", "COM1", "COM9", "LPT1", "LPT9", "con.txt", "Nul.tar.gz",
          "lpt5.x", "trailing dot.", "trailing space "})
        QTest::newRow(refused) << QString::fromLatin1(refused) << false;
    for (const char16_t c : u"<>:\"\\|?*\u0001\u001f")
        if (c)
            QTest::newRow(qPrintable(u"character U+%1"_s.arg(int(c), 4, 16, QChar(u'0'))))
                << u"a"_s + QChar(c) + u"b"_s << false;
    QTest::newRow("256 UTF-16 units") << QString(256, u'é') << false;
    QTest::newRow("255 UTF-16 units") << QString(255, u'é') << true;
    for (const char *held : {"COM10", "CONSOLE.txt", "COM0", ".hidden", "Photo 2024-05-01 (1).jpg"})
        QTest::newRow(held) << QString::fromLatin1(held) << true;
}

void tst_RenamePlan::windowsNames()
{
    QFETCH(QString, name);
    QTEST(NameRules::windowsReason(name, u"exfat"_s).isEmpty(), "holds");
}

// Two spellings of one folder (a link to it) are one folder: a chain through
// both is seen, and one file listed through both is marked.
void tst_RenamePlan::foldersThroughLinks()
{
    ScratchDir dir;
    makeTree(dir.path(), {"real/", "real/1=1", "real/2=2"});
    QVERIFY(symlink("real", dir.path("link").constData()) == 0);
    const std::vector<RenamePlan::File> files{{dir.path("real/1"), {u"1"_s, 0, {}}},
                                              {dir.path("link/2"), {u"2"_s, 0, {}}},
                                              {dir.path("link/1"), {u"1"_s, 0, {}}}};
    const RenamePlan plan = RenamePlan::make(
        files, [](const RuleFile &file, qint64) { return QString::number(file.name.toInt() + 1); });
    QCOMPARE(planOutcome(plan), S({u"move after 2"_s, u"move"_s,
                                   u"conflict: The same file as row 1 (“1”), listed twice."_s}));
    QCOMPARE(plan.groupCount(), 1);
    QCOMPARE(plan.problems(), 1);
    QCOMPARE(plan.firstProblem(), 2);
}

// What the facts say of real folders: the temporary folder, and exFAT and
// NTFS volumes where they can be mounted. ntfs-3g on an image file shows as
// plain "fuse" in the mount table, with the image as its source: still NTFS.
void tst_RenamePlan::factsOfRealVolumes()
{
    ScratchDir local;
    writeFile(local.path("Name"), "x");
    FolderFacts facts = FolderFactsReader::read(local.path(), true);
    QVERIFY(facts.opened);
    QVERIFY(!facts.caseInsensitive);
    QVERIFY(!facts.windowsNames);
    QVERIFY(facts.hasName("Name"_ba));
    QVERIFY(!facts.hasName("name"_ba));

    for (const auto &[type, onImageFile] :
         {std::pair(u"exfat"_s, false), std::pair(u"ntfs"_s, false), std::pair(u"ntfs"_s, true)}) {
        LoopMount mount(type, onImageFile);
        if (!mount.isValid())
            QSKIP(qPrintable(mount.whyNot()));
        writeFile(mount.path("Name"), "x");
        facts = FolderFactsReader::read(mount.path(), true);
        QCOMPARE(facts.fileSystem, type);
        QVERIFY(facts.windowsNames);
        // ntfs-3g tells case apart unless mounted otherwise.
        QCOMPARE(facts.caseInsensitive, type == u"exfat");
        QVERIFY(facts.notWritable.isEmpty());
        QVERIFY(facts.hasName("Name"_ba));
    }
}

// Names stored in turn, then looked up by their bytes: the place of the first
// one stored that equals the name looked up, or -1. Both the table of a plan
// (holding rows 10, 20, 30, ...; a name stored twice keeps its first row) and
// the facts of a folder (holding each name's index) find them. With
// libstdc++'s hash, f5, f13, f20 and f28 all start at the last of the 16
// slots of a small table, so the later ones wrap around to its start.
void tst_RenamePlan::nameLookups_data()
{
    QTest::addColumn<S>("names");
    QTest::addColumn<S>("lookups");
    QTest::addColumn<QList<qint64>>("found");
    QTest::newRow("none") << S{} << split(u"a|") << QList<qint64>{-1, -1};
    QTest::newRow("wrap around the end")
        << split(u"f5|f13|f20") << split(u"f20|f13|f5|f28|f6") << QList<qint64>{2, 1, 0, -1, -1};
    QTest::newRow("several names") << split(u"f5|f13|f20|f28|a") << split(u"f28|f20|f13|f5|f6|a|A")
                                   << QList<qint64>{3, 2, 1, 0, -1, 4, -1};
    QTest::newRow("a name stored twice keeps its first place")
        << split(u"f5|f13|f5") << split(u"f5|f13") << QList<qint64>{0, 1};
    QTest::newRow("empty name") << split(u"|a") << split(u"|a|b") << QList<qint64>{0, 1, -1};
    QTest::newRow("prefixes and lengths")
        << split(u"IMG_0001.jpg|IMG_0001.jpg.xmp|IMG_0001|"_s + QString(255, u'x'))
        << split(u"IMG_0001|IMG_0001.jpg|IMG_0001.jp|IMG_0001.jpg.xmp|"_s + QString(255, u'x') +
                 u'|' + QString(254, u'x'))
        << QList<qint64>{2, 0, -1, 1, 3, -1};
    QTest::newRow("composed and decomposed forms apart")
        << split(u"caf\u00e9|cafe\u0301") << split(u"cafe\u0301|caf\u00e9|cafe")
        << QList<qint64>{1, 0, -1};
}

void tst_RenamePlan::nameLookups()
{
    QFETCH(S, names);
    QFETCH(S, lookups);
    QFETCH(QList<qint64>, found);
    std::vector<std::string> bytes;
    std::vector<qint64> rows;
    for (const QString &name : names) {
        bytes.push_back(name.toStdString());
        rows.push_back(10 * qint64(bytes.size()));
    }
    std::vector<std::string_view> views(bytes.begin(), bytes.end());
    NameTable table([&views](size_t k) { return views[k]; }, rows);
    for (qsizetype k = 0; k < names.size(); ++k) {
        const qsizetype first = names.indexOf(names[k]);
        QVERIFY(table.tryEmplace(size_t(k)) == std::make_pair(10 * (first + 1), first == k));
    }
    const FolderFacts facts = factsWith(names, false);
    for (qsizetype i = 0; i < lookups.size(); ++i) {
        const QByteArray name = lookups[i].toUtf8();
        QCOMPARE(facts.indexOf(std::string_view(name.constData(), size_t(name.size()))), found[i]);
        QCOMPARE(facts.hasName(name), found[i] >= 0);
        QCOMPARE(table.value(name.toStdString()), found[i] < 0 ? -1 : 10 * (found[i] + 1));
    }

    // Emptied, the table finds nothing, and takes every name again.
    table.clear();
    for (const QString &name : lookups)
        QCOMPARE(table.value(name.toStdString()), -1);
    if (!views.empty()) {
        QVERIFY(table.tryEmplace(0) == std::make_pair(qint64(10), true));
        QCOMPARE(table.value(views[0]), 10);
    }
}

// Facts read ahead stand in for the folder's own where they hold what the
// plan needs: names read ahead (here one, "c", that is not on disk) are the
// ones new names are checked against; facts without names, where names are
// needed, are read again from the disk.
void tst_RenamePlan::factsReadAhead()
{
    ScratchDir dir;
    writeFile(dir.path("a"), "a");
    writeFile(dir.path("b"), "b");
    const std::vector<RenamePlan::File> owned{{dir.path("a"), u"a"_s}, {dir.path("b"), u"b"_s}};
    const std::vector<RenamePlan::Listed> files = RenamePlan::listedOf(owned);
    const std::vector<QString> newNames{u"c"_s, u"b"_s};

    RenamePlan::ReadAhead ahead;
    ahead.emplace(dir.path(), factsWith(S{u"a"_s, u"b"_s, u"c"_s}, false));
    RenamePlan plan = RenamePlan::fromNames(files, newNames, false, false, &ahead);
    QCOMPARE(planOutcome(plan),
             S({u"conflict: “c” is taken by a file that is not listed."_s, u"unchanged"_s}));
    QVERIFY(ahead.empty());

    FolderFacts withoutNames = factsWith(S{u"a"_s, u"b"_s, u"c"_s}, false);
    withoutNames.releaseNames();
    withoutNames.namesRead = false;
    ahead.emplace(dir.path(), std::move(withoutNames));
    plan = RenamePlan::fromNames(files, newNames, false, false, &ahead);
    QCOMPARE(planOutcome(plan), S({u"move"_s, u"unchanged"_s}));
    QCOMPARE(ahead.size(), size_t(1));

    // A folder spelt otherwise is another folder.
    ahead.clear();
    ahead.emplace(dir.path() + '/', factsWith(S{u"c"_s}, false));
    plan = RenamePlan::fromNames(files, newNames, false, false, &ahead);
    QCOMPARE(planOutcome(plan), S({u"move"_s, u"unchanged"_s}));
}

// A folder of 30,000 files, which the plan works through on two threads: a
// new name that a file not listed holds, one that a moving file frees and
// one that a file which stays holds; the other 29,997 new names are found
// nowhere among the 30,001 on disk.
void tst_RenamePlan::largeFolder()
{
    S listed;
    S newNames;
    for (int i = 0; i < 30000; ++i) {
        listed << u"f%1"_s.arg(i);
        newNames << u"g%1"_s.arg(i);
    }
    newNames[7] = u"x"_s;
    newNames[8] = u"f9"_s;
    newNames[20000] = u"f20001"_s;
    newNames[20001] = u"f20001"_s;
    const RenamePlan plan = planOf(listed, newNames, S{u"x"_s}, false, {}, {}, false);
    const QStringList rows = planOutcome(plan);
    QCOMPARE(rows[7], u"conflict: “x” is taken by a file that is not listed."_s);
    QCOMPARE(rows[8], u"move after 10"_s);
    QCOMPARE(rows[9], u"move"_s);
    QCOMPARE(rows[20000],
             u"conflict: The new name is taken by row 20002 (“f20001”), which is not renamed."_s);
    QCOMPARE(rows[20001], u"unchanged"_s);
    QCOMPARE(plan.moves(), 29997);
    QCOMPARE(plan.unchanged(), 1);
    QCOMPARE(plan.problems(), 2);
    QCOMPARE(plan.firstProblem(), 7);
}

// A list long enough for its inputs to be gathered in two halves: each row
// keeps its path, its name, its counter index within its folder (a
// companion group counting once) and its group's lead, on both sides of the
// split; a cancelled gathering gives nothing.
void tst_RenamePlan::largeListInputs()
{
    constexpr int PerFolder = 12000;
    FileList list;
    for (const QByteArray folder : {"/a/", "/b/"}) {
        for (int i = 0; i < PerFolder; ++i)
            listPath(list, folder + QByteArray::number(100000 + i / 2) + (i % 2 ? ".xmp" : ".jpg"));
    }
    list.setGroupsCompanions(true);
    const std::vector<RenamePlan::File> files = RenamePlan::filesOf(list, true);
    QCOMPARE(files.size(), size_t(2 * PerFolder));
    for (const int row : {0, 1, PerFolder - 1, PerFolder, PerFolder + 1, 2 * PerFolder - 1}) {
        const RenamePlan::File &file = files[size_t(row)];
        const int inFolder = row % PerFolder;
        const QString name =
            QString::number(100000 + inFolder / 2) + (row % 2 ? u".xmp"_s : u".jpg"_s);
        QCOMPARE(file.rule.name, name);
        QCOMPARE(file.path, (row < PerFolder ? "/a/" : "/b/") + name.toUtf8());
        QCOMPARE(file.index, qint64(inFolder / 2));
        QCOMPARE(file.lead, row % 2 ? qint64(row - 1) : qint64(-1));
    }
    const std::atomic<bool> cancelled = true;
    QVERIFY(RenamePlan::filesOf(list, true, &cancelled).empty());
}

// A run's plan views its records: a name that is the decoded last part of
// the path is not held, and is compared and quoted as the path says. One
// folder /d holding the listed files (paths as bytes); a name apart from
// the path where one is given.
void tst_RenamePlan::namesFromPaths_data()
{
    QTest::addColumn<QList<QByteArray>>("paths");
    QTest::addColumn<S>("ownNames"); // empty: the name the path says
    QTest::addColumn<S>("newNames");
    QTest::addColumn<S>("expected");
    using B = QList<QByteArray>;
    QTest::newRow("plain and UTF-8, same and changed")
        << B{"/d/a.txt", "/d/caf\xc3\xa9", "/d/b.txt", "/d/\xc3\xa9t\xc3\xa9"} << S{}
        << split(u"a.txt|caf\u00e9|c.txt|\u00e9t\u00e9 2")
        << split(u"unchanged|unchanged|move|move");
    // A byte that is not UTF-8 is its escape, never the Latin-1 letter.
    QTest::newRow("bytes that are not UTF-8")
        << B{"/d/caf\xe9", "/d/na\xefve"} << S{} << split(u"caf\xdce9|na\u00efve")
        << split(u"unchanged|move");
    QTest::newRow("another spelling of the same letters moves")
        << B{"/d/cafe\xcc\x81"} << S{} << S{u"caf\u00e9"_s} << S{u"move"_s};
    QTest::newRow("conflicts quote the decoded name")
        << B{"/d/caf\xc3\xa9", "/d/x\xff"} << S{} << split(u"same|same")
        << split(u"move|conflict: The same new name as row 1 (“caf\u00e9”).");
    QTest::newRow("a name apart from the path is the one compared")
        << B{"/d/a", "/d/b"} << S{u"x"_s, QString()} << split(u"x|b")
        << split(u"unchanged|unchanged");
    QTest::newRow("a name apart from the path is the one quoted")
        << B{"/d/a", "/d/b"} << S{u"x"_s, QString()} << split(u"same|same")
        << split(u"move|conflict: The same new name as row 1 (“x”).");
}

void tst_RenamePlan::namesFromPaths()
{
    QFETCH(QList<QByteArray>, paths);
    QFETCH(S, ownNames);
    QFETCH(S, newNames);
    std::vector<RenamePlan::Listed> files;
    S onDisk;
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const bool own = i < ownNames.size() && !ownNames[i].isNull();
        files.push_back({&paths[i], own ? &ownNames[i] : nullptr, -1});
        onDisk << QString::fromUtf8(paths[i].sliced(3));
    }
    QTEST(planOutcome(planOfOneFolder(files, newNames, factsWith(onDisk, false))), "expected");
}

QTEST_GUILESS_MAIN(tst_RenamePlan)
#include "tst_renameplan.moc"
