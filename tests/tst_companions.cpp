// SPDX-License-Identifier: GPL-3.0-or-later
#include "disktree.h"
#include "files/filelist.h"
#include "files/zqfile.h"
#include "intake/namelists.h"
#include "plan/typednames.h"
#include "records.h"
#include "rename/renamerun.h"
#include "rename/undorun.h"
#include "rules/companionname.h"
#include "rules/namecomposer.h"
#include "rulesettings.h"
#include "scratchdir.h"

#include <QTest>

using namespace Qt::StringLiterals;
using S = QStringList;

namespace {

// The files, by name, of one folder or, where a name holds a slash, of a
// folder of their own under /p; stored in this order.
void fill(FileList &list, const QByteArray &root, const S &names)
{
    for (const QString &name : names)
        listPath(list, root + (name.contains(u'/') ? "/" : "/d/") + name.toUtf8());
}

RenameSettings trip()
{
    RenameSettings trip = settings(u"Trip-[C]"_s, u"[E]"_s, {}, {}, 0, 1, 1, 3);
    trip.companions = true;
    return trip;
}

// The photo of the examples: a raw file, a JPEG and two sidecars, a second
// shot, and a file of its own.
const S shots{u"IMG_0412.CR3"_s, u"IMG_0412.CR3.xmp"_s, u"IMG_0412.JPG"_s, u"IMG_0412.xmp"_s,
              u"IMG_0413.JPG"_s, u"IMG_0413.xmp"_s,     u"notes.txt"_s};

} // namespace

class tst_Companions : public QObject
{
    Q_OBJECT

private slots:
    void groups_data();
    void groups();
    void companionName_data();
    void companionName();
    void typedNames();
    void run_data();
    void run();
    void readMap_data();
    void readMap();
    void readLines_data();
    void readLines();
    void planChecksTypedNames_data();
    void planChecksTypedNames();
};

// Each display row as "name <- lead #counter index" ("name #index" for a row
// that leads or stands alone).
void tst_Companions::groups_data()
{
    QTest::addColumn<S>("names");
    QTest::addColumn<bool>("descending");
    QTest::addColumn<bool>("perFolder");
    QTest::addColumn<S>("expected");
    // The sidecar that sorts first still finds the stem its photo gives (the
    // photos of the run below show both directions).
    QTest::newRow("sidecar only of the whole name")
        << S{u"IMG.CR3.xmp"_s, u"IMG.CR3"_s} << false << false
        << S{u"IMG.CR3.xmp #0"_s, u"IMG.CR3 <- IMG.CR3.xmp #0"_s};
    // Dotted names that differ after the first dot are not companions.
    QTest::newRow("dates with dots")
        << S{u"2024.03.05 Party.jpg"_s, u"2024.03.06 Beach.jpg"_s, u"2024.03.05 Party.xmp"_s}
        << false << false
        << S{u"2024.03.05 Party.jpg #0"_s, u"2024.03.06 Beach.jpg #1"_s,
             u"2024.03.05 Party.xmp <- 2024.03.05 Party.jpg #0"_s};
    QTest::newRow("no extension, dot file, other case")
        << S{u"IMG"_s, u"IMG.jpg"_s, u".profile"_s, u".profile.bak"_s, u"img.xmp"_s} << false
        << false
        << S{u"IMG #0"_s, u"IMG.jpg #1"_s, u".profile #2"_s, u".profile.bak #3"_s, u"img.xmp #4"_s};
    QTest::newRow("other folder, per folder, descending")
        << S{u"a.jpg"_s, u"e/a.xmp"_s, u"a.xmp"_s, u"b.jpg"_s, u"e/b.jpg"_s} << true << true
        << S{u"b.jpg #0"_s, u"b.jpg #0"_s, u"a.xmp #1"_s, u"a.xmp #1"_s, u"a.jpg <- a.xmp #1"_s};
}

void tst_Companions::groups()
{
    QFETCH(S, names);
    QFETCH(bool, descending);
    QFETCH(bool, perFolder);
    FileList list;
    fill(list, "/p", names);
    list.setSortDescending(descending);
    list.setGroupsCompanions(true);
    S shown;
    for (qint64 row = 0; row < list.count(); ++row) {
        const qint64 lead = list.companionLead(row);
        shown << list.fileAtIndex(row)->name() +
                     (lead < 0 ? QString() : u" <- "_s + list.fileAtIndex(lead)->name()) +
                     u" #%1"_s.arg(list.counterIndex(row, perFolder));
    }
    QTEST(shown, "expected");
}

void tst_Companions::companionName_data()
{
    QTest::addColumn<QString>("leadOld");
    QTest::addColumn<QString>("leadNew");
    QTest::addColumn<QString>("companion");
    QTest::addColumn<int>("stem");
    QTest::addColumn<int>("caseTag");
    QTest::addColumn<bool>("ascii");
    QTest::addColumn<QString>("expected");
    const int keep = RenameSettings::KeepCase;
    QTest::newRow("sidecar of the whole name")
        << u"IMG_0412.CR3"_s << u"Trip-001.cr3"_s << u"IMG_0412.CR3.xmp"_s << 8 << keep << false
        << u"Trip-001.cr3.xmp"_s;
    QTest::newRow("own extension keeps its case")
        << u"IMG_0412.CR3"_s << u"Trip-001.cr3"_s << u"IMG_0412.JPG"_s << 8 << keep << false
        << u"Trip-001.JPG"_s;
    QTest::newRow("upper case changes it")
        << u"IMG_0412.CR3"_s << u"TRIP-001.CR3"_s << u"IMG_0412.CR3.xmp"_s << 8
        << int(RenameSettings::UpperCase) << false << u"TRIP-001.CR3.XMP"_s;
    QTest::newRow("lead with two extensions past the stem")
        << u"a.tar.gz"_s << u"Backup.tar.gz"_s << u"a.txt"_s << 1 << keep << false
        << u"Backup.txt"_s;
    QTest::newRow("lead's new name without extension")
        << u"IMG.CR3"_s << u"Trip"_s << u"IMG.JPG"_s << 3 << keep << false << u"Trip.JPG"_s;
    QTest::newRow("plain ASCII") << u"Straße.jpg"_s << u"Strasse.jpg"_s << u"Straße.Ærø"_s << 6
                                 << keep << true << u"Strasse.AEro"_s;
    QTest::newRow("lead has no name") << u"IMG.CR3"_s << ComposedName::refused(u"no Model"_s)
                                      << u"IMG.JPG"_s << 3 << keep << false << u"IMG.JPG"_s;
}

void tst_Companions::companionName()
{
    QFETCH(QString, leadOld);
    QFETCH(QString, leadNew);
    QFETCH(QString, companion);
    QFETCH(int, stem);
    QFETCH(int, caseTag);
    QFETCH(bool, ascii);
    RenameSettings s = settings(u"[N]"_s, u"[E]"_s, {}, {}, caseTag);
    s.plainAscii = ascii;
    QTEST(TextRules::companionName(s, leadOld, leadNew, companion, stem), "expected");
}

// A name typed on the lead carries its companions; one typed on a companion
// is its own, until it is removed. Names of files no longer listed go.
void tst_Companions::typedNames()
{
    FileList list;
    fill(list, "/p", {u"IMG.CR3"_s, u"IMG.CR3.xmp"_s, u"IMG.JPG"_s, u"IMG.xmp"_s, u"x.jpg"_s});
    list.setGroupsCompanions(true);
    const NameComposer composer(trip());
    TypedNames typed;
    typed.set("/p/d/IMG.CR3", u"Best.cr3"_s);
    typed.set("/p/d/IMG.xmp", u"Other.xmp"_s);
    typed.set("/p/d/gone", u"y"_s);
    typed.keepListed(list);
    QCOMPARE(typed.count(), 2);
    S names;
    for (qint64 row = 0; row < list.count(); ++row)
        names << typed.newNameOf(list, composer, *list.fileAtIndex(row), row);
    // x.jpg counts second: the group counted once.
    QCOMPARE(names, (S{u"Best.cr3"_s, u"Best.cr3.xmp"_s, u"Best.JPG"_s, u"Other.xmp"_s,
                       u"Trip-002.jpg"_s}));
    QVERIFY(typed.remove("/p/d/IMG.xmp"));
    QVERIFY(!typed.remove("/p/d/IMG.xmp"));
    const auto source = typed.source(list, composer);
    QCOMPARE(source(*list.fileAtIndex(3), 3), u"Best.xmp"_s);
    QCOMPARE(source(*list.fileAtIndex(4), 4), u"Trip-002.jpg"_s);
}

// Real files, each holding its own old name, moved by the run with its
// journal, checked on disk, then undone and checked again.
void tst_Companions::run_data()
{
    QTest::addColumn<bool>("descending");
    QTest::addColumn<S>("unlisted");
    QTest::addColumn<QString>("expected"); // the folder as "name=content"
    QTest::addColumn<S>("failures");
    QTest::addColumn<bool>("unique");
    QTest::newRow("ascending") << false << S()
                               << u"Trip-001.CR3.xmp=IMG_0412.CR3.xmp Trip-001.CR3=IMG_0412.CR3 "
                                  "Trip-001.JPG=IMG_0412.JPG Trip-001.xmp=IMG_0412.xmp "
                                  "Trip-002.JPG=IMG_0413.JPG Trip-002.xmp=IMG_0413.xmp "
                                  "Trip-003.txt=notes.txt"_s
                               << S() << false;
    QTest::newRow("descending") << true << S()
                                << u"Trip-001.txt=notes.txt Trip-002.JPG=IMG_0413.JPG "
                                   "Trip-002.xmp=IMG_0413.xmp Trip-003.CR3.xmp=IMG_0412.CR3.xmp "
                                   "Trip-003.CR3=IMG_0412.CR3 Trip-003.JPG=IMG_0412.JPG "
                                   "Trip-003.xmp=IMG_0412.xmp"_s
                                << S() << false;
    QTest::newRow("a companion's name taken: none of the group moves")
        << false << S{u"Trip-001.JPG"_s}
        << u"IMG_0412.CR3.xmp=IMG_0412.CR3.xmp IMG_0412.CR3=IMG_0412.CR3 "
           "IMG_0412.JPG=IMG_0412.JPG IMG_0412.xmp=IMG_0412.xmp Trip-001.JPG=Trip-001.JPG "
           "Trip-002.JPG=IMG_0413.JPG Trip-002.xmp=IMG_0413.xmp Trip-003.txt=notes.txt"_s
        << S{u"IMG_0412.CR3: A companion file, “IMG_0412.JPG”, cannot be renamed."_s,
             u"IMG_0412.CR3.xmp: A companion file, “IMG_0412.JPG”, cannot be renamed."_s,
             u"IMG_0412.JPG: “Trip-001.JPG” is taken by a file that is not listed."_s,
             u"IMG_0412.xmp: A companion file, “IMG_0412.JPG”, cannot be renamed."_s}
        << false;
    QTest::newRow("the lead's name taken, descending")
        << true << S{u"Trip-003.xmp"_s}
        << u"IMG_0412.CR3.xmp=IMG_0412.CR3.xmp IMG_0412.CR3=IMG_0412.CR3 "
           "IMG_0412.JPG=IMG_0412.JPG IMG_0412.xmp=IMG_0412.xmp Trip-001.txt=notes.txt "
           "Trip-002.JPG=IMG_0413.JPG Trip-002.xmp=IMG_0413.xmp Trip-003.xmp=Trip-003.xmp"_s
        << S{u"IMG_0412.CR3: It moves with “IMG_0412.xmp”, which cannot be renamed."_s,
             u"IMG_0412.CR3.xmp: It moves with “IMG_0412.xmp”, which cannot be renamed."_s,
             u"IMG_0412.JPG: It moves with “IMG_0412.xmp”, which cannot be renamed."_s,
             u"IMG_0412.xmp: “Trip-003.xmp” is taken by a file that is not listed."_s}
        << false;
    // Made unique, the group takes one number, and keeps one stem.
    QTest::newRow("a companion's name taken, made unique")
        << false << S{u"Trip-001.JPG"_s}
        << u"Trip-001 (2).CR3.xmp=IMG_0412.CR3.xmp Trip-001 (2).CR3=IMG_0412.CR3 "
           "Trip-001 (2).JPG=IMG_0412.JPG Trip-001 (2).xmp=IMG_0412.xmp Trip-001.JPG=Trip-001.JPG "
           "Trip-002.JPG=IMG_0413.JPG Trip-002.xmp=IMG_0413.xmp Trip-003.txt=notes.txt"_s
        << S() << true;
}

void tst_Companions::run()
{
    QFETCH(bool, descending);
    QFETCH(S, unlisted);
    QFETCH(bool, unique);
    ScratchDir scratch;
    const QByteArray folder = scratch.path() + "/d";
    QVERIFY(QDir().mkpath(QString::fromUtf8(folder)));
    for (const QString &name : shots + unlisted)
        writeFile(folder + '/' + name.toUtf8(), name.toUtf8());
    const QString before = folderEntries(folder);
    FileList list;
    fill(list, scratch.path(), shots);
    list.setSortDescending(descending);
    list.setGroupsCompanions(true);
    RenameSettings settings = trip();
    settings.uniqueNames = unique;
    const RenameRun::Report report =
        RenameRun::clickStart(list, NameComposer(settings), nullptr, nullptr, {}, nullptr,
                              {true, QString::fromUtf8(scratch.path() + "/journals")});

    QTEST(folderEntries(folder), "expected");
    S failed;
    for (const RenameRun::Entry &entry : report.entries) {
        if (entry.outcome == RenameRun::Outcome::Failed)
            failed << RenameRun::oldNameText(entry) + u": "_s + entry.error;
    }
    QTEST(failed, "failures");

    const UndoRun::Report undo = UndoRun::run(report.journalPath, UndoRun::Direction::Undo);
    QVERIFY2(undo.kept.isEmpty(), qPrintable(undo.detailedText()));
    QCOMPARE(folderEntries(folder), before);
}

// Names typed by hand: the lists they are read from, and how the plan takes
// them in place of the rules' names.

namespace {

// "path|name" rows joined by "; ", or "fault N at row R".
QString mapText(const NameLists::Map &map)
{
    if (map.fault != NameLists::MapFault::None)
        return u"fault %1 at row %2"_s.arg(int(map.fault)).arg(map.faultRow);
    QStringList rows;
    for (const auto &row : map.rows)
        rows << QString::fromLatin1(row.path.toPercentEncoding("/ ,.\n\"")) + u'|' +
                    QString::fromLatin1(row.newName.toPercentEncoding("/ ,.\n\""));
    return rows.join(u"; "_s);
}

} // namespace

void tst_Companions::readMap_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("rows");
    // Faults: 1 unclosed quote, 2 text after quote, 3 not two columns,
    // 4 empty path, 5 empty name.
    QTest::newRow("plain, LF, no last line end") << "a,b\nc,d"_ba << u"a|b; c|d"_s;
    QTest::newRow("CRLF") << "a,b\r\nc,d\r\n"_ba << u"a|b; c|d"_s;
    QTest::newRow("quoted comma and line end")
        << "\"x,\ny/f.txt\",\"N, \"\"1\"\"\"\n"_ba << u"x,\ny/f.txt|N, \"1\""_s;
    QTest::newRow("quoted CRLF kept") << "\"a\r\nb\",c\r\n"_ba << u"a%0D\nb|c"_s;
    QTest::newRow("lone CR is a byte") << "a\rb,c\n"_ba << u"a%0Db|c"_s;
    QTest::newRow("not UTF-8 kept") << "a\xff,n\xe9\n"_ba << u"a%FF|n%E9"_s;
    QTest::newRow("byte order mark skipped") << "\xEF\xBB\xBF"_ba + "a,b\n" << u"a|b"_s;
    QTest::newRow("quote inside a bare field") << "a\"b,c\n"_ba << u"a\"b|c"_s;
    QTest::newRow("unclosed quote") << "a,b\n\"c,d\n"_ba << u"fault 1 at row 2"_s;
    QTest::newRow("text after quote") << "\"a\"x,b\n"_ba << u"fault 2 at row 1"_s;
    QTest::newRow("one column") << "a,b\nc\n"_ba << u"fault 3 at row 2"_s;
    QTest::newRow("three columns") << "a,b,c\n"_ba << u"fault 3 at row 1"_s;
    QTest::newRow("trailing comma") << "a,b,\n"_ba << u"fault 3 at row 1"_s;
    QTest::newRow("blank line") << "a,b\n\nc,d\n"_ba << u"fault 3 at row 2"_s;
    QTest::newRow("rows counted, not lines") << "\"a\nb\",c\n\"d\",\n"_ba << u"fault 5 at row 2"_s;
    QTest::newRow("empty path") << "\"\",b\n"_ba << u"fault 4 at row 1"_s;
}

void tst_Companions::readMap()
{
    QFETCH(QByteArray, text);
    QTEST(mapText(NameLists::readMap(text)), "rows");
}

void tst_Companions::readLines_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("lines");
    QTest::addColumn<qsizetype>("emptyLine");
    QTest::newRow("last line end optional") << "a\nb"_ba << u"a|b"_s << qsizetype(0);
    QTest::newRow("CR and bytes kept") << "a\r\n\xff\n"_ba << u"a%0D|%FF"_s << qsizetype(0);
    QTest::newRow("empty line") << "a\n\nb\n"_ba << u""_s << qsizetype(2);
    QTest::newRow("two line ends at the end") << "a\n\n"_ba << u""_s << qsizetype(2);
}

void tst_Companions::readLines()
{
    QFETCH(QByteArray, text);
    QFETCH(qsizetype, emptyLine);
    QList<QByteArray> lines;
    QCOMPARE(NameLists::readLines(text, &lines), emptyLine);
    QStringList shown;
    for (const QByteArray &line : lines)
        shown << QString::fromLatin1(line.toPercentEncoding());
    if (emptyLine == 0)
        QTEST(shown.join(u'|'), "lines");
}

void tst_Companions::planChecksTypedNames_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("plan");
    // Files a, b, c and d in one folder; the rules add "-r" to d only
    // (--search d --replace d-r), so a typed name can meet a rules name.
    // Each row's new name for a move, "=" unchanged, "refused", "conflict".
    QTest::newRow("none") << u""_s << u"= = = d-r"_s;
    QTest::newRow("swap") << u"a=b b=a"_s << u"b a = d-r"_s;
    QTest::newRow("three-cycle") << u"a=b b=c c=a"_s << u"b c a d-r"_s;
    QTest::newRow("taken by a file that stays") << u"a=c"_s << u"conflict = = d-r"_s;
    QTest::newRow("the rules' name of another") << u"a=d-r"_s << u"d-r = = conflict"_s;
    QTest::newRow("slash refused") << u"b=x/y"_s << u"= refused = d-r"_s;
    QTest::newRow("NUL refused") << u"b=x\0y"_s << u"= refused = d-r"_s;
    QTest::newRow("typed name is the old one") << u"d=d"_s << u"= = = ="_s;
    QTest::newRow("no case, counter or template") << u"a=[C]-[N]"_s << u"[C]-[N] = = d-r"_s;
}

void tst_Companions::planChecksTypedNames()
{
    QFETCH(QString, typed);
    ScratchDir dir;
    FileList list;
    makeTree(dir.path(), {"a=a", "b=b", "c=c", "d=d"});
    listPaths(list, {dir.path("a"), dir.path("b"), dir.path("c"), dir.path("d")});
    TypedNames names;
    for (const QString &pair : typed.split(u' ', Qt::SkipEmptyParts))
        names.set(dir.path(pair.section(u'=', 0, 0).toUtf8()), pair.section(u'=', 1));
    const NameComposer composer(settings(u"[N]"_s, u"[E]"_s, u"d"_s, u"d-r"_s));
    const RenamePlan plan = RenamePlan::make(
        RenamePlan::filesOf(list),
        [&composer](const RuleFile &file, qint64 row) {
            return composer.newNameForFile(file, row);
        },
        nullptr, &names);
    QStringList shown;
    for (const RenamePlan::Row &row : plan.rows()) {
        shown << (row.status == RenamePlan::Status::Unchanged ? u"="_s
                  : row.status == RenamePlan::Status::Move    ? row.newName
                  : row.status == RenamePlan::Status::Refused ? u"refused"_s
                                                              : u"conflict"_s);
    }
    QTEST(shown.join(u' '), "plan");
}

QTEST_GUILESS_MAIN(tst_Companions)
#include "tst_companions.moc"
