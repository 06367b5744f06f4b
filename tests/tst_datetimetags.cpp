#include "files/zqfile.h"
#include "rules/datetimetags.h"

#include <QTest>

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
    QTest::newRow("YMD") << "[YMD]"
                         << "20240305";
    QTest::newRow("DMY") << "[DMY]"
                         << "05032024";
    QTest::newRow("MY") << "[MY]"
                        << "032024";
    QTest::newRow("singles") << "[Y]-[M]-[D]"
                             << "2024-03-05";
    QTest::newRow("every order of three") << "[YDM][DYM][MYD][MDY]"
                                          << "20240503"
                                             "05202403"
                                             "03202405"
                                             "03052024";
    QTest::newRow("pairs") << "[YM][YD][MD][DM][DY]"
                           << "202403"
                              "202405"
                              "0305"
                              "0503"
                              "052024";
    QTest::newRow("hms") << "[hms]"
                         << "020709";
    QTest::newRow("h:m") << "[h]:[m]"
                         << "02:07";
    QTest::newRow("sh") << "[sh]"
                        << "0902";
    QTest::newRow("time orders") << "[hsm][smh][shm][mhs][msh]"
                                 << "020907"
                                    "090702"
                                    "090207"
                                    "070209"
                                    "070902";
    QTest::newRow("time pairs") << "[hm][mh][ms][sm][hs]"
                                << "0207"
                                   "0702"
                                   "0709"
                                   "0907"
                                   "0209";
    QTest::newRow("upper time is text") << "[SH][H]"
                                        << "[SH][H]";
    QTest::newRow("lower date is text") << "[y][d]"
                                        << "[y][d]";
    QTest::newRow("repeated letter is text") << "[YY][hh]"
                                             << "[YY][hh]";
    QTest::newRow("four letters is text") << "[YMDY]"
                                          << "[YMDY]";
    QTest::newRow("mixed families is text") << "[Yh]"
                                            << "[Yh]";
    QTest::newRow("around text") << "a[Y]b[m]c"
                                 << "a2024b07c";
    QTest::newRow("combining mark on bracket") << "[Y]\u0301"
                                               << "[Y]\u0301";
    QTest::newRow("nested bracket") << "[[Y]]"
                                    << "[2024]";
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
    QTest::newRow("midnight") << 0 << "12";
    QTest::newRow("one") << 1 << "01";
    QTest::newRow("noon") << 12 << "12";
    QTest::newRow("thirteen") << 13 << "01";
    QTest::newRow("twenty-three") << 23 << "11";
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
    QTest::newRow("half a second before") << qint64(-500) << "19700101125959"
                                          << "1970/01/01 00:59";
    QTest::newRow("a whole second before") << qint64(-1000) << "19700101125959"
                                           << "1970/01/01 00:59";
    QTest::newRow("just before the hour") << qint64(-3600001) << "19691231115959"
                                          << "1969/12/31 23:59";
    QTest::newRow("the epoch") << qint64(0) << "19700101010000"
                               << "1970/01/01 01:00";
    QTest::newRow("1900") << qint64(-2208992400000) << "19000101120000"
                          << "1900/01/01 00:00";
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
