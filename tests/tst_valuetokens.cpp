// SPDX-License-Identifier: GPL-3.0-or-later
#include "plan/namerules.h"
#include "rules/namecomposer.h"

#include <QTest>

using namespace Qt::StringLiterals;

// Runs with TZ=Europe/Berlin. The file was modified on 5 March 2024 at
// 14:07:09 local time, created on 1 January 2020 at 00:30 local time, and
// taken, by its camera's clock, on 24 December 2023 at 23:59:58.
class tst_ValueTokens : public QObject
{
    Q_OBJECT
private slots:
    void compose_data();
    void compose();
    void defaultsReadNothing();
};

namespace {
qint64 localMsecs(int year, int month, int day, int hour, int minute, int second)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::LocalTime)
        .toMSecsSinceEpoch();
}

using Source = RenameSettings::DateSource;
using Values = QHash<QString, QString>;
} // namespace

Q_DECLARE_METATYPE(QList<RenameSettings::DateSource>)

void tst_ValueTokens::compose_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("nameTemplate");
    QTest::addColumn<QList<Source>>("sources");
    QTest::addColumn<bool>("hour24");
    QTest::addColumn<bool>("haveFacts"); // false: nothing was read
    QTest::addColumn<bool>("haveCreated");
    QTest::addColumn<bool>("haveTaken");
    QTest::addColumn<Values>("values");
    QTest::addColumn<QString>("expected"); // a refusal as "invalid: REASON"

    const QList<Source> taken{Source::Taken};
    const QList<Source> chain{Source::Taken, Source::Created, Source::Modified};
    const Values camera{{u"Make"_s, u"Canon"_s}, {u"Model"_s, u"EOS R6"_s}};
    const Values song{{u"Artist"_s, u"AC/DC"_s},
                      {u"Title"_s, u"  Back\tin Black \u0007"_s},
                      {u"Track"_s, u"3/12"_s},
                      {u"Disc"_s, u"1/2"_s}};

    QTest::newRow("12-hour clock stays the default")
        << u"a.jpg"_s << u"[hms]"_s << QList<Source>{} << false << false << false << false
        << Values{} << u"020709.jpg"_s;
    QTest::newRow("24-hour clock") << u"a.jpg"_s << u"[h]-[hms]"_s << QList<Source>{} << true
                                   << false << false << false << Values{} << u"14-140709.jpg"_s;
    QTest::newRow("24-hour clock at half past midnight")
        << u"a.jpg"_s << u"[hm]"_s << QList<Source>{Source::Created} << true << true << true
        << false << Values{} << u"0030.jpg"_s;
    QTest::newRow("taken: wall clock, no zone")
        << u"a.jpg"_s << u"[YMD]_[hms]"_s << taken << true << true << true << true << Values{}
        << u"20231224_235958.jpg"_s;
    QTest::newRow("chain: taken first") << u"a.jpg"_s << u"[YMD]"_s << chain << false << true
                                        << true << true << Values{} << u"20231224.jpg"_s;
    QTest::newRow("chain: created when not taken")
        << u"a.jpg"_s << u"[YMD]"_s << chain << false << true << true << false << Values{}
        << u"20200101.jpg"_s;
    QTest::newRow("chain: modified when neither")
        << u"a.jpg"_s << u"[YMD]"_s << chain << false << true << false << false << Values{}
        << u"20240305.jpg"_s;
    QTest::newRow("no date taken") << u"a.jpg"_s << u"[YMD]"_s << taken << false << true << false
                                   << false << Values{} << u"invalid: no date taken"_s;
    QTest::newRow("no date of either source")
        << u"a.jpg"_s << u"x[h]"_s << QList<Source>{Source::Taken, Source::Created} << false
        << false << false << false << Values{} << u"invalid: no date taken or created"_s;
    QTest::newRow("a name without date tokens needs no date")
        << u"a.jpg"_s << u"[N]-x"_s << taken << false << true << false << false << Values{}
        << u"a-x.jpg"_s;
    QTest::newRow("date pattern, C locale month")
        << u"a.jpg"_s << u"[date:yyyy-MM-dd HH.mm] [date:MMM]"_s << QList<Source>{} << false
        << false << false << false << Values{} << u"2024-03-05 14.07 Mar.jpg"_s;
    QTest::newRow("date pattern from the date taken")
        << u"a.jpg"_s << u"[date:yyMMdd-HHmmss]"_s << taken << false << true << false << true
        << Values{} << u"231224-235958.jpg"_s;
    QTest::newRow("camera values")
        << u"IMG_1.jpg"_s << u"[YMD]_[Make] [Model]"_s << taken << false << true << false << true
        << camera << u"20231224_Canon EOS R6.jpg"_s;
    QTest::newRow("slash, control characters and spaces")
        << u"a.mp3"_s << u"[Artist] - [Title]"_s << QList<Source>{} << false << true << false
        << false << song << u"AC_DC - Backin Black.mp3"_s;
    QTest::newRow("track 3/12 and disc 1/2")
        << u"a.mp3"_s << u"[Disc]-[Track]"_s << QList<Source>{} << false << true << false << false
        << song << u"1-03.mp3"_s;
    QTest::newRow("missing value") << u"a.mp3"_s << u"[Album] [Title]"_s << QList<Source>{} << false
                                   << true << false << false << song << u"invalid: no Album"_s;
    QTest::newRow("missing value with a fallback")
        << u"a.mp3"_s << u"[Album|Unknown]/[Genre|][Track]"_s << QList<Source>{} << false << true
        << false << false << song << u"invalid: The new name contains “/”."_s;
    QTest::newRow("empty fallback") << u"a.mp3"_s << u"[Genre|][Track]"_s << QList<Source>{}
                                    << false << true << false << false << song << u"03.mp3"_s;
    QTest::newRow("nothing read: the value is missing")
        << u"a.mp3"_s << u"[Artist]"_s << QList<Source>{} << false << false << false << false
        << Values{} << u"invalid: no Artist"_s;
    QTest::newRow("meta key") << u"a.jpg"_s << u"f[meta:Exif.Photo.FNumber|x]"_s << QList<Source>{}
                              << false << true << false << false
                              << Values{{u"Exif.Photo.FNumber"_s, u"28/10"_s}} << u"f28_10.jpg"_s;
    QTest::newRow("a value is never expanded again")
        << u"a.mp3"_s << u"[Title]"_s << QList<Source>{} << false << true << false << false
        << Values{{u"Title"_s, u"[YMD] [Artist] [C]"_s}} << u"[YMD] [Artist] [C].mp3"_s;
    QTest::newRow("case-sensitive")
        << u"a.mp3"_s << u"[artist][ARTIST]"_s << QList<Source>{} << false << true << false << false
        << song << u"[artist][ARTIST].mp3"_s;
    QTest::newRow("an unfinished token stays")
        << u"a.mp3"_s << u"[x [Track] [Artist"_s << QList<Source>{} << false << true << false
        << false << song << u"[x 03 [Artist.mp3"_s;
}

void tst_ValueTokens::compose()
{
    QFETCH(QString, name);
    QFETCH(QString, nameTemplate);
    QFETCH(QList<Source>, sources);
    QFETCH(bool, hour24);
    QFETCH(bool, haveFacts);
    QFETCH(bool, haveCreated);
    QFETCH(bool, haveTaken);
    QFETCH(Values, values);
    QFETCH(QString, expected);

    RenameSettings settings;
    settings.nameTemplate = nameTemplate;
    settings.dateSources = sources;
    settings.hour24 = hour24;
    RuleFile file{name, localMsecs(2024, 3, 5, 14, 7, 9), {}};
    if (haveFacts) {
        auto facts = std::make_shared<FileFacts>();
        if (haveCreated)
            facts->created = localMsecs(2020, 1, 1, 0, 30, 0);
        if (haveTaken) {
            facts->taken =
                QDateTime(QDate(2023, 12, 24), QTime(23, 59, 58), Qt::UTC).toMSecsSinceEpoch();
            facts->takenIsWallClock = true;
        }
        facts->values = values;
        file.facts = facts;
    }
    const QString newName = NameComposer(settings).newNameForFile(file, 0);
    if (ComposedName::isRefused(newName) || expected.startsWith(u"invalid: "))
        QCOMPARE(u"invalid: "_s + NameRules::refusalReason(newName), expected);
    else
        QCOMPARE(newName, expected);
}

void tst_ValueTokens::defaultsReadNothing()
{
    const NameComposer defaults;
    QVERIFY(!defaults.readsFacts());
    QVERIFY(defaults.valueKeys().isEmpty());
    // A bracketed word in an old name is no value token unless the template asks.
    QCOMPARE(defaults.newNameForFile({u"Song [Artist].mp3"_s, 0, {}}, 0), u"Song [Artist].mp3"_s);
    RenameSettings music;
    music.nameTemplate = u"[Track] [Title|x] [Artist] [meta:COMPOSER|] [date:yyyy]"_s;
    const NameComposer composer(music);
    QVERIFY(composer.readsFacts());
    QCOMPARE(composer.valueKeys(),
             (QStringList{u"Track"_s, u"Title"_s, u"Artist"_s, u"COMPOSER"_s}));
}

QTEST_GUILESS_MAIN(tst_ValueTokens)
#include "tst_valuetokens.moc"
