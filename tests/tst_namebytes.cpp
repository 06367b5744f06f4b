// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/filelist.h"
#include "files/zqfile.h"
#include "model/filetablemodel.h"
#include "posix/namecodec.h"
#include "records.h"
#include "rename/renamerun.h"
#include "rules/namecomposer.h"
#include "rulesettings.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

// Names that are not UTF-8 through the rules: each byte outside valid UTF-8
// is one unit of its own (NameCodec), copied, cut and kept like any other.
class tst_NameBytes : public QObject
{
    Q_OBJECT
private slots:
    void compose_data();
    void compose();
    void tooLongIsCut_data();
    void tooLongIsCut();
    void tableShowsEscapes_data();
    void tableShowsEscapes();
    void codec_data();
    void codec();
    void randomRoundTrip();
    void canonical_data();
    void canonical();
};

namespace {

QString bytes(const char *raw)
{
    return NameCodec::decode(QByteArray(raw));
}

QString units(std::initializer_list<char16_t> list)
{
    QString text;
    for (char16_t u : list)
        text += QChar(u);
    return text;
}

} // namespace

Q_DECLARE_METATYPE(RenameSettings)

void tst_NameBytes::compose_data()
{
    QTest::addColumn<RenameSettings>("s");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("expected");
    const auto search = [](const char *name, const QString &find, const QString &replacement,
                           const QByteArray &from, const QByteArray &to) {
        QTest::newRow(name) << settings(u"[N]"_s, u"[E]"_s, find, replacement) << from << to;
    };
    const auto row = [](const char *name, const RenameSettings &s, const QByteArray &from,
                        const QByteArray &to) { QTest::newRow(name) << s << from << to; };
    row("[N] copies the byte", settings(u"[N]-x"_s), "caf\xe9.txt"_ba, "caf\xe9-x.txt"_ba);
    row("[E] copies the byte", settings(u"x"_s, u"[E]"_s), "a.t\xfft"_ba, "x.t\xfft"_ba);
    row("a real U+FFFD stays U+FFFD", settings(u"[N]-x"_s), "caf\xef\xbf\xbd.txt"_ba,
        "caf\xef\xbf\xbd-x.txt"_ba);
    row("[N2-4] cuts by units", settings(u"[N2-4]"_s), "\xe9"_ba + "a\xff" + "bc.txt",
        "a\xff"_ba + "b.txt");
    row("[N1,2] takes two bytes of a cut sequence", settings(u"[N1,2]"_s), "\xe2\x82x.txt"_ba,
        "\xe2\x82.txt"_ba);
    row("upper case leaves the byte", settings(u"[N]"_s, u"[E]"_s, {}, {}, 2), "\xe9"_ba + "abc",
        "\xe9"_ba + "ABC");
    row("lower case leaves the byte", settings(u"[N]"_s, u"[E]"_s, {}, {}, 1),
        "\xc9"_ba + "ABC.TXT", "\xc9"_ba + "abc.txt");
    search("search for the byte", bytes("\xe9"), u"e"_s, "caf\xe9.txt"_ba, "cafe.txt"_ba);
    search("search for a letter beside a byte", u"e"_s, u"E"_s, "e\xcc.txt"_ba, "E\xcc.txt"_ba);
    search("the bytes of é are no é", u"é"_s, u"e"_s, "\xc3_\xa9 \xc3\xa9"_ba, "\xc3_\xa9 e"_ba);
    search("é is not its bytes escaped", bytes("\xc3"), u"C"_s, "\xc3\xa9 \xc3"_ba,
           "\xc3\xa9 C"_ba);
    search("a byte after a letter is no accent", u"a"_s, u"b"_s, "a\xcc\x81 a\x81"_ba,
           "a\xcc\x81 b\x81"_ba);
    search("bytes that meet make a character", u"_"_s, {}, "\xc3_\xa9.txt"_ba, "\xc3\xa9.txt"_ba);
    search("replacement holds a byte", u"x"_s, bytes("\xfe"), "axb"_ba, "a\xfe"_ba + "b");
}

void tst_NameBytes::compose()
{
    QFETCH(RenameSettings, s);
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, expected);
    const QString newName = NameComposer(s).newNameForFile({NameCodec::decode(name), 0, {}}, 0);
    QCOMPARE(NameCodec::encode(newName), expected);
    // The text is the one the name on disk will decode to.
    QCOMPARE(NameCodec::decode(expected), newName);
    QCOMPARE(RenameRun::refusalReason(newName), QString());
}

// A name certain to be refused comes back short, and still refused as too
// long; a name that ends within 255 bytes is composed in full.
void tst_NameBytes::tooLongIsCut_data()
{
    QTest::addColumn<RenameSettings>("s");
    QTest::addColumn<QString>("name");
    QTest::addColumn<qsizetype>("size");
    QTest::addColumn<QString>("head");
    const QString counter32 = QString(31, u'0') + u"1"_s;
    const auto row = [](const char *tag, const RenameSettings &s, qsizetype size,
                        const QString &head, const QString &name = u"a.txt"_s) {
        QTest::newRow(tag) << s << name << size << head;
    };
    row("[C] 10000 times, 32 digits",
        settings(u"[C]"_s.repeated(10000), u"[E]"_s, {}, {}, 0, 1, 1, 32), 256,
        counter32 + counter32);
    row("[C] 200 times, 32 digits", settings(u"[C]"_s.repeated(200), u"[E]"_s, {}, {}, 0, 1, 1, 32),
        256, counter32 + counter32);
    row("[C] of one digit 1000 times", settings(u"[C]"_s.repeated(1000)), 256, QString(256, u'1'));
    row("[C] in the extension", settings(u"[N]"_s, u"[C]"_s.repeated(1000)), 256, u"a.111"_s);
    row("a growing interval tag", settings(u"[N1-]"_s), 256, u"[N1-][N1-]NNNN[N1-]NNNN"_s,
        u"[N1-][N1-]NNNN"_s);
    row("upper case after the cut", settings(u"x[C]"_s.repeated(400), u"[E]"_s, {}, {}, 2), 256,
        u"X1X1X1"_s);
    // Three bytes apart in the old name meet as the Kelvin sign, one
    // unit, which lower case makes "k": the name is cut only at the end.
    row("bytes that meet, then lower case",
        settings(u"[N1-2][N4]"_s.repeated(100), u"[E]"_s, {}, {}, 1), 100, QString(100, u'k'),
        bytes("\xe2\x84x\xaa"));
    row("a pair is not split at the cut", settings(u"x"_s + u"😀"_s.repeated(200)), 257, u"x😀"_s,
        u"a"_s);
    // Tags that vanish: long templates whose names end short are kept.
    row("1000 empty pieces", settings(u"[N9]"_s.repeated(1000) + u"x"_s), 5, u"x.txt"_s);
    row("255 counters of one digit", settings(u"[C]"_s.repeated(251)), 255, QString(251, u'1'));
    row("a search can shorten: no cut", settings(u"[C]"_s.repeated(1000), u"[E]"_s, u"1"_s, {}), 4,
        u".txt"_s);
}

void tst_NameBytes::tooLongIsCut()
{
    QFETCH(RenameSettings, s);
    QFETCH(QString, name);
    QFETCH(qsizetype, size);
    QFETCH(QString, head);
    const NameComposer composer(s);
    const QString newName = composer.newNameForFile({name, 0, {}}, 0);
    QCOMPARE(newName.size(), size);
    QVERIFY2(newName.startsWith(head), qPrintable(newName));
    QCOMPARE(RenameRun::refusalReason(newName).isEmpty(), size <= 255);
    // A preview composes thousands: each name costs microseconds, not
    // milliseconds (a bound far above the expected cost, so a slow machine passes).
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 200; ++i)
        QCOMPARE(composer.newNameForFile({name, 0, {}}, 0).size(), size);
    QVERIFY2(timer.elapsed() < 500, qPrintable(QString::number(timer.elapsed())));
}

// The window's table writes names as the command line does, and its tooltip
// names what each escape stands for.
void tst_NameBytes::tableShowsEscapes_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("tip");
    QTest::newRow("plain") << "photo.jpg"_ba << u"photo.jpg"_s << QString();
    QTest::newRow("Latin-1 byte") << "caf\xe9.txt"_ba << u"caf\\xe9.txt"_s
                                  << u"\\xe9: the byte E9, not UTF-8, kept as it is"_s;
    QTest::newRow("real U+FFFD") << "caf\xef\xbf\xbd.txt"_ba << u"caf\uFFFD.txt"_s << QString();
    QTest::newRow("newline twice, named once")
        << "a\nb\nc"_ba << u"a\\x0ab\\x0ac"_s << u"\\x0a: U+000A, a control character"_s;
    QTest::newRow("two kinds") << "\xff\xe2\x81\xa6"_ba << u"\\xff\\u2066"_s
                               << u"\\xff: the byte FF, not UTF-8, kept as it is\n"
                                  u"\\u2066: U+2066, a bidirectional control"_s;
}

void tst_NameBytes::tableShowsEscapes()
{
    QFETCH(QByteArray, name);
    QFETCH(QString, shown);
    FileList list;
    listPath(list, "/p/" + name);
    FileTableModel model(&list);
    model.updateResults();
    const QModelIndex oldName = model.index(0, FileTableModel::OldNameColumn);
    QCOMPARE(oldName.data().toString(), shown);
    QTEST(oldName.data(Qt::ToolTipRole).toString(), "tip");
    QCOMPARE(model.index(0, FileTableModel::NewNameColumn).data().toString(), shown);
    QCOMPARE(model.index(0, FileTableModel::LocationColumn).data().toString(), u"/p/"_s + shown);
}

// The bytes of a name and its text. "utf8" and "bytes" (bytes escaped) go
// both ways; "foreign" (a surrogate no byte stands for, written as U+FFFD,
// which a new name may not hold) and "joined" (half a pair before an escape,
// one character on disk) are encoded only.
void tst_NameBytes::codec_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("kind");
    const auto row = [](const char *tag, const QByteArray &bytes, const QString &text,
                        const QByteArray &kind) { QTest::newRow(tag) << bytes << text << kind; };
    const QByteArray utf8 = "utf8";
    const QByteArray escaped = "bytes";
    row("ASCII", "photo.jpg", u"photo.jpg"_s, utf8);
    // Plain names are read a word of eight bytes at a time.
    row("high byte last of first word", "abcdefg\xe9-more",
        u"abcdefg"_s + units({0xdce9}) + u"-more"_s, escaped);
    row("high byte in second word", "abcdefgh-\xe9-wxyz",
        u"abcdefgh-"_s + units({0xdce9}) + u"-wxyz"_s, escaped);
    row("high byte in the leftover bytes", "abcdefgh-\xe9", u"abcdefgh-"_s + units({0xdce9}),
        escaped);
    row("UTF-8", "caf\xc3\xa9 \xf0\x9f\x98\x80", u"café 😀"_s, utf8);
    row("Latin-1 byte", "caf\xe9.txt", u"caf"_s + units({0xdce9}) + u".txt"_s, escaped);
    row("real U+FFFD stays U+FFFD", "caf\xef\xbf\xbd.txt", u"caf\uFFFD.txt"_s, utf8);
    row("U+FFFD beside a bad byte", "\xef\xbf\xbd\xff", u"\uFFFD"_s + units({0xdcff}), escaped);
    row("leading byte order mark kept", "\xef\xbb\xbfx", u"\uFEFFx"_s, utf8);
    row("cut sequence at end", "a\xe2\x82", u"a"_s + units({0xdce2, 0xdc82}), escaped);
    row("cut sequence before ASCII", "\xe2\x82x", units({0xdce2, 0xdc82}) + u"x"_s, escaped);
    row("overlong slash", "\xc0\xaf", units({0xdcc0, 0xdcaf}), escaped);
    row("encoded surrogate", "\xed\xa0\x80", units({0xdced, 0xdca0, 0xdc80}), escaped);
    row("past U+10FFFF", "\xf4\x90\x80\x80", units({0xdcf4, 0xdc90, 0xdc80, 0xdc80}), escaped);
    row("lone continuation byte", "\x80", units({0xdc80}), escaped);
    row("astral after bad byte", "\xfe\xf0\x9f\x98\x80", units({0xdcfe, 0xd83d, 0xde00}), escaped);
    row("255 escaped bytes", QByteArray(255, '\xe9'), QString(255, QChar(0xdce9)), escaped);
    row("256 escaped bytes", QByteArray(256, '\xe9'), QString(256, QChar(0xdce9)), escaped);
    row("high alone", "a\xef\xbf\xbd", u"a"_s + units({0xd800}), "foreign");
    row("highest high at end of escapes", "\xe9\xef\xbf\xbd", units({0xdce9, 0xdbff}), "foreign");
    row("low below the bytes", "\xef\xbf\xbd", units({0xdc7f}), "foreign");
    row("lowest low", "\xef\xbf\xbd", units({0xdc00}), "foreign");
    row("escaped ASCII is no byte", "\xef\xbf\xbd", units({0xdc41}), "foreign");
    row("high before an escape", "\xf0\x9f\x93\xa9", units({0xd83d, 0xdce9}), "joined");
}

void tst_NameBytes::codec()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(QByteArray, kind);
    QCOMPARE(NameCodec::encode(text), bytes);
    QCOMPARE(NameCodec::encodedSize(text), bytes.size());
    std::vector<char> appended{'>'};
    NameCodec::appendEncoded(appended, text);
    QCOMPARE(QByteArray(appended.data(), qsizetype(appended.size())), '>' + bytes);
    QCOMPARE(NameCodec::hasForeignSurrogate(text), kind == "foreign");
    QCOMPARE(RenameRun::refusalReason(text).isEmpty(), kind != "foreign" && bytes.size() <= 255);
    if (kind == "foreign" || kind == "joined")
        return;
    QCOMPARE(NameCodec::decode(bytes), text);
    QCOMPARE(NameCodec::isValidUtf8(bytes), kind == "utf8");
    QCOMPARE(NameCodec::hasEscapedBytes(text), kind != "utf8");
}

void tst_NameBytes::canonical_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << u"café"_s << u"café"_s;
    QTest::newRow("one byte") << units({0xdce9}) << units({0xdce9});
    QTest::newRow("the bytes of é") << u"a"_s + units({0xdcc3, 0xdca9}) << u"aé"_s;
    QTest::newRow("two bytes that make nothing")
        << units({0xdce9, 0xdce9}) << units({0xdce9, 0xdce9});
    QTest::newRow("foreign surrogate stays")
        << units({0xd800, 0xdcc3, 0xdca9, 0xd800}) << units({0xd800, 0xdcc3, 0xdca9, 0xd800});
}

void tst_NameBytes::canonical()
{
    QFETCH(QString, text);
    QTEST(NameCodec::canonical(text), "expected");
}

// Every byte but '/' and NUL, in names of every length a file system takes.
void tst_NameBytes::randomRoundTrip()
{
    QRandomGenerator random(13);
    for (int round = 0; round < 20000; ++round) {
        const int length = 1 + int(random.bounded(255));
        QByteArray name(length, Qt::Uninitialized);
        // Half the names mostly UTF-8, so that valid sequences meet bad bytes.
        const bool mostlyText = round % 2 == 0;
        for (int i = 0; i < length; ++i) {
            char byte = 0;
            while (byte == 0 || byte == '/') {
                byte = mostlyText && random.bounded(4) != 0 ? char(0x20 + random.bounded(0x5f))
                                                            : char(random.bounded(256));
            }
            name[i] = byte;
        }
        if (mostlyText && length > 4 && random.bounded(2))
            name.replace(random.bounded(length - 3), 3, "\xe2\x82\xac");
        const QString text = NameCodec::decode(name);
        if (NameCodec::encode(text) != name || NameCodec::encodedSize(text) != name.size())
            QFAIL(qPrintable(u"no round trip for "_s + QString::fromLatin1(name.toHex())));
        QVERIFY(!NameCodec::hasForeignSurrogate(text));
    }
    // Every single byte value on its own.
    for (int byte = 1; byte < 256; ++byte) {
        if (byte == '/')
            continue;
        const QByteArray name(1, char(byte));
        QCOMPARE(NameCodec::encode(NameCodec::decode(name)), name);
    }
}

QTEST_GUILESS_MAIN(tst_NameBytes)
#include "tst_namebytes.moc"
