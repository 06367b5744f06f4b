// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskfiles.h"
#include "files/zqfile.h"
#include "meta/contenttype.h"
#include "plan/namerules.h"
#include "posix/namecodec.h"
#include "records.h"
#include "rules/namecomposer.h"
#include "rulesettings.h"
#include "scratchdir.h"

#include <QTest>

#include <sys/stat.h>

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
    void parentFolders_data();
    void parentFolders();
    void extension_data();
    void extension();
    void valueTokens_data();
    void valueTokens();
    void defaultsReadNothing();
};

Q_DECLARE_METATYPE(RenameSettings)

void tst_NameComposer::compose_data()
{
    QTest::addColumn<RenameSettings>("s");
    QTest::addColumn<QString>("name");
    QTest::addColumn<qint64>("index");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char *tag, const RenameSettings &s, const QString &name,
                        const QString &expected,
                        qint64 index = 0) { QTest::newRow(tag) << s << name << index << expected; };
    // [N] and [E] with a case: 1 lower, 2 upper, 3 title, 4 sentence case.
    const auto cased = [](int caseTag) { return settings("[N]", "[E]", {}, {}, caseTag); };
    const RenameSettings defaults;
    row("defaults keep photo.jpg", defaults, "photo.jpg", "photo.jpg");
    row("defaults keep README", defaults, "README", "README");
    row("defaults keep .profile", defaults, ".profile", ".profile");
    row("defaults keep file.", defaults, "file.", "file.");
    row("defaults keep a bracketed name", defaults, "notes [draft].txt", "notes [draft].txt");
    row("empty name template", settings("", "[E]"), "photo.jpg", ".jpg");
    row("both empty", settings("", ""), "photo.jpg", "");
    row("counter extension", settings("[N]", "[C]", {}, {}, 0, 1, 1, 3), "photo.jpg", "photo.005",
        4);
    row("dot search hits the join", settings("[N]", "[E]", ".", "_"), "photo.jpg", "photo_jpg");
    row("upper case converts the extension", cased(2), "photo.jpg", "PHOTO.JPG");
    row("lower case", cased(1), "Photo.JPG", "photo.jpg");
    row("other tag keeps case", cased(7), "Photo.JPG", "Photo.JPG");
    row("[E] in name template is text", settings("[E]-[N]", "[E]"), "a.jpg", "[E]-a.jpg");
    row("date token in extension is text", settings("[N]", "[Y]"), "a.jpg", "a.[Y]");
    row("year inside the name", defaults, "Report [Y].txt", "Report 2024.txt");
    row("counter inside the name", defaults, "take [C].txt", "take 3.txt", 2);
    row("[E] inside the base name stays", defaults, "a[E]b.txt", "a[E]b.txt");
    row("interval tag in base name", defaults, "a[N]b", "aab");
    row("search after tokens", settings("[N]-[Y]", "[E]", "2024", "Y"), "a.txt", "a-Y.txt");
    row("holiday ranges", settings("[N1-3]_[C]", "[E1-3]"), "Holiday.jpeg", "Hol_1.jpe");
    row("date and time", settings("[N]-[YMD]_[hms]", "[E]"), "x.png", "x-20240305_020709.png");
    row("counter in both parts", settings("[C]", "[C]", {}, {}, 0, 10, -1, 2), "a.b", "07.07", 3);
    row("no extension, no dot", settings("[N]", "[E]"), "Makefile", "Makefile");
    row("NFD search in NFC name", settings("[N]", "[E]", "e\u0301", "e"), "caf\u00E9.txt",
        "cafe.txt");
    row("search removes everything", settings("[N]", "[E]", "a.b", ""), "a.b", "");
    row("[N] twice", settings("[N][N]", "[E][E]"), "ab.c", "abab.cc");
    // Not the [N] token, but still an interval tag with an empty body.
    row("accent on the bracket is no [N]", settings("[N]\u0301", "[E]"), "ab.c", "a\u0301.c");
    row("brackets around [N]", settings("[[N]]", "[E]"), "ab.c", "[ab].c");
    row("tag in the old extension", defaults, "a.[E1]", "a.[");
    row("interval tag in extension", defaults, "a.x[E1]", "a.xx");
    row("negative digits count as zero", settings("[C]", "[E]", {}, {}, 0, 5, 1, -3), "a.b", "5.b");
    row("a huge width stays within a name", settings("[C]", "", {}, {}, 0, 1, 1, 2147483647), "a.b",
        QString(254, u'0') + u"1"_s);
    row("title keeps the extension", cased(3), "won't stop.MP3", "Won't Stop.MP3");
    row("sentence keeps the extension", cased(4), "HELLO world.TXT", "Hello world.TXT");
    row("title of a name without extension", cased(3), "read me", "Read Me");
    row("title of a dot file is the whole name", cased(3), ".bash profile", ".Bash Profile");
    row("title with an inner dot", cased(3), "a.b.c.JPG", "A.B.C.JPG");
    // The pattern search runs over the joined name.
    const auto pattern = [](RenameSettings s) {
        s.regex = true;
        return s;
    };
    row("the pattern runs after the join",
        pattern(settings("[N]-[C]", "[E]", "\\.(\\w+)$", "_$1", 0, 7)), "a.jpg", "a-7_jpg");
    row("invalid: the template's result stays", pattern(settings("[N]_x", "[E]", "(x", "y", 2)),
        "a(x.txt", "A(X_X.TXT");
    row("the same text searched literally is no pattern", settings("[N]_x", "[E]", "(x", "y", 2),
        "a(x.txt", "AY_X.TXT");
    // Plain ASCII, after every other rule.
    const auto ascii = [](RenameSettings s) {
        s.plainAscii = true;
        return s;
    };
    const RenameSettings plain = ascii(defaults);
    row("German", plain, u"Café Zürich — Straße.jpg"_s, u"Cafe Zurich - Strasse.jpg"_s);
    row("French", plain, u"Ærøskøbing œuvre élève.PDF"_s, u"AEroskobing oeuvre eleve.PDF"_s);
    row("Polish", plain, u"Łódź źdźbło.png"_s, u"Lodz zdzblo.png"_s);
    row("Russian", plain, u"Москва_2024.txt"_s, u"Moskva_2024.txt"_s);
    row("Greek, final sigma", plain, u"Αθήνα οδός.txt"_s, u"Athena odos.txt"_s);
    row("Chinese", plain, u"北京天安门.jpg"_s, u"bei jing tian an men.jpg"_s);
    row("accent written apart", plain, u"Cafe\u0301.txt"_s, u"Cafe.txt"_s);
    row("ASCII stays", plain, u"IMG_0412 (1).JPG"_s, u"IMG_0412 (1).JPG"_s);
    row("what stays foreign becomes _, one per character", plain, u"a€b🙂c.txt"_s,
        u"a_b_c.txt"_s);
    row("a slash it would make becomes _", plain, u"1⁄2 ½.txt"_s, u"1_2  1_2.txt"_s);
    row("a byte that is no UTF-8 becomes _", plain, u"caf"_s + QChar(0xDCE9) + u"\u00e9.txt"_s,
        u"caf_e.txt"_s);
    row("after the replace", ascii(settings(u"[N]"_s, u"[E]"_s, u"a"_s, u"ä"_s)), u"bar.txt"_s,
        u"bar.txt"_s);
    row("the extension too", ascii(settings(u"[N]"_s, u"txt"_s)), u"x.ТХТ"_s, u"x.txt"_s);
}

void tst_NameComposer::compose()
{
    QFETCH(RenameSettings, s);
    QFETCH(QString, name);
    QFETCH(qint64, index);
    QFETCH(QString, expected);
    ZQFile file;
    file.setName(name);
    file.setAttributes(0, localMsecs(2024, 3, 5, 14, 7, 9));
    const NameComposer composer(s);
    QCOMPARE(composer.searchIsValid(), !QByteArray(QTest::currentDataTag()).startsWith("invalid"));
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
    QTest::newRow("suffix, a byte of no character")
        << settings("[N]_x", "[E]") << u"a\xDCFF.jpg"_s << false;
    QTest::newRow("suffix, a byte of no character and a bracket")
        << settings("[N]_x", "[E]") << u"\xDCFF[Y].jpg"_s << true;
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
    // As a listing asks, by the name's bytes.
    QCOMPARE(composer.readsFileTime(QByteArrayView(NameCodec::encode(name))), reads);
    file.setAttributes(0, 0);
    const QString before = composer.newNameForFile(file, 0);
    file.setAttributes(0, 1709644029000);
    if (!reads)
        QCOMPARE(composer.newNameForFile(file, 0), before);
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
    const auto file = recordOf(path);
    file->setAttributes(0, localMsecs(2024, 3, 5, 14, 7, 9));
    const NameComposer composer(settings(nameTemplate, u"[E]"_s));
    QTEST(NameCodec::encode(composer.newNameForFile(*file, 0)), "expected");
}

// "[X]": the extension the first bytes of a file call for, over real files.

namespace {
const QByteArray png = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\1\0\0\0\1\x08\0\0\0\0"_ba;
const QByteArray jpeg = "\xff\xd8\xff\xe0\0\x10JFIF\0\1\1\0\0\1\0\1\0\0"_ba;
const QByteArray pdf = "%PDF-1.4\n1 0 obj\n<<>>\nendobj\ntrailer\n<<>>\n%%EOF\n"_ba;
} // namespace

void tst_NameComposer::extension_data()
{
    QTest::addColumn<QByteArray>("name");
    // Null: no file at all; "fifo": a FIFO, which must not hold the read.
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("extTemplate");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char *tag, const QByteArray &name, const QByteArray &content,
                        const QString &expected, const QString &extTemplate = u"[X]"_s) {
        QTest::newRow(tag) << name << content << extTemplate << expected;
    };
    row("a PNG named .jpg", "photo.jpg"_ba, png, u"photo.png"_s);
    row("a right one stays", "right.png"_ba, png, u"right.png"_s);
    row("its case stays", "UP.PNG"_ba, png, u"UP.PNG"_s);
    row("another of its extensions stays", "shot.JPEG"_ba, jpeg, u"shot.JPEG"_s);
    row("a PDF without extension", "report"_ba, pdf, u"report.pdf"_s);
    row("plain text keeps its own", "notes.md"_ba, "hello\n"_ba, u"notes.md"_s);
    row("an empty file keeps its own", "empty.jpg"_ba, ""_ba, u"empty.jpg"_s);
    row("no definite type keeps its own", "blob.bin"_ba, "\x01\x02\x03\xfe\xff\x00\x10"_ba,
        u"blob.bin"_s);
    row("a file that is gone keeps its own", "gone.jpg"_ba, QByteArray(), u"gone.jpg"_s);
    row("a FIFO keeps its own", "pipe.jpg"_ba, "fifo"_ba, u"pipe.jpg"_s);
    row("a name that is not UTF-8", "caf\xe9.jpg"_ba, png, u"caf\xDCE9.png"_s);
    row("beside other tokens", "a.jpg"_ba, png, u"a.png.1"_s, u"[X].[C]"_s);
}

void tst_NameComposer::extension()
{
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, extTemplate);
    ScratchDir dir;
    QVERIFY(dir.isValid());
    const QByteArray path = dir.path(name);
    if (content == "fifo")
        QCOMPARE(::mkfifo(path.constData(), 0644), 0);
    else if (!content.isNull())
        writeFile(path, content);
    auto facts = std::make_shared<FileFacts>();
    facts->contentSuffixes = ContentType::suffixesOf(path);
    const NameComposer composer(settings(u"[N]"_s, extTemplate));
    QVERIFY(composer.readsFacts());
    QTEST(composer.newNameForFile({NameCodec::decode(name), 0, facts}, 0), "expected");
}

// Runs with TZ=Europe/Berlin. The file was modified on 5 March 2024 at
// 14:07:09 local time, created on 1 January 2020 at 00:30 local time, and
// taken, by its camera's clock, on 24 December 2023 at 23:59:58.

namespace {
using Source = RenameSettings::DateSource;
using Values = QHash<QString, QString>;
} // namespace

Q_DECLARE_METATYPE(QList<RenameSettings::DateSource>)

void tst_NameComposer::valueTokens_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("nameTemplate");
    QTest::addColumn<QList<Source>>("sources");
    QTest::addColumn<bool>("hour24");
    // "none": nothing was read; else the dates read, if any.
    QTest::addColumn<QString>("facts");
    QTest::addColumn<Values>("values");
    QTest::addColumn<QString>("expected"); // a refusal as "invalid: REASON"

    const QList<Source> none;
    const QList<Source> taken{Source::Taken};
    const QList<Source> chain{Source::Taken, Source::Created, Source::Modified};
    const Values songValues{{u"Artist"_s, u"AC/DC"_s},
                            {u"Title"_s, u"  Back\tin Black \u0007"_s},
                            {u"Track"_s, u"3/12"_s},
                            {u"Disc"_s, u"1/2"_s}};
    // A photo, "a.jpg", of no values, by its dates; a song, "a.mp3", of the
    // values read.
    const auto photo = [](const char *tag, const QString &nameTemplate,
                          const QList<Source> &sources, const QString &facts,
                          const QString &expected, bool hour24 = false) {
        QTest::newRow(tag) << u"a.jpg"_s << nameTemplate << sources << hour24 << facts << Values{}
                           << expected;
    };
    const auto song = [&songValues](const char *tag, const QString &nameTemplate,
                                    const QString &expected) {
        QTest::newRow(tag) << u"a.mp3"_s << nameTemplate << QList<Source>{} << false << u"read"_s
                           << songValues << expected;
    };

    photo("12-hour clock stays the default", u"[hms]"_s, none, u"none"_s, u"020709.jpg"_s);
    photo("24-hour clock", u"[h]-[hms]"_s, none, u"none"_s, u"14-140709.jpg"_s, true);
    photo("24-hour clock at half past midnight", u"[hm]"_s, {Source::Created}, u"created"_s,
          u"0030.jpg"_s, true);
    photo("taken: wall clock, no zone", u"[YMD]_[hms]"_s, taken, u"created taken"_s,
          u"20231224_235958.jpg"_s, true);
    photo("chain: taken first", u"[YMD]"_s, chain, u"created taken"_s, u"20231224.jpg"_s);
    photo("chain: created when not taken", u"[YMD]"_s, chain, u"created"_s, u"20200101.jpg"_s);
    photo("chain: modified when neither", u"[YMD]"_s, chain, u"read"_s, u"20240305.jpg"_s);
    photo("no date taken", u"[YMD]"_s, taken, u"read"_s, u"invalid: no date taken"_s);
    photo("no date of either source", u"x[h]"_s, {Source::Taken, Source::Created}, u"none"_s,
          u"invalid: no date taken or created"_s);
    photo("a name without date tokens needs no date", u"[N]-x"_s, taken, u"read"_s, u"a-x.jpg"_s);
    photo("date pattern, C locale month", u"[date:yyyy-MM-dd HH.mm] [date:MMM]"_s, none, u"none"_s,
          u"2024-03-05 14.07 Mar.jpg"_s);
    photo("date pattern from the date taken", u"[date:yyMMdd-HHmmss]"_s, taken, u"taken"_s,
          u"231224-235958.jpg"_s);
    QTest::newRow("camera values")
        << u"IMG_1.jpg"_s << u"[YMD]_[Make] [Model]"_s << taken << false << u"taken"_s
        << Values{{u"Make"_s, u"Canon"_s}, {u"Model"_s, u"EOS R6"_s}}
        << u"20231224_Canon EOS R6.jpg"_s;
    song("slash, control characters and spaces", u"[Artist] - [Title]"_s,
         u"AC_DC - Backin Black.mp3"_s);
    song("track 3/12 and disc 1/2", u"[Disc]-[Track]"_s, u"1-03.mp3"_s);
    song("missing value", u"[Album] [Title]"_s, u"invalid: no Album"_s);
    song("missing value with a fallback", u"[Album|Unknown]/[Genre|][Track]"_s,
         u"invalid: The new name contains “/”."_s);
    song("empty fallback", u"[Genre|][Track]"_s, u"03.mp3"_s);
    QTest::newRow("nothing read: the value is missing")
        << u"a.mp3"_s << u"[Artist]"_s << none << false << u"none"_s << Values{}
        << u"invalid: no Artist"_s;
    QTest::newRow("meta key") << u"a.jpg"_s << u"f[meta:Exif.Photo.FNumber|x]"_s << none << false
                              << u"read"_s << Values{{u"Exif.Photo.FNumber"_s, u"28/10"_s}}
                              << u"f28_10.jpg"_s;
    QTest::newRow("a value is never expanded again")
        << u"a.mp3"_s << u"[Title]"_s << none << false << u"read"_s
        << Values{{u"Title"_s, u"[YMD] [Artist] [C]"_s}} << u"[YMD] [Artist] [C].mp3"_s;
    song("case-sensitive", u"[artist][ARTIST]"_s, u"[artist][ARTIST].mp3"_s);
    song("an unfinished token stays", u"[x [Track] [Artist"_s, u"[x 03 [Artist.mp3"_s);
}

void tst_NameComposer::valueTokens()
{
    QFETCH(QString, name);
    QFETCH(QString, nameTemplate);
    QFETCH(QList<Source>, sources);
    QFETCH(bool, hour24);
    QFETCH(QString, facts);
    QFETCH(Values, values);
    QFETCH(QString, expected);

    RenameSettings s = settings(nameTemplate);
    s.dateSources = sources;
    s.hour24 = hour24;
    RuleFile file{name, localMsecs(2024, 3, 5, 14, 7, 9), {}};
    if (facts != u"none") {
        auto read = std::make_shared<FileFacts>();
        if (facts.contains(u"created"))
            read->created = localMsecs(2020, 1, 1, 0, 30, 0);
        if (facts.contains(u"taken")) {
            read->taken =
                QDateTime(QDate(2023, 12, 24), QTime(23, 59, 58), Qt::UTC).toMSecsSinceEpoch();
            read->takenIsWallClock = true;
        }
        read->values = values;
        file.facts = read;
    }
    const QString newName = NameComposer(s).newNameForFile(file, 0);
    if (ComposedName::isRefused(newName) || expected.startsWith(u"invalid: "))
        QCOMPARE(u"invalid: "_s + NameRules::refusalReason(newName), expected);
    else
        QCOMPARE(newName, expected);
}

void tst_NameComposer::defaultsReadNothing()
{
    const NameComposer defaults;
    QVERIFY(!defaults.readsFacts());
    QVERIFY(defaults.valueKeys().isEmpty());
    // A bracketed word in an old name is no value token unless the template asks.
    QCOMPARE(defaults.newNameForFile({u"Song [Artist].mp3"_s, 0, {}}, 0), u"Song [Artist].mp3"_s);
    const NameComposer composer(
        settings(u"[Track] [Title|x] [Artist] [meta:COMPOSER|] [date:yyyy]"_s));
    QVERIFY(composer.readsFacts());
    QCOMPARE(composer.valueKeys(),
             (QStringList{u"Track"_s, u"Title"_s, u"Artist"_s, u"COMPOSER"_s}));
}

QTEST_GUILESS_MAIN(tst_NameComposer)
#include "tst_namecomposer.moc"
