// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskfiles.h"
#include "files/filelist.h"
#include "files/zqfile.h"
#include "intake/namelists.h"
#include "plan/typednames.h"
#include "records.h"
#include "rules/namecomposer.h"
#include "scratchdir.h"

#include <QTest>

using namespace Qt::StringLiterals;

// Names typed by hand: the lists they are read from, and how the plan takes
// them in place of the rules' names.
class tst_TypedNames : public QObject
{
    Q_OBJECT

private slots:
    void readMap_data();
    void readMap();
    void readLines_data();
    void readLines();
    void planChecksTypedNames_data();
    void planChecksTypedNames();
    void namesFollowTheList();
};

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

void tst_TypedNames::readMap_data()
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
    QTest::newRow("byte order mark skipped") << "\xEF\xBB\xBF"
                                                "a,b\n"_ba
                                             << u"a|b"_s;
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

void tst_TypedNames::readMap()
{
    QFETCH(QByteArray, text);
    QTEST(mapText(NameLists::readMap(text)), "rows");
}

void tst_TypedNames::readLines_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("lines");
    QTest::addColumn<qsizetype>("emptyLine");
    QTest::newRow("last line end optional") << "a\nb"_ba << u"a|b"_s << qsizetype(0);
    QTest::newRow("CR and bytes kept") << "a\r\n\xff\n"_ba << u"a%0D|%FF"_s << qsizetype(0);
    QTest::newRow("empty line") << "a\n\nb\n"_ba << u""_s << qsizetype(2);
    QTest::newRow("two line ends at the end") << "a\n\n"_ba << u""_s << qsizetype(2);
}

void tst_TypedNames::readLines()
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

void tst_TypedNames::planChecksTypedNames_data()
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

void tst_TypedNames::planChecksTypedNames()
{
    QFETCH(QString, typed);
    ScratchDir dir;
    FileList list;
    for (const char *name : {"a", "b", "c", "d"}) {
        writeFile(dir.path(name), name);
        listPath(list, dir.path(name));
    }
    TypedNames names;
    for (const QString &pair : typed.split(u' ', Qt::SkipEmptyParts))
        names.set(dir.path(pair.section(u'=', 0, 0).toUtf8()), pair.section(u'=', 1));
    RenameSettings settings;
    settings.searchText = u"d"_s;
    settings.replaceText = u"d-r"_s;
    const NameComposer composer(settings);
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

void tst_TypedNames::namesFollowTheList()
{
    FileList list;
    for (const QByteArray &path : {"/f/a"_ba, "/f/b"_ba})
        listPath(list, path);
    TypedNames names;
    names.set("/f/a", u"x"_s);
    names.set("/f/gone", u"y"_s);
    names.keepListed(list);
    QCOMPARE(names.count(), 1);
    const NameComposer composer;
    const auto source = names.source(list, composer);
    QCOMPARE(source(*list.fileAtIndex(0), 0), u"x"_s);
    QCOMPARE(source(*list.fileAtIndex(1), 1), u"b"_s);
    QVERIFY(names.remove("/f/a"));
    QVERIFY(!names.remove("/f/a"));
    QCOMPARE(source(*list.fileAtIndex(0), 0), u"a"_s);
}

QTEST_GUILESS_MAIN(tst_TypedNames)
#include "tst_typednames.moc"
