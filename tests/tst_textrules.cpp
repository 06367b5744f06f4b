// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/patternsearch.h"
#include "rules/textrules.h"

#include <QElapsedTimer>
#include <QTest>

using namespace TextRules;

using namespace Qt::StringLiterals;

enum CaseRule
{
    Lower,
    Upper,
    Title,
    Sentence
};

class tst_TextRules : public QObject
{
    Q_OBJECT
private slots:
    void split_data();
    void split();
    void counter_data();
    void counter();
    void replace_data();
    void replace();
    void caseRules_data();
    void caseRules();
    void faults_data();
    void faults();
    void backtrackingIsBounded();
};

// The two extension rules side by side: the composer's (`[E]`, base name)
// and the record's shown extension (the text after the last dot, always).
void tst_TextRules::split_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("shownExtension");
    const auto row = [](const char *tag, const QString &name, const QString &base,
                        const QString &extension, const QString &shown) {
        QTest::newRow(tag) << name << base << extension << shown;
    };
    row("plain", u"photo.jpg"_s, u"photo"_s, u"jpg"_s, u"jpg"_s);
    row("two dots", u"archive.tar.gz"_s, u"archive.tar"_s, u"gz"_s, u"gz"_s);
    row("no dot", u"README"_s, u"README"_s, u""_s, u""_s);
    row("dot file: the rules differ", u".profile"_s, u".profile"_s, u""_s, u"profile"_s);
    row("dot file with extension", u".config.bak"_s, u".config"_s, u"bak"_s, u"bak"_s);
    row("trailing dot", u"file."_s, u"file."_s, u""_s, u""_s);
    row("two trailing dots", u"file.."_s, u"file.."_s, u""_s, u""_s);
    row("only a dot", u"."_s, u"."_s, u""_s, u""_s);
    row("empty", u""_s, u""_s, u""_s, u""_s);
    row("astral extension", u"a.\U0001F600"_s, u"a"_s, u"\U0001F600"_s, u"\U0001F600"_s);
}

void tst_TextRules::split()
{
    QFETCH(QString, name);
    QTEST(baseName(name), "base");
    QTEST(pathExtension(name), "extension");
    QTEST(displayExtension(name), "shownExtension");
}

void tst_TextRules::counter_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("digits");
    QTest::addColumn<qint64>("index");
    QTest::addColumn<QString>("expected");
    QTest::newRow("three digits") << 1 << 1 << 3 << qint64(0) << u"001"_s;
    QTest::newRow("fifth of three") << 1 << 1 << 3 << qint64(4) << u"005"_s;
    QTest::newRow("no width") << 1 << 1 << 0 << qint64(41) << u"42"_s;
    QTest::newRow("width one") << 1 << 1 << 1 << qint64(9) << u"10"_s;
    QTest::newRow("wider than digits") << 123 << 1 << 2 << qint64(0) << u"123"_s;
    QTest::newRow("counting down") << 10 << -1 << 1 << qint64(2) << u"8"_s;
    QTest::newRow("minus before zeros") << -5 << 1 << 3 << qint64(0) << u"-05"_s;
    QTest::newRow("step zero") << 7 << 0 << 1 << qint64(1000) << u"7"_s;
    QTest::newRow("negative digits count as none") << 5 << 1 << -4 << qint64(0) << u"5"_s;
    QTest::newRow("wraps at 32 bits") << 2147483647 << 1 << 1 << qint64(1) << u"-2147483648"_s;
    QTest::newRow("low 32 bits of a 64-bit value")
        << 0 << 2147483647 << 1 << qint64(4) << u"-4"_s; // 4 * (2^31 - 1) = 2^33 - 4
    QTest::newRow("min value") << -2147483647 - 1 << 0 << 12 << qint64(0) << u"-02147483648"_s;
}

void tst_TextRules::counter()
{
    QFETCH(int, start);
    QFETCH(int, step);
    QFETCH(int, digits);
    QFETCH(qint64, index);
    QTEST(counterText(start, step, digits, index), "expected");
}

// The literal search and the pattern search with its replacement syntax:
// one row each of text, search, replacement and the text it gives.
void tst_TextRules::replace_data()
{
    QTest::addColumn<bool>("pattern");
    QTest::addColumn<Qt::CaseSensitivity>("sensitivity");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("expected");
    const auto rows = [](bool pattern, Qt::CaseSensitivity sensitivity) {
        return [pattern, sensitivity](const char *name, const QString &text, const QString &search,
                                      const QString &replacement, const QString &expected) {
            QTest::newRow(name) << pattern << sensitivity << text << search << replacement
                                << expected;
        };
    };
    const auto exact = rows(false, Qt::CaseSensitive);
    const auto anyCase = rows(false, Qt::CaseInsensitive);
    const auto regex = rows(true, Qt::CaseSensitive);
    const auto regexAnyCase = rows(true, Qt::CaseInsensitive);
    exact("empty search leaves text", u"abc"_s, u""_s, u"x"_s, u"abc"_s);
    exact("every occurrence", u"a.b.c"_s, u"."_s, u"_"_s, u"a_b_c"_s);
    exact("non-overlapping", u"aaaa"_s, u"aa"_s, u"b"_s, u"bb"_s);
    exact("one pass", u"ab"_s, u"a"_s, u"aa"_s, u"aab"_s);
    exact("case-sensitive", u"Test test"_s, u"test"_s, u"X"_s, u"Test X"_s);
    exact("deletes", u"TestFile"_s, u"Test"_s, u""_s, u"File"_s);
    exact("NFC text, NFD search", u"caf\u00E9.txt"_s, u"e\u0301"_s, u"E"_s, u"cafE.txt"_s);
    exact("NFD text, NFC search", u"cafe\u0301.txt"_s, u"\u00E9"_s, u"E"_s, u"cafE.txt"_s);
    exact("base letter does not match accented", u"cafe\u0301 e"_s, u"e"_s, u"X"_s,
          u"cafe\u0301 X"_s);
    exact("precomposed not matched by base", u"caf\u00E9"_s, u"e"_s, u"X"_s, u"caf\u00E9"_s);
    exact("reordered accents", u"a\u0301\u0323"_s, u"a\u0323\u0301"_s, u"x"_s, u"x"_s);
    exact("Hangul syllable vs jamo", u"\u1100\u1161!"_s, u"\uAC00"_s, u"k"_s, u"k!"_s);
    exact("jamo vs Hangul syllable", u"\uAC00!"_s, u"\u1100\u1161"_s, u"k"_s, u"k!"_s);
    exact("unmatched text stays unnormalised", u"e\u0301 x \u00E9"_s, u"x"_s, u"y"_s,
          u"e\u0301 y \u00E9"_s);
    exact("astral", u"a\U0001F600b\U0001F600"_s, u"\U0001F600"_s, u"-"_s, u"a-b-"_s);
    exact("lone surrogate never splits a pair", u"\U0001F600"_s, QString(QChar(0xD83D)), u"x"_s,
          u"\U0001F600"_s);
    exact("Kelvin sign matches K", u"OK"_s, u"\u212A"_s, u"k"_s, u"Ok"_s);
    exact("combining mark search", u"\u0301a"_s, u"\u0301"_s, u""_s, u"a"_s);

    anyCase("ascii", u"IMG_img_Img"_s, u"img"_s, u"x"_s, u"x_x_x"_s);
    anyCase("accented, precomposed against decomposed", u"\u00C9t\u00E9 E\u0301TE\u0301"_qs,
            u"e\u0301te\u0301"_qs, u"S"_s, u"S S"_s);
    anyCase("greek", u"\u039F\u0394\u039F\u03A3"_qs, u"\u03BF\u03B4"_qs, u"x"_s,
            u"x\u039F\u03A3"_qs);
    anyCase("astral, any case", u"\U00010400a"_qs, u"\U00010428A"_qs, u"y"_s, u"y"_s);
    anyCase("accent must still match whole characters", u"E\u0301"_qs, u"e"_s, u"x"_s,
            u"E\u0301"_qs);
    anyCase("empty search leaves the text", u"abc"_s, u""_s, u"x"_s, u"abc"_s);

    regex("digits with a group", u"IMG_0042.jpg"_s, u"(\\d+)"_s, u"n$1"_s, u"IMG_n0042.jpg"_s);
    regex("every match, left to right", u"a1b2"_s, u"(\\d)"_s, u"<$1>"_s, u"a<1>b<2>"_s);
    regex("whole match", u"abbc"_s, u"b+"_s, u"[$0]"_s, u"a[bb]c"_s);
    regex("swap with groups", u"left-right.txt"_s, u"^(\\w+)-(\\w+)"_s, u"$2-$1"_s,
          u"right-left.txt"_s);
    regex("named group", u"x2024"_s, u"(?<year>\\d{4})"_s, u"y${year}"_s, u"xy2024"_s);
    regex("numbered in braces", u"a"_s, u"(a)"_s, u"${1}0"_s, u"a0"_s);
    const QString ten = u"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)"_s;
    regex("two digits: $10", u"abcdefghij"_s, ten, u"$10"_s, u"j"_s);
    regex("$100 is group 10 then 0", u"abcdefghij"_s, ten, u"$100"_s, u"j0"_s);
    regex("dollar dollar", u"a"_s, u"a"_s, u"$$1"_s, u"$1"_s);
    regex("lone dollar at the end", u"ba"_s, u"a"_s, u"x$"_s, u"bx$"_s);
    regex("dollar before a letter stays", u"a"_s, u"a"_s, u"$x"_s, u"$x"_s);
    regex("unclosed brace stays", u"a"_s, u"a"_s, u"${1"_s, u"${1"_s);
    regex("group that took no part is empty", u"ab"_s, u"(a)|(b)"_s, u"[$2]"_s, u"[][b]"_s);
    regex("empty matches do not loop", u"abc"_s, u"x*"_s, u"-"_s, u"-a-b-c-"_s);
    regex("empty match between astral characters", u"\U0001F600"_qs, u"x*"_s, u"-"_s,
          u"-\U0001F600-"_qs);
    regex("replacement is not searched again", u"aa"_s, u"a"_s, u"aa"_s, u"aaaa"_s);
    regexAnyCase("ignore case", u"IMG_img"_s, u"img"_s, u"P"_s, u"P_P"_s);
    regex("case matters without it", u"IMG_img"_s, u"img"_s, u"P"_s, u"IMG_P"_s);
    regexAnyCase("ignore case beyond ASCII", u"\u00C9T\u00C9"_qs, u"\u00E9t\u00E9"_qs, u"E"_s,
                 u"E"_s);
    regex("no match keeps the text", u"abc"_s, u"q"_s, u"x"_s, u"abc"_s);
    regex("lone surrogate is matched around and kept",
          u"a"_qs + QChar(0xDC80) + u"b"_qs + QChar(0xD800), u"(.)b"_s, u"[$1]"_s,
          u"a["_qs + QChar(0xDC80) + u"]"_qs + QChar(0xD800));
    regex("surrogate pair stays a pair", u"\U0001F600"_qs, u"."_s, u"<$0>"_s, u"<\U0001F600>"_qs);
    regex("may produce a slash", u"a_b"_s, u"_"_s, u"/"_s, u"a/b"_s);
    regex("may produce an empty name", u"abc"_s, u".*"_s, u""_s, u""_s);
}

void tst_TextRules::replace()
{
    QFETCH(bool, pattern);
    QFETCH(Qt::CaseSensitivity, sensitivity);
    QFETCH(QString, text);
    QFETCH(QString, search);
    QFETCH(QString, replacement);
    if (!pattern) {
        QTEST(replaceAll(text, search, replacement, sensitivity), "expected");
        return;
    }
    const PatternSearch patternSearch(search, replacement, sensitivity == Qt::CaseInsensitive);
    QVERIFY2(patternSearch.isValid(), qPrintable(patternSearch.errorString()));
    QTEST(patternSearch.replaceAll(text), "expected");
}

void tst_TextRules::caseRules_data()
{
    QTest::addColumn<CaseRule>("rule");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char *name, CaseRule rule, const QString &text,
                        const QString &expected) {
        QTest::newRow(name) << rule << text << expected;
    };
    row("lower", Lower, u"Photo.JPG"_s, u"photo.jpg"_s);
    row("upper", Upper, u"Photo.JPG"_s, u"PHOTO.JPG"_s);
    row("upper sharp s grows", Upper, u"straße"_s, u"STRASSE"_s);
    row("lower final sigma", Lower, u"ΟΔΟΣ ΣΟ"_s, u"οδος σο"_s);
    // Before ".txt" the sigma is not final: a cased letter follows the dot.
    row("lower sigma before extension", Lower, u"ΟΔΟΣ.txt"_s, u"οδοσ.txt"_s);
    row("upper sigma before extension", Upper, u"ΟΔΟΣ.txt"_s, u"ΟΔΟΣ.TXT"_s);
    row("lower dotted I is not Turkish", Lower, u"I"_s, u"i"_s);
    row("lower astral", Lower, u"\U00010400"_s, u"\U00010428"_s);
    row("apostrophe inside a word", Title, u"won't stop"_s, u"Won't Stop"_s);
    row("right single quote inside a word", Title, u"DON\u2019T panic"_qs, u"Don\u2019t Panic"_qs);
    row("every separator", Title, u"a b-c_d.e(f[g"_s, u"A B-C_D.E(F[G"_s);
    row("rest of a word goes lower", Title, u"hELLO wORLD"_s, u"Hello World"_s);
    row("digits start a word as they are", Title, u"2ND PLACE"_s, u"2nd Place"_s);
    row("opening quote before the letter", Title, u"'hello' \"x\""_s, u"'Hello' \"X\""_s);
    row("comma does not start a word", Title, u"one,two"_s, u"One,two"_s);
    row("empty", Title, u""_s, u""_s);
    row("separators only", Title, u" -_"_s, u" -_"_s);
    row("sharp s at the start", Title, u"\u00DFtra\u00DFe"_qs, u"Sstra\u00DFe"_qs);
    row("ligature fi", Title, u"\uFB01sh"_qs, u"Fish"_qs);
    row("digraph dz takes its title form", Title, u"\u01C6ungla"_qs, u"\u01C5ungla"_qs);
    row("final sigma", Title, u"\u039F\u0394\u039F\u03A3 \u039A\u0391\u0399"_qs,
        u"\u039F\u03B4\u03BF\u03C2 \u039A\u03B1\u03B9"_qs);
    row("sigma after the first letter is final", Title, u"\u0391\u03A3"_qs, u"\u0391\u03C2"_qs);
    row("astral letters", Title, u"\U00010428\U00010429 \U00010400\U00010401"_qs,
        u"\U00010400\U00010429 \U00010400\U00010429"_qs);
    row("decomposed accent stays on its letter", Title, u"e\u0301COLE"_qs, u"E\u0301cole"_qs);
    row("dotted capital I is not Turkish", Title, u"IRMAK ISIK"_s, u"Irmak Isik"_s);
    row("upper, then lower", Sentence, u"HELLO world"_s, u"Hello world"_s);
    row("apostrophe", Sentence, u"WON'T STOP"_s, u"Won't stop"_s);
    row("leading digits then a word", Sentence, u"01 - TRACK NAME"_s, u"01 - Track name"_s);
    row("the first letter, even after a digit", Sentence, u"2ND PLACE"_s, u"2Nd place"_s);
    row("no letter at all", Sentence, u"2024-01"_s, u"2024-01"_s);
    row("empty, sentence", Sentence, u""_s, u""_s);
    row("sharp s", Sentence, u"\u00DFE GRO\u00DF"_qs, u"Sse gro\u00DF"_qs);
    row("final sigma, sentence", Sentence, u"\u039F\u0394\u039F\u03A3"_qs,
        u"\u039F\u03B4\u03BF\u03C2"_qs);
    row("astral first letter", Sentence, u"\U00010428\U00010401"_qs, u"\U00010400\U00010429"_qs);
}

void tst_TextRules::caseRules()
{
    QFETCH(CaseRule, rule);
    QFETCH(QString, text);
    QTEST(rule == Lower   ? lowercase(text)
          : rule == Upper ? uppercase(text)
          : rule == Title ? titleCase(text)
                          : sentenceCase(text),
          "expected");
}

void tst_TextRules::faults_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<qsizetype>("offset");
    // A fault of the pattern, with no replacement; one of the replacement of "(a)".
    const auto inPattern = [](const char *tag, const QString &pattern, const QString &reason,
                              qsizetype offset) {
        QTest::newRow(tag) << pattern << u""_s << int(PatternSearch::Fault::Pattern) << reason
                           << offset;
    };
    const auto inReplacement = [](const char *tag, const QString &replacement,
                                  const QString &reason, qsizetype offset) {
        QTest::newRow(tag) << u"(a)"_s << replacement << int(PatternSearch::Fault::Replacement)
                           << reason << offset;
    };
    inPattern("unclosed group", u"a(b"_s, u"missing closing parenthesis"_s, 3);
    inPattern("unmatched closing parenthesis", u"ab)"_s, u"unmatched closing parenthesis"_s, 2);
    inPattern("nothing to repeat", u"*a"_s, u"quantifier does not follow a repeatable item"_s, 0);
    inPattern("unclosed class", u"[a"_s, u"missing terminating ] for character class"_s, 2);
    inPattern("bad escape", u"a\\"_s, u"\\ at end of pattern"_s, 2);
    inPattern("range out of order", u"[z-a]"_s, u"range out of order in character class"_s, 3);
    inPattern("bad quantifier range", u"a{3,1}"_s, u"numbers out of order in {} quantifier"_s, 5);
    inPattern("unknown group name in the pattern", u"\\k<x>"_s,
              u"reference to non-existent subpattern"_s, 3);
    inPattern("lookbehind not fixed length", u"(?<=a+)b"_s,
              u"lookbehind assertion is not fixed length"_s, 0);
    inReplacement("missing named group", u"${missing}"_s,
                  u"no group named \"missing\" in the pattern"_s, 0);
    inReplacement("group beyond the count", u"x$2"_s, u"no group 2 in the pattern"_s, 1);
    inReplacement("two digits beyond the count", u"$12"_s, u"no group 12 in the pattern"_s, 0);
    inReplacement("empty braces", u"${}"_s, u"no group named \"\" in the pattern"_s, 0);
}

void tst_TextRules::faults()
{
    QFETCH(QString, pattern);
    QFETCH(QString, replacement);
    QFETCH(int, fault);
    const PatternSearch search(pattern, replacement, false);
    QVERIFY(!search.isValid());
    QCOMPARE(int(search.fault()), fault);
    QTEST(search.errorString(), "reason");
    QTEST(search.errorOffset(), "offset");
    QCOMPARE(search.replaceAll(u"abc"_s), u"abc"_s);
}

void tst_TextRules::backtrackingIsBounded()
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

QTEST_GUILESS_MAIN(tst_TextRules)
#include "tst_textrules.moc"
