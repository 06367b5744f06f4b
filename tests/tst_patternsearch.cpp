#include "rules/namecomposer.h"
#include "rules/patternsearch.h"

#include <QElapsedTimer>
#include <QTest>

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
    QTest::newRow("digits with a group") << "(\\d+)"
                                         << "n$1" << false << "IMG_0042.jpg"
                                         << "IMG_n0042.jpg";
    QTest::newRow("every match, left to right") << "(\\d)"
                                                << "<$1>" << false << "a1b2"
                                                << "a<1>b<2>";
    QTest::newRow("whole match") << "b+"
                                 << "[$0]" << false << "abbc"
                                 << "a[bb]c";
    QTest::newRow("swap with groups") << "^(\\w+)-(\\w+)"
                                      << "$2-$1" << false << "left-right.txt"
                                      << "right-left.txt";
    QTest::newRow("named group") << "(?<year>\\d{4})"
                                 << "y${year}" << false << "x2024"
                                 << "xy2024";
    QTest::newRow("numbered in braces") << "(a)"
                                        << "${1}0" << false << "a"
                                        << "a0";
    QTest::newRow("two digits: $10") << "(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)"
                                     << "$10" << false << "abcdefghij"
                                     << "j";
    QTest::newRow("$100 is group 10 then 0") << "(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)"
                                             << "$100" << false << "abcdefghij"
                                             << "j0";
    QTest::newRow("dollar dollar") << "a"
                                   << "$$1" << false << "a"
                                   << "$1";
    QTest::newRow("lone dollar at the end") << "a"
                                            << "x$" << false << "ba"
                                            << "bx$";
    QTest::newRow("dollar before a letter stays") << "a"
                                                  << "$x" << false << "a"
                                                  << "$x";
    QTest::newRow("unclosed brace stays") << "a"
                                          << "${1" << false << "a"
                                          << "${1";
    QTest::newRow("group that took no part is empty") << "(a)|(b)"
                                                      << "[$2]" << false << "ab"
                                                      << "[][b]";
    QTest::newRow("empty matches do not loop") << "x*"
                                               << "-" << false << "abc"
                                               << "-a-b-c-";
    QTest::newRow("empty match between astral characters")
        << "x*"
        << "-" << false << u"\U0001F600"_qs << u"-\U0001F600-"_qs;
    QTest::newRow("replacement is not searched again") << "a"
                                                       << "aa" << false << "aa"
                                                       << "aaaa";
    QTest::newRow("ignore case") << "img"
                                 << "P" << true << "IMG_img"
                                 << "P_P";
    QTest::newRow("case matters without it") << "img"
                                             << "P" << false << "IMG_img"
                                             << "IMG_P";
    QTest::newRow("ignore case beyond ASCII")
        << u"\u00E9t\u00E9"_qs << "E" << true << u"\u00C9T\u00C9"_qs << "E";
    QTest::newRow("no match keeps the text") << "q"
                                             << "x" << false << "abc"
                                             << "abc";
    QTest::newRow("lone surrogate is matched around and kept")
        << "(.)b"
        << "[$1]" << false << u"a"_qs + QChar(0xDC80) + u"b"_qs + QChar(0xD800)
        << u"a["_qs + QChar(0xDC80) + u"]"_qs + QChar(0xD800);
    QTest::newRow("surrogate pair stays a pair")
        << "."
        << "<$0>" << false << u"\U0001F600"_qs << u"<\U0001F600>"_qs;
    QTest::newRow("may produce a slash") << "_"
                                         << "/" << false << "a_b"
                                         << "a/b";
    QTest::newRow("may produce an empty name") << ".*"
                                               << "" << false << "abc"
                                               << "";
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
        << "a(b"
        << "" << pattern << "missing closing parenthesis" << qsizetype(3);
    QTest::newRow("unmatched closing parenthesis")
        << "ab)"
        << "" << pattern << "unmatched closing parenthesis" << qsizetype(2);
    QTest::newRow("nothing to repeat")
        << "*a"
        << "" << pattern << "quantifier does not follow a repeatable item" << qsizetype(0);
    QTest::newRow("unclosed class")
        << "[a"
        << "" << pattern << "missing terminating ] for character class" << qsizetype(2);
    QTest::newRow("bad escape") << "a\\"
                                << "" << pattern << "\\ at end of pattern" << qsizetype(2);
    QTest::newRow("range out of order")
        << "[z-a]"
        << "" << pattern << "range out of order in character class" << qsizetype(3);
    QTest::newRow("bad quantifier range")
        << "a{3,1}"
        << "" << pattern << "numbers out of order in {} quantifier" << qsizetype(5);
    QTest::newRow("unknown group name in the pattern")
        << "\\k<x>"
        << "" << pattern << "reference to non-existent subpattern" << qsizetype(3);
    QTest::newRow("lookbehind not fixed length")
        << "(?<=a+)b"
        << "" << pattern << "lookbehind assertion is not fixed length" << qsizetype(0);
    QTest::newRow("missing named group")
        << "(a)"
        << "${missing}" << replacement << "no group named \"missing\" in the pattern"
        << qsizetype(0);
    QTest::newRow("group beyond the count")
        << "(a)"
        << "x$2" << replacement << "no group 2 in the pattern" << qsizetype(1);
    QTest::newRow("two digits beyond the count")
        << "(a)"
        << "$12" << replacement << "no group 12 in the pattern" << qsizetype(0);
    QTest::newRow("empty braces") << "(a)"
                                  << "${}" << replacement << "no group named \"\" in the pattern"
                                  << qsizetype(0);
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
    QCOMPARE(search.replaceAll(QStringLiteral("abc")), QStringLiteral("abc"));
}

void tst_PatternSearch::backtrackingIsBounded()
{
    const PatternSearch search(QStringLiteral("(a+)+$"), QStringLiteral("x"), false);
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
    const PatternSearch partly(QStringLiteral("^z|(a+)+$"), QStringLiteral("x"), false);
    const QString prefixed = u'z' + name;
    QCOMPARE(partly.replaceAll(prefixed), prefixed);
    QCOMPARE(partly.replaceAll(QStringLiteral("zaa")), QStringLiteral("xx"));
}

void tst_PatternSearch::invalidPatternLeavesTheTemplatesResult()
{
    RenameSettings settings;
    settings.nameTemplate = QStringLiteral("[N]_x");
    settings.searchText = QStringLiteral("(x");
    settings.replaceText = QStringLiteral("y");
    settings.regex = true;
    settings.caseTag = RenameSettings::UpperCase;
    const NameComposer composer(settings);
    QVERIFY(!composer.searchIsValid());
    QCOMPARE(composer.newNameForFile({QStringLiteral("a(x.txt"), 0}, 0),
             QStringLiteral("A(X_X.TXT"));
    // The same text searched literally is no pattern at all.
    settings.regex = false;
    QVERIFY(NameComposer(settings).searchIsValid());
    QCOMPARE(NameComposer(settings).newNameForFile({QStringLiteral("a(x.txt"), 0}, 0),
             QStringLiteral("AY_X.TXT"));
}

void tst_PatternSearch::composerRunsThePatternAfterTheJoin()
{
    RenameSettings settings;
    settings.nameTemplate = QStringLiteral("[N]-[C]");
    settings.extTemplate = QStringLiteral("[E]");
    settings.searchText = QStringLiteral("\\.(\\w+)$");
    settings.replaceText = QStringLiteral("_$1");
    settings.regex = true;
    settings.startCounter = 7;
    QCOMPARE(NameComposer(settings).newNameForFile({QStringLiteral("a.jpg"), 0}, 0),
             QStringLiteral("a-7_jpg"));
}

QTEST_GUILESS_MAIN(tst_PatternSearch)
#include "tst_patternsearch.moc"
