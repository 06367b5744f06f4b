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
    QTest::newRow("three digits") << 1 << 1 << 3 << qint64(0) << "001";
    QTest::newRow("fifth of three") << 1 << 1 << 3 << qint64(4) << "005";
    QTest::newRow("no width") << 1 << 1 << 0 << qint64(41) << "42";
    QTest::newRow("width one") << 1 << 1 << 1 << qint64(9) << "10";
    QTest::newRow("wider than digits") << 123 << 1 << 2 << qint64(0) << "123";
    QTest::newRow("counting down") << 10 << -1 << 1 << qint64(2) << "8";
    QTest::newRow("minus before zeros") << -5 << 1 << 3 << qint64(0) << "-05";
    QTest::newRow("step zero") << 7 << 0 << 1 << qint64(1000) << "7";
    QTest::newRow("negative digits count as none") << 5 << 1 << -4 << qint64(0) << "5";
    QTest::newRow("wraps at 32 bits") << 2147483647 << 1 << 1 << qint64(1) << "-2147483648";
    QTest::newRow("low 32 bits of a 64-bit value")
        << 0 << 2147483647 << 1 << qint64(4) << "-4"; // 4 * (2^31 - 1) = 2^33 - 4
    QTest::newRow("huge index") << 1 << 1 << 1 << qint64(1) << "2";
    QTest::newRow("min value") << -2147483647 - 1 << 0 << 12 << qint64(0) << "-02147483648";
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
    QTest::newRow("empty search leaves text") << "abc"
                                              << ""
                                              << "x"
                                              << "abc";
    QTest::newRow("every occurrence") << "a.b.c"
                                      << "."
                                      << "_"
                                      << "a_b_c";
    QTest::newRow("non-overlapping") << "aaaa"
                                     << "aa"
                                     << "b"
                                     << "bb";
    QTest::newRow("one pass") << "ab"
                              << "a"
                              << "aa"
                              << "aab";
    QTest::newRow("case-sensitive") << "Test test"
                                    << "test"
                                    << "X"
                                    << "Test X";
    QTest::newRow("deletes") << "TestFile"
                             << "Test"
                             << ""
                             << "File";
    QTest::newRow("NFC text, NFD search") << "caf\u00E9.txt"
                                          << "e\u0301"
                                          << "E"
                                          << "cafE.txt";
    QTest::newRow("NFD text, NFC search") << "cafe\u0301.txt"
                                          << "\u00E9"
                                          << "E"
                                          << "cafE.txt";
    QTest::newRow("base letter does not match accented") << "cafe\u0301 e"
                                                         << "e"
                                                         << "X"
                                                         << "cafe\u0301 X";
    QTest::newRow("precomposed not matched by base") << "caf\u00E9"
                                                     << "e"
                                                     << "X"
                                                     << "caf\u00E9";
    QTest::newRow("reordered accents") << "a\u0301\u0323"
                                       << "a\u0323\u0301"
                                       << "x"
                                       << "x";
    QTest::newRow("Hangul syllable vs jamo") << "\u1100\u1161!"
                                             << "\uAC00"
                                             << "k"
                                             << "k!";
    QTest::newRow("jamo vs Hangul syllable") << "\uAC00!"
                                             << "\u1100\u1161"
                                             << "k"
                                             << "k!";
    QTest::newRow("unmatched text stays unnormalised") << "e\u0301 x \u00E9"
                                                       << "x"
                                                       << "y"
                                                       << "e\u0301 y \u00E9";
    QTest::newRow("astral") << "a\U0001F600b\U0001F600"
                            << "\U0001F600"
                            << "-"
                            << "a-b-";
    QTest::newRow("lone surrogate never splits a pair")
        << "\U0001F600" << QString(QChar(0xD83D)) << "x"
        << "\U0001F600";
    QTest::newRow("Kelvin sign matches K") << "OK"
                                           << "\u212A"
                                           << "k"
                                           << "Ok";
    QTest::newRow("combining mark search") << "\u0301a"
                                           << "\u0301"
                                           << ""
                                           << "a";
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
    QTest::newRow("ascii") << "Photo.JPG"
                           << "photo.jpg"
                           << "PHOTO.JPG";
    QTest::newRow("sharp s grows") << "straße"
                                   << "straße"
                                   << "STRASSE";
    QTest::newRow("final sigma") << "ΟΔΟΣ ΣΟ"
                                 << "οδος σο"
                                 << "ΟΔΟΣ ΣΟ";
    // Before ".txt" the sigma is not final: a cased letter follows the dot.
    QTest::newRow("sigma before extension") << "ΟΔΟΣ.txt"
                                            << "οδοσ.txt"
                                            << "ΟΔΟΣ.TXT";
    QTest::newRow("dotted I is not Turkish") << "I"
                                             << "i"
                                             << "I";
    QTest::newRow("astral") << "\U00010400"
                            << "\U00010428"
                            << "\U00010400";
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
