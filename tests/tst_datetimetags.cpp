// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/zqfile.h"
#include "rules/datetimetags.h"

#include <QTest>

using namespace Qt::StringLiterals;

// Runs with TZ=Europe/Berlin: every expectation is local wall-clock time.
class tst_DateTimeTags : public QObject
{
    Q_OBJECT
private slots:
    void tokens_data();
    void tokens();
    void twelveHourClock_data();
    void twelveHourClock();
    void recordWithoutDateUsesItsCreation();
    void beforeTheEpoch_data();
    void beforeTheEpoch();
};

static qint64 localMsecs(int year, int month, int day, int hour, int minute, int second)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::LocalTime)
        .toMSecsSinceEpoch();
}

void tst_DateTimeTags::tokens_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("YMD") << u"[YMD]"_s << u"20240305"_s;
    QTest::newRow("DMY") << u"[DMY]"_s << u"05032024"_s;
    QTest::newRow("MY") << u"[MY]"_s << u"032024"_s;
    QTest::newRow("singles") << u"[Y]-[M]-[D]"_s << u"2024-03-05"_s;
    QTest::newRow("every order of three") << u"[YDM][DYM][MYD][MDY]"_s
                                          << u"20240503"_s
                                             "05202403"
                                             "03202405"
                                             "03052024";
    QTest::newRow("pairs") << u"[YM][YD][MD][DM][DY]"_s
                           << u"202403"_s
                              "202405"
                              "0305"
                              "0503"
                              "052024";
    QTest::newRow("hms") << u"[hms]"_s << u"020709"_s;
    QTest::newRow("h:m") << u"[h]:[m]"_s << u"02:07"_s;
    QTest::newRow("sh") << u"[sh]"_s << u"0902"_s;
    QTest::newRow("time orders") << u"[hsm][smh][shm][mhs][msh]"_s
                                 << u"020907"_s
                                    "090702"
                                    "090207"
                                    "070209"
                                    "070902";
    QTest::newRow("time pairs") << u"[hm][mh][ms][sm][hs]"_s
                                << u"0207"_s
                                   "0702"
                                   "0709"
                                   "0907"
                                   "0209";
    QTest::newRow("upper time is text") << u"[SH][H]"_s << u"[SH][H]"_s;
    QTest::newRow("lower date is text") << u"[y][d]"_s << u"[y][d]"_s;
    QTest::newRow("repeated letter is text") << u"[YY][hh]"_s << u"[YY][hh]"_s;
    QTest::newRow("four letters is text") << u"[YMDY]"_s << u"[YMDY]"_s;
    QTest::newRow("mixed families is text") << u"[Yh]"_s << u"[Yh]"_s;
    QTest::newRow("around text") << u"a[Y]b[m]c"_s << u"a2024b07c"_s;
    QTest::newRow("combining mark on bracket") << u"[Y]\u0301"_s << u"[Y]\u0301"_s;
    QTest::newRow("nested bracket") << u"[[Y]]"_s << u"[2024]"_s;
}

void tst_DateTimeTags::tokens()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    ZQFile file;
    file.setAttributes(0, localMsecs(2024, 3, 5, 14, 7, 9));
    QCOMPARE(handleTimeForString(handleDateForString(text, file), file), expected);
}

void tst_DateTimeTags::twelveHourClock_data()
{
    QTest::addColumn<int>("hour");
    QTest::addColumn<QString>("expected");
    QTest::newRow("midnight") << 0 << u"12"_s;
    QTest::newRow("one") << 1 << u"01"_s;
    QTest::newRow("noon") << 12 << u"12"_s;
    QTest::newRow("thirteen") << 13 << u"01"_s;
    QTest::newRow("twenty-three") << 23 << u"11"_s;
}

void tst_DateTimeTags::twelveHourClock()
{
    QFETCH(int, hour);
    QFETCH(QString, expected);
    ZQFile file;
    file.setAttributes(0, localMsecs(2024, 7, 1, hour, 30, 0));
    QCOMPARE(handleTimeForString(u"[h]"_qs, file), expected);
}

void tst_DateTimeTags::recordWithoutDateUsesItsCreation()
{
    const QDateTime before = QDateTime::currentDateTime();
    ZQFile file;
    const QString year = handleDateForString(u"[Y]"_qs, file);
    QVERIFY(year == QString::number(before.date().year()) ||
            year == QString::number(QDate::currentDate().year()));
}

// Negative times round down to the second before, in the tokens and in the
// Date column alike (Berlin: the epoch is 01:00 local).
void tst_DateTimeTags::beforeTheEpoch_data()
{
    QTest::addColumn<qint64>("msecs");
    QTest::addColumn<QString>("tokens");
    QTest::addColumn<QString>("column");
    QTest::newRow("half a second before")
        << qint64(-500) << u"19700101125959"_s << u"1970/01/01 00:59"_s;
    QTest::newRow("a whole second before")
        << qint64(-1000) << u"19700101125959"_s << u"1970/01/01 00:59"_s;
    QTest::newRow("just before the hour")
        << qint64(-3600001) << u"19691231115959"_s << u"1969/12/31 23:59"_s;
    QTest::newRow("the epoch") << qint64(0) << u"19700101010000"_s << u"1970/01/01 01:00"_s;
    QTest::newRow("1900") << qint64(-2208992400000) << u"19000101120000"_s << u"1900/01/01 00:00"_s;
}

void tst_DateTimeTags::beforeTheEpoch()
{
    QFETCH(qint64, msecs);
    ZQFile file;
    file.setAttributes(0, msecs);
    QTEST(handleTimeForString(handleDateForString(u"[YMD][hms]"_qs, file), file), "tokens");
    QTEST(file.date(), "column");
}

QTEST_GUILESS_MAIN(tst_DateTimeTags)
#include "tst_datetimetags.moc"
