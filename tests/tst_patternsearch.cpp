// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/namecomposer.h"
#include "rules/patternsearch.h"

#include <QElapsedTimer>
#include <QTest>

using namespace Qt::StringLiterals;

// The regular-expression search and its replacement syntax.
class tst_PatternSearch : public QObject
{
    Q_OBJECT
private slots:
    void replace_data();
    void replace();
    void faults_data();
    void faults();
    void backtrackingIsBounded();
    void invalidPatternLeavesTheTemplatesResult();
    void composerRunsThePatternAfterTheJoin();
};

void tst_PatternSearch::replace_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<bool>("ignoreCase");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("digits with a group")
        << u"(\\d+)"_s << u"n$1"_s << false << u"IMG_0042.jpg"_s << u"IMG_n0042.jpg"_s;
    QTest::newRow("every match, left to right")
        << u"(\\d)"_s << u"<$1>"_s << false << u"a1b2"_s << u"a<1>b<2>"_s;
    QTest::newRow("whole match") << u"b+"_s << u"[$0]"_s << false << u"abbc"_s << u"a[bb]c"_s;
    QTest::newRow("swap with groups")
        << u"^(\\w+)-(\\w+)"_s << u"$2-$1"_s << false << u"left-right.txt"_s << u"right-left.txt"_s;
    QTest::newRow("named group") << u"(?<year>\\d{4})"_s << u"y${year}"_s << false << u"x2024"_s
                                 << u"xy2024"_s;
    QTest::newRow("numbered in braces") << u"(a)"_s << u"${1}0"_s << false << u"a"_s << u"a0"_s;
    QTest::newRow("two digits: $10")
        << u"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)"_s << u"$10"_s << false << u"abcdefghij"_s << u"j"_s;
    QTest::newRow("$100 is group 10 then 0")
        << u"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)"_s << u"$100"_s << false << u"abcdefghij"_s << u"j0"_s;
    QTest::newRow("dollar dollar") << u"a"_s << u"$$1"_s << false << u"a"_s << u"$1"_s;
    QTest::newRow("lone dollar at the end") << u"a"_s << u"x$"_s << false << u"ba"_s << u"bx$"_s;
    QTest::newRow("dollar before a letter stays")
        << u"a"_s << u"$x"_s << false << u"a"_s << u"$x"_s;
    QTest::newRow("unclosed brace stays") << u"a"_s << u"${1"_s << false << u"a"_s << u"${1"_s;
    QTest::newRow("group that took no part is empty")
        << u"(a)|(b)"_s << u"[$2]"_s << false << u"ab"_s << u"[][b]"_s;
    QTest::newRow("empty matches do not loop")
        << u"x*"_s << u"-"_s << false << u"abc"_s << u"-a-b-c-"_s;
    QTest::newRow("empty match between astral characters")
        << u"x*"_s << u"-"_s << false << u"\U0001F600"_qs << u"-\U0001F600-"_qs;
    QTest::newRow("replacement is not searched again")
        << u"a"_s << u"aa"_s << false << u"aa"_s << u"aaaa"_s;
    QTest::newRow("ignore case") << u"img"_s << u"P"_s << true << u"IMG_img"_s << u"P_P"_s;
    QTest::newRow("case matters without it")
        << u"img"_s << u"P"_s << false << u"IMG_img"_s << u"IMG_P"_s;
    QTest::newRow("ignore case beyond ASCII")
        << u"\u00E9t\u00E9"_qs << u"E"_s << true << u"\u00C9T\u00C9"_qs << u"E"_s;
    QTest::newRow("no match keeps the text") << u"q"_s << u"x"_s << false << u"abc"_s << u"abc"_s;
    QTest::newRow("lone surrogate is matched around and kept")
        << u"(.)b"_s << u"[$1]"_s << false << u"a"_qs + QChar(0xDC80) + u"b"_qs + QChar(0xD800)
        << u"a["_qs + QChar(0xDC80) + u"]"_qs + QChar(0xD800);
    QTest::newRow("surrogate pair stays a pair")
        << u"."_s << u"<$0>"_s << false << u"\U0001F600"_qs << u"<\U0001F600>"_qs;
    QTest::newRow("may produce a slash") << u"_"_s << u"/"_s << false << u"a_b"_s << u"a/b"_s;
    QTest::newRow("may produce an empty name") << u".*"_s << u""_s << false << u"abc"_s << u""_s;
}

void tst_PatternSearch::replace()
{
    QFETCH(QString, pattern);
    QFETCH(QString, replacement);
    QFETCH(bool, ignoreCase);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const PatternSearch search(pattern, replacement, ignoreCase);
    QVERIFY2(search.isValid(), qPrintable(search.errorString()));
    QCOMPARE(search.replaceAll(text), expected);
}

void tst_PatternSearch::faults_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<qsizetype>("offset");
    const int pattern = int(PatternSearch::Fault::Pattern);
    const int replacement = int(PatternSearch::Fault::Replacement);
    QTest::newRow("unclosed group")
        << u"a(b"_s << u""_s << pattern << u"missing closing parenthesis"_s << qsizetype(3);
    QTest::newRow("unmatched closing parenthesis")
        << u"ab)"_s << u""_s << pattern << u"unmatched closing parenthesis"_s << qsizetype(2);
    QTest::newRow("nothing to repeat")
        << u"*a"_s << u""_s << pattern << u"quantifier does not follow a repeatable item"_s
        << qsizetype(0);
    QTest::newRow("unclosed class")
        << u"[a"_s << u""_s << pattern << u"missing terminating ] for character class"_s
        << qsizetype(2);
    QTest::newRow("bad escape") << u"a\\"_s << u""_s << pattern << u"\\ at end of pattern"_s
                                << qsizetype(2);
    QTest::newRow("range out of order")
        << u"[z-a]"_s << u""_s << pattern << u"range out of order in character class"_s
        << qsizetype(3);
    QTest::newRow("bad quantifier range")
        << u"a{3,1}"_s << u""_s << pattern << u"numbers out of order in {} quantifier"_s
        << qsizetype(5);
    QTest::newRow("unknown group name in the pattern")
        << u"\\k<x>"_s << u""_s << pattern << u"reference to non-existent subpattern"_s
        << qsizetype(3);
    QTest::newRow("lookbehind not fixed length")
        << u"(?<=a+)b"_s << u""_s << pattern << u"lookbehind assertion is not fixed length"_s
        << qsizetype(0);
    QTest::newRow("missing named group")
        << u"(a)"_s << u"${missing}"_s << replacement
        << u"no group named \"missing\" in the pattern"_s << qsizetype(0);
    QTest::newRow("group beyond the count")
        << u"(a)"_s << u"x$2"_s << replacement << u"no group 2 in the pattern"_s << qsizetype(1);
    QTest::newRow("two digits beyond the count")
        << u"(a)"_s << u"$12"_s << replacement << u"no group 12 in the pattern"_s << qsizetype(0);
    QTest::newRow("empty braces") << u"(a)"_s << u"${}"_s << replacement
                                  << u"no group named \"\" in the pattern"_s << qsizetype(0);
}

void tst_PatternSearch::faults()
{
    QFETCH(QString, pattern);
    QFETCH(QString, replacement);
    QFETCH(int, fault);
    QFETCH(QString, reason);
    QFETCH(qsizetype, offset);
    const PatternSearch search(pattern, replacement, false);
    QVERIFY(!search.isValid());
    QCOMPARE(int(search.fault()), fault);
    QCOMPARE(search.errorString(), reason);
    QCOMPARE(search.errorOffset(), offset);
    QCOMPARE(search.replaceAll(u"abc"_s), u"abc"_s);
}

void tst_PatternSearch::backtrackingIsBounded()
{
    const PatternSearch search(u"(a+)+$"_s, u"x"_s, false);
    QVERIFY(search.isValid());
    const QString name = QString(250, u'a') + u'b';
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 40; ++i)
        QCOMPARE(search.replaceAll(name), name);
    // A screenful of such rows; unbounded, each one takes tens of
    // milliseconds (and the pattern more than a second with a longer name).
    QVERIFY2(timer.elapsed() < 400, qPrintable(QString::number(timer.elapsed())));

    // A match before the attempt that gives up does not leave half a
    // replacement behind.
    const PatternSearch partly(u"^z|(a+)+$"_s, u"x"_s, false);
    const QString prefixed = u'z' + name;
    QCOMPARE(partly.replaceAll(prefixed), prefixed);
    QCOMPARE(partly.replaceAll(u"zaa"_s), u"xx"_s);
}

void tst_PatternSearch::invalidPatternLeavesTheTemplatesResult()
{
    RenameSettings settings;
    settings.nameTemplate = u"[N]_x"_s;
    settings.searchText = u"(x"_s;
    settings.replaceText = u"y"_s;
    settings.regex = true;
    settings.caseTag = RenameSettings::UpperCase;
    const NameComposer composer(settings);
    QVERIFY(!composer.searchIsValid());
    QCOMPARE(composer.newNameForFile({u"a(x.txt"_s, 0}, 0), u"A(X_X.TXT"_s);
    // The same text searched literally is no pattern at all.
    settings.regex = false;
    QVERIFY(NameComposer(settings).searchIsValid());
    QCOMPARE(NameComposer(settings).newNameForFile({u"a(x.txt"_s, 0}, 0), u"AY_X.TXT"_s);
}

void tst_PatternSearch::composerRunsThePatternAfterTheJoin()
{
    RenameSettings settings;
    settings.nameTemplate = u"[N]-[C]"_s;
    settings.extTemplate = u"[E]"_s;
    settings.searchText = u"\\.(\\w+)$"_s;
    settings.replaceText = u"_$1"_s;
    settings.regex = true;
    settings.startCounter = 7;
    QCOMPARE(NameComposer(settings).newNameForFile({u"a.jpg"_s, 0}, 0), u"a-7_jpg"_s);
}

QTEST_GUILESS_MAIN(tst_PatternSearch)
#include "tst_patternsearch.moc"
