// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/textrules.h"

#include <QTest>

using namespace TextRules;

using namespace Qt::StringLiterals;

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
    void caseMapping_data();
    void caseMapping();
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
    QFETCH(QString, base);
    QFETCH(QString, extension);
    QFETCH(QString, shownExtension);
    QCOMPARE(baseName(name), base);
    QCOMPARE(pathExtension(name), extension);
    QCOMPARE(displayExtension(name), shownExtension);
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
    QTest::newRow("huge index") << 1 << 1 << 1 << qint64(1) << u"2"_s;
    QTest::newRow("min value") << -2147483647 - 1 << 0 << 12 << qint64(0) << u"-02147483648"_s;
}

void tst_TextRules::counter()
{
    QFETCH(int, start);
    QFETCH(int, step);
    QFETCH(int, digits);
    QFETCH(qint64, index);
    QFETCH(QString, expected);
    QCOMPARE(counterText(start, step, digits, index), expected);
}

void tst_TextRules::replace_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty search leaves text") << u"abc"_s << u""_s << u"x"_s << u"abc"_s;
    QTest::newRow("every occurrence") << u"a.b.c"_s << u"."_s << u"_"_s << u"a_b_c"_s;
    QTest::newRow("non-overlapping") << u"aaaa"_s << u"aa"_s << u"b"_s << u"bb"_s;
    QTest::newRow("one pass") << u"ab"_s << u"a"_s << u"aa"_s << u"aab"_s;
    QTest::newRow("case-sensitive") << u"Test test"_s << u"test"_s << u"X"_s << u"Test X"_s;
    QTest::newRow("deletes") << u"TestFile"_s << u"Test"_s << u""_s << u"File"_s;
    QTest::newRow("NFC text, NFD search")
        << u"caf\u00E9.txt"_s << u"e\u0301"_s << u"E"_s << u"cafE.txt"_s;
    QTest::newRow("NFD text, NFC search")
        << u"cafe\u0301.txt"_s << u"\u00E9"_s << u"E"_s << u"cafE.txt"_s;
    QTest::newRow("base letter does not match accented")
        << u"cafe\u0301 e"_s << u"e"_s << u"X"_s << u"cafe\u0301 X"_s;
    QTest::newRow("precomposed not matched by base")
        << u"caf\u00E9"_s << u"e"_s << u"X"_s << u"caf\u00E9"_s;
    QTest::newRow("reordered accents")
        << u"a\u0301\u0323"_s << u"a\u0323\u0301"_s << u"x"_s << u"x"_s;
    QTest::newRow("Hangul syllable vs jamo")
        << u"\u1100\u1161!"_s << u"\uAC00"_s << u"k"_s << u"k!"_s;
    QTest::newRow("jamo vs Hangul syllable")
        << u"\uAC00!"_s << u"\u1100\u1161"_s << u"k"_s << u"k!"_s;
    QTest::newRow("unmatched text stays unnormalised")
        << u"e\u0301 x \u00E9"_s << u"x"_s << u"y"_s << u"e\u0301 y \u00E9"_s;
    QTest::newRow("astral") << u"a\U0001F600b\U0001F600"_s << u"\U0001F600"_s << u"-"_s
                            << u"a-b-"_s;
    QTest::newRow("lone surrogate never splits a pair")
        << u"\U0001F600"_s << QString(QChar(0xD83D)) << u"x"_s << u"\U0001F600"_s;
    QTest::newRow("Kelvin sign matches K") << u"OK"_s << u"\u212A"_s << u"k"_s << u"Ok"_s;
    QTest::newRow("combining mark search") << u"\u0301a"_s << u"\u0301"_s << u""_s << u"a"_s;
}

void tst_TextRules::replace()
{
    QFETCH(QString, text);
    QFETCH(QString, search);
    QFETCH(QString, replacement);
    QFETCH(QString, expected);
    QCOMPARE(replaceAll(text, search, replacement), expected);
}

void tst_TextRules::caseMapping_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("lower");
    QTest::addColumn<QString>("upper");
    QTest::newRow("ascii") << u"Photo.JPG"_s << u"photo.jpg"_s << u"PHOTO.JPG"_s;
    QTest::newRow("sharp s grows") << u"straße"_s << u"straße"_s << u"STRASSE"_s;
    QTest::newRow("final sigma") << u"ΟΔΟΣ ΣΟ"_s << u"οδος σο"_s << u"ΟΔΟΣ ΣΟ"_s;
    // Before ".txt" the sigma is not final: a cased letter follows the dot.
    QTest::newRow("sigma before extension") << u"ΟΔΟΣ.txt"_s << u"οδοσ.txt"_s << u"ΟΔΟΣ.TXT"_s;
    QTest::newRow("dotted I is not Turkish") << u"I"_s << u"i"_s << u"I"_s;
    QTest::newRow("astral") << u"\U00010400"_s << u"\U00010428"_s << u"\U00010400"_s;
}

void tst_TextRules::caseMapping()
{
    QFETCH(QString, text);
    QFETCH(QString, lower);
    QFETCH(QString, upper);
    QCOMPARE(lowercase(text), lower);
    QCOMPARE(uppercase(text), upper);
}

QTEST_GUILESS_MAIN(tst_TextRules)
#include "tst_textrules.moc"
