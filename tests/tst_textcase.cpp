#include "rules/namecomposer.h"
#include "rules/textrules.h"

#include <QTest>

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
    QTest::newRow("apostrophe inside a word") << "won't stop"
                                              << "Won't Stop";
    QTest::newRow("right single quote inside a word")
        << u"DON\u2019T panic"_qs << u"Don\u2019t Panic"_qs;
    QTest::newRow("every separator") << "a b-c_d.e(f[g"
                                     << "A B-C_D.E(F[G";
    QTest::newRow("rest of a word goes lower") << "hELLO wORLD"
                                               << "Hello World";
    QTest::newRow("digits start a word as they are") << "2ND PLACE"
                                                     << "2nd Place";
    QTest::newRow("opening quote before the letter") << "'hello' \"x\""
                                                     << "'Hello' \"X\"";
    QTest::newRow("comma does not start a word") << "one,two"
                                                 << "One,two";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("separators only") << " -_"
                                     << " -_";
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
    QTest::newRow("dotted capital I is not Turkish") << "IRMAK ISIK"
                                                     << "Irmak Isik";
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
    QTest::newRow("issue example") << "HELLO world"
                                   << "Hello world";
    QTest::newRow("apostrophe") << "WON'T STOP"
                                << "Won't stop";
    QTest::newRow("leading digits then a word") << "01 - TRACK NAME"
                                                << "01 - Track name";
    QTest::newRow("the first letter, even after a digit") << "2ND PLACE"
                                                          << "2Nd place";
    QTest::newRow("no letter at all") << "2024-01"
                                      << "2024-01";
    QTest::newRow("empty") << ""
                           << "";
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
    QTest::newRow("ascii") << "IMG_img_Img"
                           << "img"
                           << "x"
                           << "x_x_x";
    QTest::newRow("accented, precomposed against decomposed")
        << u"\u00C9t\u00E9 E\u0301TE\u0301"_qs << u"e\u0301te\u0301"_qs << "S"
        << "S S";
    QTest::newRow("greek") << u"\u039F\u0394\u039F\u03A3"_qs << u"\u03BF\u03B4"_qs << "x"
                           << u"x\u039F\u03A3"_qs;
    QTest::newRow("astral") << u"\U00010400a"_qs << u"\U00010428A"_qs << "y"
                            << "y";
    QTest::newRow("accent must still match whole characters") << u"E\u0301"_qs << "e"
                                                              << "x" << u"E\u0301"_qs;
    QTest::newRow("empty search leaves the text") << "abc"
                                                  << ""
                                                  << "x"
                                                  << "abc";
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
    QTest::newRow("title keeps the extension") << 3 << "won't stop.MP3"
                                               << "Won't Stop.MP3";
    QTest::newRow("sentence keeps the extension") << 4 << "HELLO world.TXT"
                                                  << "Hello world.TXT";
    QTest::newRow("title of a name without extension") << 3 << "read me"
                                                       << "Read Me";
    QTest::newRow("title of a dot file is the whole name") << 3 << ".bash profile"
                                                           << ".Bash Profile";
    QTest::newRow("title with an inner dot") << 3 << "a.b.c.JPG"
                                             << "A.B.C.JPG";
    QTest::newRow("tag 5 keeps the case") << 5 << "hELLO.txt"
                                          << "hELLO.txt";
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
