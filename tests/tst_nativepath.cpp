// SPDX-License-Identifier: GPL-3.0-or-later
#include "posix/nativepath.h"

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
    void lastComponent_data();
    void lastComponent();
    void absolute_data();
    void absolute();
};

void tst_NativePath::split_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("folder");
    QTest::addColumn<QByteArray>("openable");
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("plain") << QByteArray("/home/a/x.txt") << QByteArray("/home/a")
                           << QByteArray("/home/a") << QByteArray("x.txt");
    QTest::newRow("entry of the root")
        << QByteArray("/a") << QByteArray("/") << QByteArray("/") << QByteArray("a");
    QTest::newRow("doubled root slash")
        << QByteArray("//a") << QByteArray("/") << QByteArray("/") << QByteArray("a");
    QTest::newRow("no slash") << QByteArray("a") << QByteArray() << QByteArray(".")
                              << QByteArray("a");
    QTest::newRow("trailing slash")
        << QByteArray("/d/e/") << QByteArray("/d/e") << QByteArray("/d/e") << QByteArray();
    QTest::newRow("doubled inner slash")
        << QByteArray("/d//x") << QByteArray("/d/") << QByteArray("/d/") << QByteArray("x");
    QTest::newRow("the root") << QByteArray("/") << QByteArray("/") << QByteArray("/")
                              << QByteArray();
    QTest::newRow("empty") << QByteArray() << QByteArray() << QByteArray(".") << QByteArray();
    QTest::newRow("relative") << QByteArray("d/x") << QByteArray("d") << QByteArray("d")
                              << QByteArray("x");
    QTest::newRow("not UTF-8") << QByteArray("/caf\xe9/\xff\xfe.txt") << QByteArray("/caf\xe9")
                               << QByteArray("/caf\xe9") << QByteArray("\xff\xfe.txt");
    // 0x2f only ever stands for a slash: UTF-8 never uses it inside a
    // sequence, so an overlong spelling of "/" is part of the name.
    QTest::newRow("overlong slash stays in the name")
        << QByteArray("/d/a\xc0\xafz") << QByteArray("/d") << QByteArray("/d")
        << QByteArray("a\xc0\xafz");
}

void tst_NativePath::split()
{
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, folder);
    QFETCH(QByteArray, openable);
    QFETCH(QByteArray, name);
    QCOMPARE(NativePath::folder(path), folder);
    QCOMPARE(NativePath::openableFolder(path), openable);
    QCOMPARE(NativePath::name(path).toByteArray(), name);
    QCOMPARE(path.mid(NativePath::nameStart(path)), name);
}

void tst_NativePath::lastComponent_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("component");
    QTest::newRow("file") << QByteArray("/a/b.txt") << QByteArray("b.txt");
    QTest::newRow("trailing slash") << QByteArray("/a/b/") << QByteArray("b");
    QTest::newRow("trailing slashes") << QByteArray("/a/b///") << QByteArray("b");
    QTest::newRow("root") << QByteArray("/") << QByteArray("/");
    QTest::newRow("doubled root") << QByteArray("//") << QByteArray("/");
    QTest::newRow("entry of the root") << QByteArray("/a/") << QByteArray("a");
    QTest::newRow("no slash") << QByteArray("a") << QByteArray("a");
    QTest::newRow("not UTF-8") << QByteArray("/d/\xe9\xff/") << QByteArray("\xe9\xff");
}

void tst_NativePath::lastComponent()
{
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, component);
    QCOMPARE(NativePath::lastComponent(path).toByteArray(), component);
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

QTEST_GUILESS_MAIN(tst_NativePath)
#include "tst_nativepath.moc"
