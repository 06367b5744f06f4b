// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/intervaltags.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_IntervalTags : public QObject
{
    Q_OBJECT
private slots:
    void holidayPieces_data();
    void holidayPieces();
    void expansion_data();
    void expansion();
    void selfReproducingTagAtCap_data();
    void selfReproducingTagAtCap();
};

void tst_IntervalTags::holidayPieces_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("piece");
    QTest::newRow("first") << u"[N1]"_s << u"H"_s;
    QTest::newRow("third") << u"[N3]"_s << u"l"_s;
    QTest::newRow("zero is first") << u"[N0]"_s << u"H"_s;
    QTest::newRow("past end") << u"[N8]"_s << u""_s;
    QTest::newRow("count") << u"[N2,3]"_s << u"oli"_s;
    QTest::newRow("count past end") << u"[N6,5]"_s << u"ay"_s;
    QTest::newRow("count zero runs to end") << u"[N2,0]"_s << u"oliday"_s;
    QTest::newRow("missing start") << u"[N,2]"_s << u"Ho"_s;
    QTest::newRow("range") << u"[N2-4]"_s << u"oli"_s;
    QTest::newRow("range of one") << u"[N3-3]"_s << u"l"_s;
    QTest::newRow("open start") << u"[N-3]"_s << u"Hol"_s;
    QTest::newRow("open end") << u"[N5-]"_s << u"day"_s;
    QTest::newRow("end past source") << u"[N5-99]"_s << u"day"_s;
    QTest::newRow("reversed runs to end") << u"[N4-2]"_s << u"iday"_s;
    QTest::newRow("whole") << u"[N-]"_s << u"Holiday"_s;
    QTest::newRow("range past end") << u"[N10-12]"_s << u""_s;
    QTest::newRow("extra pieces ignored") << u"[N2-4-6]"_s << u"oli"_s;
    QTest::newRow("comma in range form") << u"[N2,3-5]"_s << u"olid"_s;
    QTest::newRow("no number") << u"[Nx]"_s << u"H"_s;
    QTest::newRow("leading space") << u"[N 2]"_s << u"o"_s;
    QTest::newRow("plus sign") << u"[N+2]"_s << u"o"_s;
    QTest::newRow("beyond 32 bits") << u"[N99999999999]"_s << u""_s;
    QTest::newRow("huge count") << u"[N2,99999999999]"_s << u"oliday"_s;
    QTest::newRow("word opening") << u"[New]"_s << u"H"_s;
}

void tst_IntervalTags::holidayPieces()
{
    QFETCH(QString, tag);
    QFETCH(QString, piece);
    QCOMPARE(handleIntervalTags(tag, u"N"_qs, u"Holiday"_qs), piece);
}

void tst_IntervalTags::expansion_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no opening") << u"Photo"_s << u"N"_s << u"Holiday"_s << u"Photo"_s;
    QTest::newRow("opening at end") << u"Photo[N"_s << u"N"_s << u"Holiday"_s << u"Photo[N"_s;
    QTest::newRow("unfinished") << u"Photo[N2"_s << u"N"_s << u"Holiday"_s << u"Photo[N2"_s;
    QTest::newRow("unfinished stops later tags")
        << u"[N1]x[N2 [N3"_s << u"N"_s << u"Holiday"_s << u"Hx[N2 [N3"_s;
    QTest::newRow("first bracket closes") << u"[N3 [N2]"_s << u"N"_s << u"Holiday"_s << u"l"_s;
    QTest::newRow("lower case is text") << u"[new]"_s << u"N"_s << u"Holiday"_s << u"[new]"_s;
    QTest::newRow("two tags") << u"[N1][N7]"_s << u"N"_s << u"Holiday"_s << u"Hy"_s;
    QTest::newRow("other letter stays") << u"[E1][N1]"_s << u"N"_s << u"Holiday"_s << u"[E1]H"_s;
    QTest::newRow("empty source") << u"a[E1-3]b[E2]"_s << u"E"_s << u""_s << u"ab"_s;
    QTest::newRow("tag in the source expands") << u"a[N]b"_s << u"N"_s << u"a[N]b"_s << u"aab"_s;
    QTest::newRow("piece completes an opening") << u"[[N1]1]"_s << u"N"_s << u"N"_s << u"N"_s;
    // "[" before the tag plus an "N" piece opens a new tag with the rest.
    QTest::newRow("piece opens a tag") << u"x[[N1]3]"_s << u"N"_s << u"Nabc"_s << u"xb"_s;
    QTest::newRow("astral counted in code units")
        << u"[N1-2]"_s << u"N"_s << u"\U0001F600x"_s << u"\U0001F600"_s;
    QTest::newRow("astral half") << u"[N2]"_s << u"N"_s << u"\U0001F600x"_s
                                 << QString(QChar(0xDE00));
    QTest::newRow("extension letter") << u"[E1-3]"_s << u"E"_s << u"jpeg"_s << u"jpe"_s;
}

void tst_IntervalTags::expansion()
{
    QFETCH(QString, text);
    QFETCH(QString, tag);
    QFETCH(QString, source);
    QFETCH(QString, expected);
    QCOMPARE(handleIntervalTags(text, tag, source), expected);
}

// A tag whose piece starts with the tag itself expands again and again
// until the cap; the text at the cap is exactly the one pass by pass gives.
void tst_IntervalTags::selfReproducingTagAtCap_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("head");
    QTest::addColumn<QString>("repeated");
    QTest::addColumn<qsizetype>("copies");
    QTest::addColumn<QString>("tail");
    QTest::newRow("same length") << u"[N-]"_s << u"[N-]"_s << u"[N-]"_s << QString() << qsizetype(0)
                                 << QString();
    QTest::newRow("one more x each pass")
        << u"[N1-]"_qs << u"[N1-]x"_s << u"[N1-]"_qs << u"x"_s << qsizetype(10000) << QString();
    QTest::newRow("text around the tag")
        << u"ab[N1-]cd"_s << u"[N1-]x"_s << u"ab[N1-]"_s << u"x"_s << qsizetype(10000) << u"cd"_s;
    QTest::newRow("a second tag behind") << u"[N-][N-]"_s << u"[N-][N-]"_s << u"[N-]"_s << u"[N-]"_s
                                         << qsizetype(10000) << u"[N-]"_s;
    QTest::newRow("the issue's name") << u"[N1-]"_qs << u"[N1-][N1-]NNNN"_s << u"[N1-]"_qs
                                      << u"[N1-]NNNN"_s << qsizetype(10000) << QString();
    QTest::newRow("stopped by length")
        << u"[N-]"_s + QString(250, u'x') << u"[N-]"_s + QString(250, u'x') << u"[N-]"_s
        << QString(250, u'x') << qsizetype(4194) << QString(250, u'x');
}

void tst_IntervalTags::selfReproducingTagAtCap()
{
    QFETCH(QString, text);
    QFETCH(QString, source);
    QFETCH(QString, head);
    QFETCH(QString, repeated);
    QFETCH(qsizetype, copies);
    QFETCH(QString, tail);
    const QString result = handleIntervalTags(text, u"N"_s, source);
    QCOMPARE(result.size(), head.size() + repeated.size() * copies + tail.size());
    QCOMPARE(result, head + repeated.repeated(copies) + tail);
}

QTEST_GUILESS_MAIN(tst_IntervalTags)
#include "tst_intervaltags.moc"
