// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/zqfile.h"
#include "records.h"
#include "rules/datetimetags.h"
#include "rules/intervaltags.h"

#include <QTest>

using namespace Qt::StringLiterals;

// Runs with TZ=Europe/Berlin: every expectation is local wall-clock time.
class tst_DateTimeTags : public QObject
{
    Q_OBJECT
private slots:
    void tokens_data();
    void tokens();
    void recordWithoutDateUsesItsCreation();
    void expansion_data();
    void expansion();
};

void tst_DateTimeTags::tokens_data()
{
    QTest::addColumn<qint64>("time");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("column"); // the Date column, where given
    const auto at = [](const char *name, const QString &text, const QString &expected) {
        QTest::newRow(name) << localMsecs(2024, 3, 5, 14, 7, 9) << text << expected << QString();
    };
    // The 12-hour clock, its hour alone.
    const auto clock = [](const char *name, int hour, const QString &expected) {
        QTest::newRow(name) << localMsecs(2024, 7, 1, hour, 30, 0) << u"[h]"_s << expected
                            << QString();
    };
    // Negative times round down to the second before, in the tokens and in
    // the Date column alike (Berlin: the epoch is 01:00 local).
    const auto epoch = [](const char *name, qint64 msecs, const QString &tokens,
                          const QString &column) {
        QTest::newRow(name) << msecs << u"[YMD][hms]"_s << tokens << column;
    };
    at("YMD", u"[YMD]"_s, u"20240305"_s);
    at("DMY", u"[DMY]"_s, u"05032024"_s);
    at("MY", u"[MY]"_s, u"032024"_s);
    at("singles, side by side", u"[Y][M]-[D]"_s, u"202403-05"_s);
    at("every order of three", u"[YDM] [DYM] [MYD] [MDY]"_s,
       u"20240503 05202403 03202405 03052024"_s);
    at("pairs", u"[YM] [YD] [MD] [DM] [DY]"_s, u"202403 202405 0305 0503 052024"_s);
    at("hms", u"[hms]"_s, u"020709"_s);
    at("h, m and s", u"[h][m]:[s]"_s, u"0207:09"_s);
    at("sh", u"[sh]"_s, u"0902"_s);
    at("time orders", u"[hsm] [smh] [shm] [mhs] [msh]"_s, u"020907 090702 090207 070209 070902"_s);
    at("time pairs", u"[hm] [mh] [ms] [sm] [hs]"_s, u"0207 0702 0709 0907 0209"_s);
    at("upper time is text", u"[SH][H]"_s, u"[SH][H]"_s);
    at("lower date is text", u"[y][d]"_s, u"[y][d]"_s);
    at("repeated letter is text", u"[YY][hh]"_s, u"[YY][hh]"_s);
    at("four letters is text", u"[YMDY]"_s, u"[YMDY]"_s);
    at("mixed families is text", u"[Yh]"_s, u"[Yh]"_s);
    at("around text", u"a[Y]b[m]c"_s, u"a2024b07c"_s);
    at("combining mark on bracket", u"[Y]\u0301"_s, u"[Y]\u0301"_s);
    at("nested bracket", u"[[Y]]"_s, u"[2024]"_s);

    clock("midnight", 0, u"12"_s);
    clock("one", 1, u"01"_s);
    clock("noon", 12, u"12"_s);
    clock("thirteen", 13, u"01"_s);
    clock("twenty-three", 23, u"11"_s);

    epoch("half a second before", -500, u"19700101125959"_s, u"1970/01/01 00:59"_s);
    epoch("a whole second before", -1000, u"19700101125959"_s, u"1970/01/01 00:59"_s);
    epoch("just before the hour", -3600001, u"19691231115959"_s, u"1969/12/31 23:59"_s);
    epoch("the epoch", 0, u"19700101010000"_s, u"1970/01/01 01:00"_s);
    epoch("1900", -2208992400000, u"19000101120000"_s, u"1900/01/01 00:00"_s);
}

void tst_DateTimeTags::tokens()
{
    QFETCH(qint64, time);
    QFETCH(QString, text);
    ZQFile file;
    file.setAttributes(0, time);
    QTEST(handleTimeForString(handleDateForString(text, file), file), "expected");
    QFETCH(QString, column);
    if (!column.isNull())
        QCOMPARE(file.date(), column);
}

void tst_DateTimeTags::recordWithoutDateUsesItsCreation()
{
    const QDateTime before = QDateTime::currentDateTime();
    ZQFile file;
    const QString year = handleDateForString(u"[Y]"_qs, file);
    QVERIFY(year == QString::number(before.date().year()) ||
            year == QString::number(QDate::currentDate().year()));
}

void tst_DateTimeTags::expansion_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("expected");
    // Most rows take the pieces of one source, "Holiday", through the tag N.
    const auto piece = [](const char *name, const QString &text, const QString &expected,
                          const QString &source = u"Holiday"_s, const QString &tag = u"N"_s) {
        QTest::newRow(name) << text << tag << source << expected;
    };
    piece("first", u"[N1]"_s, u"H"_s);
    piece("third", u"[N3]"_s, u"l"_s);
    piece("zero is first", u"[N0]"_s, u"H"_s);
    piece("past end", u"[N8]"_s, u""_s);
    piece("count", u"[N2,3]"_s, u"oli"_s);
    piece("count past end", u"[N6,5]"_s, u"ay"_s);
    piece("count zero runs to end", u"[N2,0]"_s, u"oliday"_s);
    piece("missing start", u"[N,2]"_s, u"Ho"_s);
    piece("range", u"[N2-4]"_s, u"oli"_s);
    piece("range of one", u"[N3-3]"_s, u"l"_s);
    piece("open start", u"[N-3]"_s, u"Hol"_s);
    piece("open end", u"[N5-]"_s, u"day"_s);
    piece("end past source", u"[N5-99]"_s, u"day"_s);
    piece("reversed runs to end", u"[N4-2]"_s, u"iday"_s);
    piece("whole", u"[N-]"_s, u"Holiday"_s);
    piece("range past end", u"[N10-12]"_s, u""_s);
    piece("extra pieces ignored", u"[N2-4-6]"_s, u"oli"_s);
    piece("comma in range form", u"[N2,3-5]"_s, u"olid"_s);
    piece("no number", u"[Nx]"_s, u"H"_s);
    piece("leading space", u"[N 2]"_s, u"o"_s);
    piece("plus sign", u"[N+2]"_s, u"o"_s);
    piece("beyond 32 bits", u"[N99999999999]"_s, u""_s);
    piece("huge count", u"[N2,99999999999]"_s, u"oliday"_s);
    piece("word opening", u"[New]"_s, u"H"_s);

    piece("no opening", u"Photo"_s, u"Photo"_s);
    piece("opening at end", u"Photo[N"_s, u"Photo[N"_s);
    piece("unfinished", u"Photo[N2"_s, u"Photo[N2"_s);
    piece("unfinished stops later tags", u"[N1]x[N2 [N3"_s, u"Hx[N2 [N3"_s);
    piece("first bracket closes", u"[N3 [N2]"_s, u"l"_s);
    piece("lower case is text", u"[new]"_s, u"[new]"_s);
    piece("two tags", u"[N1][N7]"_s, u"Hy"_s);
    piece("other letter stays", u"[E1][N1]"_s, u"[E1]H"_s);
    piece("empty source", u"a[E1-3]b[E2]"_s, u"ab"_s, u""_s, u"E"_s);
    piece("tag in the source expands", u"a[N]b"_s, u"aab"_s, u"a[N]b"_s);
    piece("piece completes an opening", u"[[N1]1]"_s, u"N"_s, u"N"_s);
    // "[" before the tag plus an "N" piece opens a new tag with the rest.
    piece("piece opens a tag", u"x[[N1]3]"_s, u"xb"_s, u"Nabc"_s);
    piece("astral counted in code units", u"[N1-2]"_s, u"\U0001F600"_s, u"\U0001F600x"_s);
    piece("astral half", u"[N2]"_s, QString(QChar(0xDE00)), u"\U0001F600x"_s);
    piece("extension letter", u"[E1-3]"_s, u"jpe"_s, u"jpeg"_s, u"E"_s);
    // A tag whose piece starts with the tag itself expands again and again
    // until the cap; the text at the cap is exactly the one pass by pass gives.
    piece("same length", u"[N-]"_s, u"[N-]"_s, u"[N-]"_s);
    piece("one more x each pass", u"[N1-]"_s, u"[N1-]"_s + QString(10000, u'x'), u"[N1-]x"_s);
    piece("text around the tag", u"ab[N1-]cd"_s, u"ab[N1-]"_s + QString(10000, u'x') + u"cd"_s,
          u"[N1-]x"_s);
    piece("a second tag behind", u"[N-][N-]"_s, u"[N-]"_s.repeated(10002), u"[N-][N-]"_s);
    piece("a piece of two tags", u"[N1-]"_s, u"[N1-]"_s + u"[N1-]NNNN"_s.repeated(10000),
          u"[N1-][N1-]NNNN"_s);
    const QString x250 = QString(250, u'x');
    piece("stopped by length", u"[N-]"_s + x250, u"[N-]"_s + x250.repeated(4195), u"[N-]"_s + x250);
}

void tst_DateTimeTags::expansion()
{
    QFETCH(QString, text);
    QFETCH(QString, tag);
    QFETCH(QString, source);
    QTEST(handleIntervalTags(text, tag, source), "expected");
}

QTEST_GUILESS_MAIN(tst_DateTimeTags)
#include "tst_datetimetags.moc"
