// SPDX-License-Identifier: GPL-3.0-or-later
#include "posix/namecodec.h"
#include "posix/nativepath.h"
#include "posix/textescape.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_NativePath : public QObject
{
    Q_OBJECT

private slots:
    void split_data();
    void split();
    void absolute_data();
    void absolute();
    void line_data();
    void line();
    void shortened_data();
    void shortened();
};

// A path's folder (as given and as it can be opened), its name, and its last
// component (trailing slashes passed over).
void tst_NativePath::split_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("folder");
    QTest::addColumn<QByteArray>("openable");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("component");
    const auto row = [](const char *tag, const QByteArray &path, const QByteArray &folder,
                        const QByteArray &openable, const QByteArray &name,
                        const QByteArray &component) {
        QTest::newRow(tag) << path << folder << openable << name << component;
    };
    row("plain", "/home/a/x.txt", "/home/a", "/home/a", "x.txt", "x.txt");
    row("entry of the root", "/a", "/", "/", "a", "a");
    row("doubled root slash", "//a", "/", "/", "a", "a");
    row("no slash", "a", {}, ".", "a", "a");
    row("trailing slash", "/d/e/", "/d/e", "/d/e", {}, "e");
    row("trailing slashes", "/d/e///", "/d/e//", "/d/e//", {}, "e");
    row("entry of the root, trailing slash", "/a/", "/a", "/a", {}, "a");
    row("doubled inner slash", "/d//x", "/d/", "/d/", "x", "x");
    row("the root", "/", "/", "/", {}, "/");
    row("doubled root", "//", "/", "/", {}, "/");
    row("empty", {}, {}, ".", {}, {});
    row("relative", "d/x", "d", "d", "x", "x");
    row("not UTF-8", "/caf\xe9/\xff\xfe/", "/caf\xe9/\xff\xfe", "/caf\xe9/\xff\xfe", {},
        "\xff\xfe");
    // 0x2f only ever stands for a slash: UTF-8 never uses it inside a
    // sequence, so an overlong spelling of "/" is part of the name.
    row("overlong slash stays in the name", "/d/a\xc0\xafz", "/d", "/d", "a\xc0\xafz",
        "a\xc0\xafz");
}

void tst_NativePath::split()
{
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, folder);
    QFETCH(QByteArray, name);
    QCOMPARE(NativePath::folder(path), folder);
    QTEST(NativePath::openableFolder(path), "openable");
    QCOMPARE(NativePath::name(path).toByteArray(), name);
    QCOMPARE(path.mid(NativePath::nameStart(path)), name);
    QTEST(NativePath::lastComponent(path).toByteArray(), "component");
}

// "@" is a scratch folder holding d/e and a link l to d/e; the working
// folder is "/w" unless the path is under "@".
void tst_NativePath::absolute_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("absolute");
    QTest::newRow("relative") << QByteArray("a/b") << QByteArray("/w/a/b");
    QTest::newRow("dot") << QByteArray(".") << QByteArray("/w");
    QTest::newRow("dot slash, trailing slash") << QByteArray(".//a/") << QByteArray("/w/a");
    QTest::newRow("doubled and dot components") << QByteArray("/x//y/./z") << QByteArray("/x/y/z");
    QTest::newRow("the root") << QByteArray("//") << QByteArray("/");
    QTest::newRow("not UTF-8") << QByteArray("caf\xe9") << QByteArray("/w/caf\xe9");
    QTest::newRow("dot dot inside") << QByteArray("@/d/../d/x") << QByteArray("@/d/x");
    QTest::newRow("dot dot last") << QByteArray("@/d/e/..") << QByteArray("@/d");
    QTest::newRow("dot dot through a link") << QByteArray("@/l/../x") << QByteArray("@/d/x");
    QTest::newRow("a link last stays") << QByteArray("@/d/../l") << QByteArray("@/l");
}

void tst_NativePath::absolute()
{
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, absolute);
    QTemporaryDir dir;
    const QByteArray root = QFile::encodeName(QFileInfo(dir.path()).canonicalFilePath());
    QVERIFY(QDir(dir.path()).mkpath(u"d/e"_s));
    QVERIFY(QFile::link(dir.path() + u"/d/e"_s, dir.path() + u"/l"_s));
    QCOMPARE(NativePath::absolute(path.replace('@', root), "/w"), absolute.replace('@', root));
}

// A line of text, and a path's bytes shown as the text they decode to.
void tst_NativePath::line_data()
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
    QTest::newRow("C1 byte alone") << u"a"_s + QChar(0xdc85) << u"a\\x85"_s;
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

void tst_NativePath::line()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(TextEscape::line(text), expected);
    QCOMPARE(TextEscape::needsEscape(text), text != expected);
    if (!NameCodec::hasForeignSurrogate(text))
        QCOMPARE(TextEscape::path(NameCodec::encode(text)), expected);
}

void tst_NativePath::shortened_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("short") << u"photo.jpg"_s << u"photo.jpg"_s;
    QTest::newRow("80 kept") << QString(80, u'a') << QString(80, u'a');
    QTest::newRow("81 cut") << QString(81, u'a') << QString(60, u'a') + u"… (81 characters)"_s;
    QTest::newRow("pair not split") << QString(59, u'a') + u"😀"_s + QString(100, u'b')
                                    << QString(59, u'a') + u"… (161 characters)"_s;
}

void tst_NativePath::shortened()
{
    QFETCH(QString, text);
    QTEST(TextEscape::shortened(text), "expected");
}

QTEST_GUILESS_MAIN(tst_NativePath)
#include "tst_nativepath.moc"
