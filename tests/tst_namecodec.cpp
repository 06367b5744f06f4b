// SPDX-License-Identifier: GPL-3.0-or-later
#include "posix/namecodec.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_NameCodec : public QObject
{
    Q_OBJECT

private slots:
    void decode_data();
    void decode();
    void foreignSurrogates_data();
    void foreignSurrogates();
    void randomRoundTrip();
    void canonical_data();
    void canonical();
};

namespace {

QString units(std::initializer_list<char16_t> list)
{
    QString text;
    for (char16_t u : list)
        text += QChar(u);
    return text;
}

} // namespace

void tst_NameCodec::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("ASCII") << QByteArray("photo.jpg") << u"photo.jpg"_s << true;
    QTest::newRow("UTF-8") << QByteArray("caf\xc3\xa9 \xf0\x9f\x98\x80") << u"café 😀"_s << true;
    QTest::newRow("Latin-1 byte") << QByteArray("caf\xe9.txt")
                                  << u"caf"_s + units({0xdce9}) + u".txt"_s << false;
    QTest::newRow("real U+FFFD stays U+FFFD")
        << QByteArray("caf\xef\xbf\xbd.txt") << u"caf\uFFFD.txt"_s << true;
    QTest::newRow("U+FFFD beside a bad byte")
        << QByteArray("\xef\xbf\xbd\xff") << u"\uFFFD"_s + units({0xdcff}) << false;
    QTest::newRow("leading byte order mark kept")
        << QByteArray("\xef\xbb\xbfx") << u"\uFEFFx"_s << true;
    QTest::newRow("cut sequence at end")
        << QByteArray("a\xe2\x82") << u"a"_s + units({0xdce2, 0xdc82}) << false;
    QTest::newRow("cut sequence before ASCII")
        << QByteArray("\xe2\x82x") << units({0xdce2, 0xdc82}) + u"x"_s << false;
    QTest::newRow("overlong slash") << QByteArray("\xc0\xaf") << units({0xdcc0, 0xdcaf}) << false;
    QTest::newRow("encoded surrogate")
        << QByteArray("\xed\xa0\x80") << units({0xdced, 0xdca0, 0xdc80}) << false;
    QTest::newRow("past U+10FFFF")
        << QByteArray("\xf4\x90\x80\x80") << units({0xdcf4, 0xdc90, 0xdc80, 0xdc80}) << false;
    QTest::newRow("lone continuation byte") << QByteArray("\x80") << units({0xdc80}) << false;
    QTest::newRow("astral after bad byte")
        << QByteArray("\xfe\xf0\x9f\x98\x80") << units({0xdcfe, 0xd83d, 0xde00}) << false;
}

void tst_NameCodec::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(NameCodec::decode(bytes), text);
    QCOMPARE(NameCodec::encode(text), bytes);
    QCOMPARE(NameCodec::isValidUtf8(bytes), valid);
    QCOMPARE(NameCodec::hasEscapedBytes(text), !valid);
    QVERIFY(!NameCodec::hasForeignSurrogate(text));
}

void tst_NameCodec::foreignSurrogates_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("foreign");
    QTest::addColumn<QByteArray>("encoded");
    QTest::newRow("high alone") << u"a"_s + units({0xd800}) << true << QByteArray("a\xef\xbf\xbd");
    QTest::newRow("high at end of escapes")
        << units({0xdce9, 0xdbff}) << true << QByteArray("\xe9\xef\xbf\xbd");
    QTest::newRow("low below the bytes") << units({0xdc7f}) << true << QByteArray("\xef\xbf\xbd");
    QTest::newRow("escaped ASCII is no byte")
        << units({0xdc41}) << true << QByteArray("\xef\xbf\xbd");
    QTest::newRow("lowest escape") << units({0xdc80}) << false << QByteArray("\x80");
    QTest::newRow("pair") << u"😀"_s << false << QByteArray("\xf0\x9f\x98\x80");
    // Half a pair left by a cut, then an escaped byte: UTF-16 reads the two
    // as one character, and so does the name on disk.
    QTest::newRow("high before an escape")
        << units({0xd83d, 0xdce9}) << false << QByteArray("\xf0\x9f\x93\xa9");
}

void tst_NameCodec::foreignSurrogates()
{
    QFETCH(QString, text);
    QFETCH(bool, foreign);
    QFETCH(QByteArray, encoded);
    QCOMPARE(NameCodec::hasForeignSurrogate(text), foreign);
    QCOMPARE(NameCodec::encode(text), encoded);
}

void tst_NameCodec::canonical_data()
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

void tst_NameCodec::canonical()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(NameCodec::canonical(text), expected);
}

// Every byte but '/' and NUL, in names of every length a file system takes.
void tst_NameCodec::randomRoundTrip()
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
        if (NameCodec::encode(text) != name)
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

QTEST_GUILESS_MAIN(tst_NameCodec)
#include "tst_namecodec.moc"
