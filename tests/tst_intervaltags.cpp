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
    QTest::newRow("first") << "[N1]"
                           << "H";
    QTest::newRow("third") << "[N3]"
                           << "l";
    QTest::newRow("zero is first") << "[N0]"
                                   << "H";
    QTest::newRow("past end") << "[N8]"
                              << "";
    QTest::newRow("count") << "[N2,3]"
                           << "oli";
    QTest::newRow("count past end") << "[N6,5]"
                                    << "ay";
    QTest::newRow("count zero runs to end") << "[N2,0]"
                                            << "oliday";
    QTest::newRow("missing start") << "[N,2]"
                                   << "Ho";
    QTest::newRow("range") << "[N2-4]"
                           << "oli";
    QTest::newRow("range of one") << "[N3-3]"
                                  << "l";
    QTest::newRow("open start") << "[N-3]"
                                << "Hol";
    QTest::newRow("open end") << "[N5-]"
                              << "day";
    QTest::newRow("end past source") << "[N5-99]"
                                     << "day";
    QTest::newRow("reversed runs to end") << "[N4-2]"
                                          << "iday";
    QTest::newRow("whole") << "[N-]"
                           << "Holiday";
    QTest::newRow("range past end") << "[N10-12]"
                                    << "";
    QTest::newRow("extra pieces ignored") << "[N2-4-6]"
                                          << "oli";
    QTest::newRow("comma in range form") << "[N2,3-5]"
                                         << "olid";
    QTest::newRow("no number") << "[Nx]"
                               << "H";
    QTest::newRow("leading space") << "[N 2]"
                                   << "o";
    QTest::newRow("plus sign") << "[N+2]"
                               << "o";
    QTest::newRow("beyond 32 bits") << "[N99999999999]"
                                    << "";
    QTest::newRow("huge count") << "[N2,99999999999]"
                                << "oliday";
    QTest::newRow("word opening") << "[New]"
                                  << "H";
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
    QTest::newRow("no opening") << "Photo"
                                << "N"
                                << "Holiday"
                                << "Photo";
    QTest::newRow("opening at end") << "Photo[N"
                                    << "N"
                                    << "Holiday"
                                    << "Photo[N";
    QTest::newRow("unfinished") << "Photo[N2"
                                << "N"
                                << "Holiday"
                                << "Photo[N2";
    QTest::newRow("unfinished stops later tags") << "[N1]x[N2 [N3"
                                                 << "N"
                                                 << "Holiday"
                                                 << "Hx[N2 [N3";
    QTest::newRow("first bracket closes") << "[N3 [N2]"
                                          << "N"
                                          << "Holiday"
                                          << "l";
    QTest::newRow("lower case is text") << "[new]"
                                        << "N"
                                        << "Holiday"
                                        << "[new]";
    QTest::newRow("two tags") << "[N1][N7]"
                              << "N"
                              << "Holiday"
                              << "Hy";
    QTest::newRow("other letter stays") << "[E1][N1]"
                                        << "N"
                                        << "Holiday"
                                        << "[E1]H";
    QTest::newRow("empty source") << "a[E1-3]b[E2]"
                                  << "E"
                                  << ""
                                  << "ab";
    QTest::newRow("tag in the source expands") << "a[N]b"
                                               << "N"
                                               << "a[N]b"
                                               << "aab";
    QTest::newRow("piece completes an opening") << "[[N1]1]"
                                                << "N"
                                                << "N"
                                                << "N";
    // "[" before the tag plus an "N" piece opens a new tag with the rest.
    QTest::newRow("piece opens a tag") << "x[[N1]3]"
                                       << "N"
                                       << "Nabc"
                                       << "xb";
    QTest::newRow("astral counted in code units") << "[N1-2]"
                                                  << "N"
                                                  << "\U0001F600x"
                                                  << "\U0001F600";
    QTest::newRow("astral half") << "[N2]"
                                 << "N"
                                 << "\U0001F600x" << QString(QChar(0xDE00));
    QTest::newRow("extension letter") << "[E1-3]"
                                      << "E"
                                      << "jpeg"
                                      << "jpe";
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
