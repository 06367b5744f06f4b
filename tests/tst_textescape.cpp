// SPDX-License-Identifier: GPL-3.0-or-later
#include "posix/textescape.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_TextEscape : public QObject
{
    Q_OBJECT

private slots:
    void line_data();
    void line();
    void path_data();
    void path();
    void shortened_data();
    void shortened();
};

void tst_TextEscape::line_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << u"photo.jpg"_s << u"photo.jpg"_s;
    QTest::newRow("forged second line") << u"a\rb\nc"_s << u"a\\x0db\\x0ac"_s;
    QTest::newRow("tab") << u"a\tb"_s << u"a\\x09b"_s;
    QTest::newRow("escape and DEL") << u"\x1b[31m\x7f"_s << u"\\x1b[31m\\x7f"_s;
    QTest::newRow("C1 control") << u"a\u0085b"_s << u"a\\u0085b"_s;
    QTest::newRow("line separator") << u"a\u2028b"_s << u"a\\u2028b"_s;
    QTest::newRow("right-to-left override") << u"rlo\u202etxt.exe"_s << u"rlo\\u202etxt.exe"_s;
    QTest::newRow("isolates") << u"\u2066a\u2069"_s << u"\\u2066a\\u2069"_s;
    QTest::newRow("marks") << u"\u200ea\u200f"_s << u"\\u200ea\\u200f"_s;
    QTest::newRow("zero width joiner stays") << u"a\u200db"_s << u"a\u200db"_s;
    QTest::newRow("escaped byte") << u"caf"_s + QChar(0xdce9) << u"caf\\xe9"_s;
    QTest::newRow("real U+FFFD stays") << u"caf\uFFFD"_s << u"caf\uFFFD"_s;
    QTest::newRow("lone surrogate") << u"a"_s + QChar(0xd83d) + u"b"_s << u"a\\ud83db"_s;
    QTest::newRow("low surrogate below the bytes") << QString(QChar(0xdc41)) << u"\\udc41"_s;
    QTest::newRow("surrogate pair kept") << u"😀"_s << u"😀"_s;
    QTest::newRow("accents kept") << u"café"_s << u"café"_s;
    QTest::newRow("pair after plain text kept") << u"photo 😀.jpg"_s << u"photo 😀.jpg"_s;
    QTest::newRow("DEL as the last unit") << u"name\x7f"_s << u"name\\x7f"_s;
    QTest::newRow("lone low surrogate after plain text")
        << u"ab"_s + QChar(0xdc41) << u"ab\\udc41"_s;
}

void tst_TextEscape::line()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(TextEscape::line(text), expected);
    QCOMPARE(TextEscape::needsEscape(text), text != expected);
}

void tst_TextEscape::path_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("UTF-8 kept") << QByteArray("/a/caf\xc3\xa9 \xf0\x9f\x98\x80") << u"/a/café 😀"_s;
    QTest::newRow("Latin-1 byte") << QByteArray("/a/caf\xe9.txt") << u"/a/caf\\xe9.txt"_s;
    QTest::newRow("cut sequence at end") << QByteArray("/a/\xe2\x82") << u"/a/\\xe2\\x82"_s;
    QTest::newRow("overlong slash") << QByteArray("/a/\xc0\xaf") << u"/a/\\xc0\\xaf"_s;
    QTest::newRow("encoded surrogate") << QByteArray("\xed\xa0\x80") << u"\\xed\\xa0\\x80"_s;
    QTest::newRow("newline") << QByteArray("/a/x\ny") << u"/a/x\\x0ay"_s;
    QTest::newRow("C1 control as a character") << QByteArray("a\xc2\x85"
                                                             "b")
                                               << u"a\\u0085b"_s;
    QTest::newRow("C1 byte alone") << QByteArray("a\x85") << u"a\\x85"_s;
    QTest::newRow("bidi override")
        << QByteArray("rlo\xe2\x80\xaetxt.exe") << u"rlo\\u202etxt.exe"_s;
}

void tst_TextEscape::path()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QCOMPARE(TextEscape::path(bytes), expected);
}

void tst_TextEscape::shortened_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("short") << u"photo.jpg"_s << u"photo.jpg"_s;
    QTest::newRow("80 kept") << QString(80, u'a') << QString(80, u'a');
    QTest::newRow("81 cut") << QString(81, u'a') << QString(60, u'a') + u"… (81 characters)"_s;
    QTest::newRow("pair not split") << QString(59, u'a') + u"😀"_s + QString(100, u'b')
                                    << QString(59, u'a') + u"… (161 characters)"_s;
}

void tst_TextEscape::shortened()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(TextEscape::shortened(text), expected);
}

QTEST_GUILESS_MAIN(tst_TextEscape)
#include "tst_textescape.moc"
