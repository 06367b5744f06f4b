// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/namecomposer.h"
#include "rules/textrules.h"

#include <QTest>

using namespace Qt::StringLiterals;

// Title Case, Sentence case and the literal search that ignores case.
class tst_TextCase : public QObject
{
    Q_OBJECT
private slots:
    void titleCase_data();
    void titleCase();
    void sentenceCase_data();
    void sentenceCase();
    void ignoreCase_data();
    void ignoreCase();
    void composedCase_data();
    void composedCase();
};

void tst_TextCase::titleCase_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("apostrophe inside a word") << u"won't stop"_s << u"Won't Stop"_s;
    QTest::newRow("right single quote inside a word")
        << u"DON\u2019T panic"_qs << u"Don\u2019t Panic"_qs;
    QTest::newRow("every separator") << u"a b-c_d.e(f[g"_s << u"A B-C_D.E(F[G"_s;
    QTest::newRow("rest of a word goes lower") << u"hELLO wORLD"_s << u"Hello World"_s;
    QTest::newRow("digits start a word as they are") << u"2ND PLACE"_s << u"2nd Place"_s;
    QTest::newRow("opening quote before the letter") << u"'hello' \"x\""_s << u"'Hello' \"X\""_s;
    QTest::newRow("comma does not start a word") << u"one,two"_s << u"One,two"_s;
    QTest::newRow("empty") << u""_s << u""_s;
    QTest::newRow("separators only") << u" -_"_s << u" -_"_s;
    QTest::newRow("sharp s at the start") << u"\u00DFtra\u00DFe"_qs << u"Sstra\u00DFe"_qs;
    QTest::newRow("ligature fi") << u"\uFB01sh"_qs << u"Fish"_qs;
    QTest::newRow("digraph dz takes its title form") << u"\u01C6ungla"_qs << u"\u01C5ungla"_qs;
    QTest::newRow("final sigma") << u"\u039F\u0394\u039F\u03A3 \u039A\u0391\u0399"_qs
                                 << u"\u039F\u03B4\u03BF\u03C2 \u039A\u03B1\u03B9"_qs;
    QTest::newRow("sigma after the first letter is final")
        << u"\u0391\u03A3"_qs << u"\u0391\u03C2"_qs;
    QTest::newRow("astral letters") << u"\U00010428\U00010429 \U00010400\U00010401"_qs
                                    << u"\U00010400\U00010429 \U00010400\U00010429"_qs;
    QTest::newRow("decomposed accent stays on its letter")
        << u"e\u0301COLE"_qs << u"E\u0301cole"_qs;
    QTest::newRow("dotted capital I is not Turkish") << u"IRMAK ISIK"_s << u"Irmak Isik"_s;
}

void tst_TextCase::titleCase()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(TextRules::titleCase(text), expected);
}

void tst_TextCase::sentenceCase_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("issue example") << u"HELLO world"_s << u"Hello world"_s;
    QTest::newRow("apostrophe") << u"WON'T STOP"_s << u"Won't stop"_s;
    QTest::newRow("leading digits then a word") << u"01 - TRACK NAME"_s << u"01 - Track name"_s;
    QTest::newRow("the first letter, even after a digit") << u"2ND PLACE"_s << u"2Nd place"_s;
    QTest::newRow("no letter at all") << u"2024-01"_s << u"2024-01"_s;
    QTest::newRow("empty") << u""_s << u""_s;
    QTest::newRow("sharp s") << u"\u00DFE GRO\u00DF"_qs << u"Sse gro\u00DF"_qs;
    QTest::newRow("final sigma") << u"\u039F\u0394\u039F\u03A3"_qs
                                 << u"\u039F\u03B4\u03BF\u03C2"_qs;
    QTest::newRow("astral first letter")
        << u"\U00010428\U00010401"_qs << u"\U00010400\U00010429"_qs;
}

void tst_TextCase::sentenceCase()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(TextRules::sentenceCase(text), expected);
}

void tst_TextCase::ignoreCase_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("expected");
    QTest::newRow("ascii") << u"IMG_img_Img"_s << u"img"_s << u"x"_s << u"x_x_x"_s;
    QTest::newRow("accented, precomposed against decomposed")
        << u"\u00C9t\u00E9 E\u0301TE\u0301"_qs << u"e\u0301te\u0301"_qs << u"S"_s << u"S S"_s;
    QTest::newRow("greek") << u"\u039F\u0394\u039F\u03A3"_qs << u"\u03BF\u03B4"_qs << u"x"_s
                           << u"x\u039F\u03A3"_qs;
    QTest::newRow("astral") << u"\U00010400a"_qs << u"\U00010428A"_qs << u"y"_s << u"y"_s;
    QTest::newRow("accent must still match whole characters")
        << u"E\u0301"_qs << u"e"_s << u"x"_s << u"E\u0301"_qs;
    QTest::newRow("empty search leaves the text") << u"abc"_s << u""_s << u"x"_s << u"abc"_s;
}

void tst_TextCase::ignoreCase()
{
    QFETCH(QString, text);
    QFETCH(QString, search);
    QFETCH(QString, replacement);
    QFETCH(QString, expected);
    QCOMPARE(TextRules::replaceAll(text, search, replacement, Qt::CaseInsensitive), expected);
}

void tst_TextCase::composedCase_data()
{
    QTest::addColumn<int>("caseTag");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("title keeps the extension") << 3 << u"won't stop.MP3"_s << u"Won't Stop.MP3"_s;
    QTest::newRow("sentence keeps the extension")
        << 4 << u"HELLO world.TXT"_s << u"Hello world.TXT"_s;
    QTest::newRow("title of a name without extension") << 3 << u"read me"_s << u"Read Me"_s;
    QTest::newRow("title of a dot file is the whole name")
        << 3 << u".bash profile"_s << u".Bash Profile"_s;
    QTest::newRow("title with an inner dot") << 3 << u"a.b.c.JPG"_s << u"A.B.C.JPG"_s;
    QTest::newRow("tag 5 keeps the case") << 5 << u"hELLO.txt"_s << u"hELLO.txt"_s;
}

void tst_TextCase::composedCase()
{
    QFETCH(int, caseTag);
    QFETCH(QString, name);
    QFETCH(QString, expected);
    RenameSettings settings;
    settings.caseTag = caseTag;
    QCOMPARE(NameComposer(settings).newNameForFile({name, 0}, 0), expected);
}

QTEST_GUILESS_MAIN(tst_TextCase)
#include "tst_textcase.moc"
