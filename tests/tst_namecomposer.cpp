// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/zqfile.h"
#include "posix/namecodec.h"
#include "rules/namecomposer.h"
#include "rulesettings.h"

#include <QTest>

using namespace Qt::StringLiterals;

// Runs with TZ=Europe/Berlin; the file date is 5 March 2024 14:07:09 local.
class tst_NameComposer : public QObject
{
    Q_OBJECT
private slots:
    void compose_data();
    void compose();
    void readsFileTime_data();
    void readsFileTime();
    void hugeWidthStaysBounded();
    void plainAscii_data();
    void plainAscii();
    void composerLeavesTheRecordAlone();
    void parentFolders_data();
    void parentFolders();
};

Q_DECLARE_METATYPE(RenameSettings)

void tst_NameComposer::compose_data()
{
    QTest::addColumn<RenameSettings>("s");
    QTest::addColumn<QString>("name");
    QTest::addColumn<qint64>("index");
    QTest::addColumn<QString>("expected");
    const RenameSettings defaults;
    QTest::newRow("defaults keep photo.jpg") << defaults << "photo.jpg" << qint64(0) << "photo.jpg";
    QTest::newRow("defaults keep README") << defaults << "README" << qint64(0) << "README";
    QTest::newRow("defaults keep .profile") << defaults << ".profile" << qint64(0) << ".profile";
    QTest::newRow("defaults keep file.") << defaults << "file." << qint64(0) << "file.";
    QTest::newRow("defaults keep a bracketed name")
        << defaults << "notes [draft].txt" << qint64(0) << "notes [draft].txt";
    QTest::newRow("empty name template")
        << settings("", "[E]") << "photo.jpg" << qint64(0) << ".jpg";
    QTest::newRow("both empty") << settings("", "") << "photo.jpg" << qint64(0) << "";
    QTest::newRow("counter extension")
        << settings("[N]", "[C]", {}, {}, 0, 1, 1, 3) << "photo.jpg" << qint64(4) << "photo.005";
    QTest::newRow("dot search hits the join")
        << settings("[N]", "[E]", ".", "_") << "photo.jpg" << qint64(0) << "photo_jpg";
    QTest::newRow("upper case converts the extension")
        << settings("[N]", "[E]", {}, {}, 2) << "photo.jpg" << qint64(0) << "PHOTO.JPG";
    QTest::newRow("lower case") << settings("[N]", "[E]", {}, {}, 1) << "Photo.JPG" << qint64(0)
                                << "photo.jpg";
    QTest::newRow("other tag keeps case")
        << settings("[N]", "[E]", {}, {}, 7) << "Photo.JPG" << qint64(0) << "Photo.JPG";
    QTest::newRow("sharp s under upper case")
        << settings("[N]", "[E]", {}, {}, 2) << "straße.txt" << qint64(0) << "STRASSE.TXT";
    QTest::newRow("[E] in name template is text")
        << settings("[E]-[N]", "[E]") << "a.jpg" << qint64(0) << "[E]-a.jpg";
    QTest::newRow("date token in extension is text")
        << settings("[N]", "[Y]") << "a.jpg" << qint64(0) << "a.[Y]";
    QTest::newRow("year inside the name")
        << defaults << "Report [Y].txt" << qint64(0) << "Report 2024.txt";
    QTest::newRow("counter inside the name")
        << defaults << "take [C].txt" << qint64(2) << "take 3.txt";
    QTest::newRow("[E] inside the base name stays")
        << defaults << "a[E]b.txt" << qint64(0) << "a[E]b.txt";
    QTest::newRow("interval tag in base name") << defaults << "a[N]b" << qint64(0) << "aab";
    QTest::newRow("search after tokens")
        << settings("[N]-[Y]", "[E]", "2024", "Y") << "a.txt" << qint64(0) << "a-Y.txt";
    QTest::newRow("holiday ranges")
        << settings("[N1-3]_[C]", "[E1-3]") << "Holiday.jpeg" << qint64(0) << "Hol_1.jpe";
    QTest::newRow("date and time")
        << settings("[N]-[YMD]_[hms]", "[E]") << "x.png" << qint64(0) << "x-20240305_020709.png";
    QTest::newRow("counter in both parts")
        << settings("[C]", "[C]", {}, {}, 0, 10, -1, 2) << "a.b" << qint64(3) << "07.07";
    QTest::newRow("no extension, no dot")
        << settings("[N]", "[E]") << "Makefile" << qint64(0) << "Makefile";
    QTest::newRow("NFD search in NFC name")
        << settings("[N]", "[E]", "e\u0301", "e") << "caf\u00E9.txt" << qint64(0) << "cafe.txt";
    QTest::newRow("search removes everything")
        << settings("[N]", "[E]", "a.b", "") << "a.b" << qint64(0) << "";
    QTest::newRow("[N] twice") << settings("[N][N]", "[E][E]") << "ab.c" << qint64(0) << "abab.cc";
    // Not the [N] token, but still an interval tag with an empty body.
    QTest::newRow("accent on the bracket is no [N]")
        << settings("[N]\u0301", "[E]") << "ab.c" << qint64(0) << "a\u0301.c";
    QTest::newRow("brackets around [N]")
        << settings("[[N]]", "[E]") << "ab.c" << qint64(0) << "[ab].c";
    QTest::newRow("tag in the old extension") << defaults << "a.[E1]" << qint64(0) << "a.[";
    QTest::newRow("interval tag in extension") << defaults << "a.x[E1]" << qint64(0) << "a.xx";
    QTest::newRow("negative digits count as zero")
        << settings("[C]", "[E]", {}, {}, 0, 5, 1, -3) << "a.b" << qint64(0) << "5.b";
}

void tst_NameComposer::compose()
{
    QFETCH(RenameSettings, s);
    QFETCH(QString, name);
    QFETCH(qint64, index);
    QFETCH(QString, expected);
    ZQFile file;
    file.setName(name);
    file.setAttributes(
        0, QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9), Qt::LocalTime).toMSecsSinceEpoch());
    const NameComposer composer(s);
    QCOMPARE(composer.newNameForFile(file, index), expected);
    // A caller may leave the date unread when the composer says so.
    if (!composer.readsFileTime(file)) {
        file.setAttributes(0, 0);
        QCOMPARE(composer.newNameForFile(file, index), expected);
    }
}

void tst_NameComposer::readsFileTime_data()
{
    QTest::addColumn<RenameSettings>("s");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("reads");
    const RenameSettings defaults = settings("[N]", "[E]");
    QTest::newRow("defaults") << defaults << "photo.jpg" << false;
    QTest::newRow("defaults, date token in the name") << defaults << "a[YMD].jpg" << true;
    QTest::newRow("defaults, bracket in the extension") << defaults << "a.[Y]" << false;
    QTest::newRow("suffix") << settings("[N]_x", "[E]") << "photo.jpg" << false;
    QTest::newRow("suffix, bracket in the name") << settings("[N]_x", "[E]") << "[1].jpg" << true;
    QTest::newRow("date token") << settings("[YMD]", "[E]") << "photo.jpg" << true;
    QTest::newRow("counter") << settings("[N]_[C]", "[E]") << "photo.jpg" << true;
    QTest::newRow("fixed name, bracket in the old name")
        << settings("x", "[E]") << "[Y].jpg" << false;
    QTest::newRow("search and case")
        << settings("[N]", "[E]", "o", "[Y]", 2) << "photo.jpg" << false;
}

void tst_NameComposer::readsFileTime()
{
    QFETCH(RenameSettings, s);
    QFETCH(QString, name);
    QFETCH(bool, reads);
    ZQFile file;
    file.setName(name);
    const NameComposer composer(s);
    QCOMPARE(composer.readsFileTime(file), reads);
    file.setAttributes(0, 0);
    const QString before = composer.newNameForFile(file, 0);
    file.setAttributes(0, 1709644029000);
    if (!reads)
        QCOMPARE(composer.newNameForFile(file, 0), before);
}

void tst_NameComposer::hugeWidthStaysBounded()
{
    ZQFile file;
    file.setName(u"a.b"_qs);
    const QString name =
        NameComposer(settings("[C]", "", {}, {}, 0, 1, 1, 2147483647)).newNameForFile(file, 0);
    QCOMPARE(name.size(), 255);
    QVERIFY(name.endsWith(u"01"_qs));
}

void tst_NameComposer::plainAscii_data()
{
    QTest::addColumn<RenameSettings>("s");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    const RenameSettings keep;
    QTest::newRow("German") << keep << u"Café Zürich — Straße.jpg"_s
                            << u"Cafe Zurich - Strasse.jpg"_s;
    QTest::newRow("French") << keep << u"Ærøskøbing œuvre élève.PDF"_s
                            << u"AEroskobing oeuvre eleve.PDF"_s;
    QTest::newRow("Polish") << keep << u"Łódź źdźbło.png"_s << u"Lodz zdzblo.png"_s;
    QTest::newRow("Russian") << keep << u"Москва_2024.txt"_s << u"Moskva_2024.txt"_s;
    QTest::newRow("Greek, final sigma") << keep << u"Αθήνα οδός.txt"_s << u"Athena odos.txt"_s;
    QTest::newRow("Chinese") << keep << u"北京天安门.jpg"_s << u"bei jing tian an men.jpg"_s;
    QTest::newRow("accent written apart") << keep << u"Cafe\u0301.txt"_s << u"Cafe.txt"_s;
    QTest::newRow("ASCII stays") << keep << u"IMG_0412 (1).JPG"_s << u"IMG_0412 (1).JPG"_s;
    QTest::newRow("what stays foreign becomes _, one per character")
        << keep << u"a€b🙂c.txt"_s << u"a_b_c.txt"_s;
    QTest::newRow("a slash it would make becomes _") << keep << u"1⁄2 ½.txt"_s << u"1_2  1_2.txt"_s;
    QTest::newRow("a byte that is no UTF-8 becomes _")
        << keep << u"caf"_s + QChar(0xDCE9) + u"\u00e9.txt"_s << u"caf_e.txt"_s;
    QTest::newRow("after the case: upper ß gives SS")
        << settings(u"[N]"_s, u"[E]"_s, {}, {}, 2) << u"straße.txt"_s << u"STRASSE.TXT"_s;
    QTest::newRow("after the replace")
        << settings(u"[N]"_s, u"[E]"_s, u"a"_s, u"ä"_s) << u"bar.txt"_s << u"bar.txt"_s;
    QTest::newRow("the extension too") << settings(u"[N]"_s, u"txt"_s) << u"x.ТХТ"_s << u"x.txt"_s;
}

void tst_NameComposer::plainAscii()
{
    QFETCH(RenameSettings, s);
    QFETCH(QString, name);
    QFETCH(QString, expected);
    s.plainAscii = true;
    ZQFile file;
    file.setName(name);
    QCOMPARE(NameComposer(s).newNameForFile(file, 0), expected);
}

void tst_NameComposer::composerLeavesTheRecordAlone()
{
    ZQFile file;
    file.setName(u"a.txt"_qs);
    NameComposer(settings("x", "y")).newNameForFile(file, 0);
    QCOMPARE(file.name(), u"a.txt"_qs);
    QCOMPARE(file.newName(), QString());
}

// "[P]", "[P2]", ...: folder names as they stand, bytes and all. The expected
// name is given as its bytes on disk.
void tst_NameComposer::parentFolders_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QString>("nameTemplate");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray photo = "/home/ann/Holiday 2024/IMG_0412.JPG";
    QTest::newRow("own folder") << photo << u"[P] - [C]"_s << "Holiday 2024 - 1.JPG"_ba;
    QTest::newRow("two and three up") << photo << u"[P3]_[P2]"_s << "home_ann.JPG"_ba;
    QTest::newRow("above the root") << photo << u"a[P4]b[P9999]c"_s << "abc.JPG"_ba;
    QTest::newRow("a file at the root") << "/IMG.JPG"_ba << u"a[P]b"_s << "ab.JPG"_ba;
    QTest::newRow("not tokens") << photo << u"[p][P0][P02][P12345][ P]"_s
                                << "[p][P0][P02][P12345][ P].JPG"_ba;
    QTest::newRow("tokens in a folder name stay")
        << "/d/[C] [N] [Y] [Artist] [P] [N1-2]/f.txt"_ba << u"[P]"_s
        << "[C] [N] [Y] [Artist] [P] [N1-2].txt"_ba;
    QTest::newRow("beside the date and a value")
        << "/d/e/f.txt"_ba << u"[P]-[Y]-[Artist|x]"_s << "e-2024-x.txt"_ba;
    QTest::newRow("bytes that are not UTF-8")
        << "/d/caf\xe9 \xff/f.txt"_ba << u"[P]"_s << "caf\xe9 \xff.txt"_ba;
    QTest::newRow("escaped bytes beside a file's own")
        << "/d/\xc3/\xa9.txt"_ba << u"[P][N]"_s << "\xc3\xa9.txt"_ba;
    QTest::newRow("a token in the base name is the template's only")
        << "/d/e/[P].txt"_ba << u"[N]"_s << "[P].txt"_ba;
}

void tst_NameComposer::parentFolders()
{
    QFETCH(QByteArray, path);
    QFETCH(QString, nameTemplate);
    ZQFile file;
    file.setNativePath(path);
    file.setName(NameCodec::decode(file.nativeName()));
    file.setAttributes(
        0, QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9), Qt::LocalTime).toMSecsSinceEpoch());
    const NameComposer composer(settings(nameTemplate, u"[E]"_s));
    QTEST(NameCodec::encode(composer.newNameForFile(file, 0)), "expected");
}

QTEST_GUILESS_MAIN(tst_NameComposer)
#include "tst_namecomposer.moc"
