// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskfiles.h"
#include "files/filelist.h"
#include "plan/renameplan.h"
#include "plan/typednames.h"
#include "records.h"
#include "rename/renamerun.h"
#include "rename/undorun.h"
#include "rules/companionname.h"
#include "rules/namecomposer.h"
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

RenameSettings trip(int caseTag = RenameSettings::KeepCase)
{
    RenameSettings settings;
    settings.nameTemplate = u"Trip-[C]"_s;
    settings.digitsCounter = 3;
    settings.caseTag = caseTag;
    settings.companions = true;
    return settings;
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
};

// Each display row as "name <- lead #counter index" ("name #index" for a row
// that leads or stands alone).
void tst_Companions::groups_data()
{
    QTest::addColumn<S>("names");
    QTest::addColumn<bool>("descending");
    QTest::addColumn<bool>("perFolder");
    QTest::addColumn<S>("expected");
    QTest::newRow("shots") << shots << false << false
                           << S{u"IMG_0412.CR3 #0"_s,
                                u"IMG_0412.CR3.xmp <- IMG_0412.CR3 #0"_s,
                                u"IMG_0412.JPG <- IMG_0412.CR3 #0"_s,
                                u"IMG_0412.xmp <- IMG_0412.CR3 #0"_s,
                                u"IMG_0413.JPG #1"_s,
                                u"IMG_0413.xmp <- IMG_0413.JPG #1"_s,
                                u"notes.txt #2"_s};
    // The sidecar that sorts first still finds the stem its photo gives.
    QTest::newRow("shots descending") << shots << true << false
                                      << S{u"notes.txt #0"_s,
                                           u"IMG_0413.xmp #1"_s,
                                           u"IMG_0413.JPG <- IMG_0413.xmp #1"_s,
                                           u"IMG_0412.xmp #2"_s,
                                           u"IMG_0412.JPG <- IMG_0412.xmp #2"_s,
                                           u"IMG_0412.CR3.xmp <- IMG_0412.xmp #2"_s,
                                           u"IMG_0412.CR3 <- IMG_0412.xmp #2"_s};
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
    QTest::newRow("other folder, per folder")
        << S{u"a.jpg"_s, u"e/a.xmp"_s, u"a.xmp"_s, u"b.jpg"_s, u"e/b.jpg"_s} << false << true
        << S{u"a.jpg #0"_s, u"a.xmp #0"_s, u"a.xmp <- a.jpg #0"_s, u"b.jpg #1"_s, u"b.jpg #1"_s};
    QTest::newRow("other folder, per folder, descending")
        << S{u"a.jpg"_s, u"e/a.xmp"_s, u"a.xmp"_s, u"b.jpg"_s, u"e/b.jpg"_s} << true << true
        << S{u"b.jpg #0"_s, u"b.jpg #0"_s, u"a.xmp #1"_s, u"a.xmp #1"_s, u"a.jpg <- a.xmp #1"_s};
}

void tst_Companions::groups()
{
    QFETCH(S, names);
    QFETCH(bool, descending);
    QFETCH(bool, perFolder);
    QFETCH(S, expected);
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
    QCOMPARE(shown, expected);

    // Off, nothing is grouped and every row counts.
    list.setGroupsCompanions(false);
    QCOMPARE(list.companionLead(1), -1);
    QCOMPARE(list.counterIndex(2, false), 2);
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
    QTest::newRow("lower case changes it")
        << u"IMG_0412.xmp"_s << u"trip-001.xmp"_s << u"IMG_0412.CR3.XMP"_s << 8
        << int(RenameSettings::LowerCase) << false << u"trip-001.cr3.xmp"_s;
    QTest::newRow("title case leaves it")
        << u"IMG_0412.CR3"_s << u"Trip-001.CR3"_s << u"IMG_0412.JPG"_s << 8
        << int(RenameSettings::TitleCase) << false << u"Trip-001.JPG"_s;
    QTest::newRow("lead with two extensions past the stem")
        << u"a.tar.gz"_s << u"Backup.tar.gz"_s << u"a.txt"_s << 1 << keep << false
        << u"Backup.txt"_s;
    QTest::newRow("lead's new name without extension")
        << u"IMG.CR3"_s << u"Trip"_s << u"IMG.JPG"_s << 3 << keep << false << u"Trip.JPG"_s;
    QTest::newRow("unchanged lead") << u"IMG.CR3"_s << u"IMG.CR3"_s << u"IMG.CR3.xmp"_s << 3 << keep
                                    << false << u"IMG.CR3.xmp"_s;
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
    QFETCH(QString, expected);
    RenameSettings settings;
    settings.caseTag = caseTag;
    settings.plainAscii = ascii;
    QCOMPARE(TextRules::companionName(settings, leadOld, leadNew, companion, stem), expected);
}

// A name typed on the lead carries its companions; one typed on a companion
// is its own, and the plan still holds the group together.
void tst_Companions::typedNames()
{
    FileList list;
    fill(list, "/p", {u"IMG.CR3"_s, u"IMG.CR3.xmp"_s, u"IMG.JPG"_s, u"IMG.xmp"_s, u"x.jpg"_s});
    list.setGroupsCompanions(true);
    const NameComposer composer(trip());
    TypedNames typed;
    typed.set("/p/d/IMG.CR3", u"Best.cr3"_s);
    typed.set("/p/d/IMG.xmp", u"Other.xmp"_s);
    S names;
    for (qint64 row = 0; row < list.count(); ++row)
        names << typed.newNameOf(list, composer, *list.fileAtIndex(row), row);
    // x.jpg counts second: the group counted once.
    QCOMPARE(names, (S{u"Best.cr3"_s, u"Best.cr3.xmp"_s, u"Best.JPG"_s, u"Other.xmp"_s,
                       u"Trip-002.jpg"_s}));

    const auto files = RenamePlan::filesOf(list);
    std::vector<QString> planned =
        RenamePlan::composeNames(files, [&](const RuleFile &file, qint64 index) {
            return composer.newNameForFile(file, index);
        });
    typed.applyTo(files, planned);
    RenamePlan::followLeads(files, planned, RenamePlan::companionRule(composer.settings()), &typed);
    QCOMPARE(S(planned.begin(), planned.end()), names);
}

// Real files, each holding its own old name, moved by the run with its
// journal, checked on disk, then undone and checked again.
void tst_Companions::run_data()
{
    QTest::addColumn<bool>("companions");
    QTest::addColumn<bool>("descending");
    QTest::addColumn<S>("unlisted");
    QTest::addColumn<S>("expected");
    QTest::addColumn<S>("failures");
    const S none;
    QTest::newRow("off: every file counts")
        << false << false << none
        << S{u"Trip-001.CR3=IMG_0412.CR3"_s, u"Trip-002.xmp=IMG_0412.CR3.xmp"_s,
             u"Trip-003.JPG=IMG_0412.JPG"_s, u"Trip-004.xmp=IMG_0412.xmp"_s,
             u"Trip-005.JPG=IMG_0413.JPG"_s, u"Trip-006.xmp=IMG_0413.xmp"_s,
             u"Trip-007.txt=notes.txt"_s}
        << none;
    QTest::newRow("ascending") << true << false << none
                               << S{u"Trip-001.CR3.xmp=IMG_0412.CR3.xmp"_s,
                                    u"Trip-001.CR3=IMG_0412.CR3"_s,
                                    u"Trip-001.JPG=IMG_0412.JPG"_s,
                                    u"Trip-001.xmp=IMG_0412.xmp"_s,
                                    u"Trip-002.JPG=IMG_0413.JPG"_s,
                                    u"Trip-002.xmp=IMG_0413.xmp"_s,
                                    u"Trip-003.txt=notes.txt"_s}
                               << none;
    QTest::newRow("descending") << true << true << none << S{u"Trip-001.txt=notes.txt"_s,
                                                             u"Trip-002.JPG=IMG_0413.JPG"_s,
                                                             u"Trip-002.xmp=IMG_0413.xmp"_s,
                                                             u"Trip-003.CR3.xmp=IMG_0412.CR3.xmp"_s,
                                                             u"Trip-003.CR3=IMG_0412.CR3"_s,
                                                             u"Trip-003.JPG=IMG_0412.JPG"_s,
                                                             u"Trip-003.xmp=IMG_0412.xmp"_s}
                                << none;
    QTest::newRow("a companion's name taken: none of the group moves")
        << true << false << S{u"Trip-001.JPG"_s}
        << S{u"IMG_0412.CR3.xmp=IMG_0412.CR3.xmp"_s, u"IMG_0412.CR3=IMG_0412.CR3"_s,
             u"IMG_0412.JPG=IMG_0412.JPG"_s,         u"IMG_0412.xmp=IMG_0412.xmp"_s,
             u"Trip-001.JPG=Trip-001.JPG"_s,         u"Trip-002.JPG=IMG_0413.JPG"_s,
             u"Trip-002.xmp=IMG_0413.xmp"_s,         u"Trip-003.txt=notes.txt"_s}
        << S{u"IMG_0412.CR3: A companion file, “IMG_0412.JPG”, cannot be renamed."_s,
             u"IMG_0412.CR3.xmp: A companion file, “IMG_0412.JPG”, cannot be renamed."_s,
             u"IMG_0412.JPG: “Trip-001.JPG” is taken by a file that is not listed."_s,
             u"IMG_0412.xmp: A companion file, “IMG_0412.JPG”, cannot be renamed."_s};
    QTest::newRow("the lead's name taken, descending")
        << true << true << S{u"Trip-003.xmp"_s}
        << S{u"IMG_0412.CR3.xmp=IMG_0412.CR3.xmp"_s,
             u"IMG_0412.CR3=IMG_0412.CR3"_s,
             u"IMG_0412.JPG=IMG_0412.JPG"_s,
             u"IMG_0412.xmp=IMG_0412.xmp"_s,
             u"Trip-001.txt=notes.txt"_s,
             u"Trip-002.JPG=IMG_0413.JPG"_s,
             u"Trip-002.xmp=IMG_0413.xmp"_s,
             u"Trip-003.xmp=Trip-003.xmp"_s}
        << S{u"IMG_0412.CR3: It moves with “IMG_0412.xmp”, which cannot be renamed."_s,
             u"IMG_0412.CR3.xmp: It moves with “IMG_0412.xmp”, which cannot be renamed."_s,
             u"IMG_0412.JPG: It moves with “IMG_0412.xmp”, which cannot be renamed."_s,
             u"IMG_0412.xmp: “Trip-003.xmp” is taken by a file that is not listed."_s};
}

void tst_Companions::run()
{
    QFETCH(bool, companions);
    QFETCH(bool, descending);
    QFETCH(S, unlisted);
    QFETCH(S, expected);
    QFETCH(S, failures);
    ScratchDir scratch;
    const QByteArray folder = scratch.path() + "/d";
    QVERIFY(QDir().mkpath(QString::fromUtf8(folder)));
    const QString journals = QString::fromUtf8(scratch.path() + "/journals");
    S before;
    for (const QString &name : shots + unlisted) {
        writeFile(folder + '/' + name.toUtf8(), name.toUtf8());
        before << name + u'=' + name;
    }
    before.sort();
    FileList list;
    fill(list, scratch.path(), shots);
    list.setSortDescending(descending);
    list.setGroupsCompanions(companions);
    S olds;
    for (const auto &file : list.contentsArray())
        olds << file->name();
    RenameSettings settings = trip();
    settings.companions = companions;
    const RenameRun::Report report = RenameRun::clickStart(list, NameComposer(settings), nullptr,
                                                           nullptr, {}, nullptr, {true, journals});

    QCOMPARE(folderEntries(folder), expected.join(u' '));
    S failed;
    for (const RenameRun::Entry &entry : report.entries) {
        if (entry.outcome == RenameRun::Outcome::Failed)
            failed << entry.oldName + u": "_s + entry.error;
    }
    QCOMPARE(failed, failures);
    // The records follow their files.
    for (size_t i = 0; i < list.contentsArray().size(); ++i)
        QCOMPARE(readFile(list.contentsArray()[i]->nativePath()), olds[qsizetype(i)].toUtf8());

    const UndoRun::Report undo = UndoRun::run(report.journalPath, UndoRun::Direction::Undo);
    QVERIFY2(undo.kept.isEmpty(), qPrintable(undo.detailedText()));
    QCOMPARE(folderEntries(folder), before.join(u' '));
}

QTEST_GUILESS_MAIN(tst_Companions)
#include "tst_companions.moc"
