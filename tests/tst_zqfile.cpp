// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/zqfile.h"

#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class tst_ZQFile : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void derivedTextsKeepTheirValue();
    void renamesKeepTheListedExtension_data();
    void renamesKeepTheListedExtension();
    void fileSize_data();
    void fileSize();
    void folderTotal();
    void folderTotalCountsLinksThemselves();
    void nativeBytesSurvive();

private:
    QTemporaryDir m_dir;
};

static QByteArray writeFile(const QByteArray &path, qsizetype bytes)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const QByteArray data(bytes, 'x');
    if (fd < 0 || ::write(fd, data.constData(), size_t(bytes)) != bytes)
        qFatal("cannot write %s", path.constData());
    ::close(fd);
    return path;
}

// The intake's size and date texts come from the raw values; setting one raw
// value later must not rewrite the other's text.
void tst_ZQFile::derivedTextsKeepTheirValue()
{
    ZQFile file;
    file.setName(u"a.tar.gz"_qs);
    file.deriveDisplayExtension();
    const qint64 when =
        QDateTime(QDate(2024, 3, 5), QTime(14, 7, 30), Qt::LocalTime).toMSecsSinceEpoch();
    file.setAttributes(1234, when);
    QCOMPARE(file.size(), u"1,234"_qs);
    QCOMPARE(file.date(), u"2024/03/05 14:07"_qs);
    QCOMPARE(file.displayExtension(), u"gz"_qs);

    file.setFullSize(99);
    file.setFileDate(QDateTime(QDate(2000, 1, 1), QTime(0, 0), Qt::LocalTime));
    file.setName(u"b.txt"_qs);
    QCOMPARE(file.size(), u"1,234"_qs);
    QCOMPARE(file.date(), u"2024/03/05 14:07"_qs);
    QCOMPARE(file.displayExtension(), u"gz"_qs);
}

// A rename keeps the extension the file was listed with, also over a second
// rename after one that kept the same extension.
void tst_ZQFile::renamesKeepTheListedExtension_data()
{
    QTest::addColumn<QString>("listed");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("extension");
    QTest::newRow("same, then another") << u"a.tar.gz"_qs << u"b.gz"_qs << u"c.txt"_qs << u"gz"_qs;
    QTest::newRow("another, then the same") << u"a.gz"_qs << u"b.txt"_qs << u"c.gz"_qs << u"gz"_qs;
    QTest::newRow("case differs") << u"photo.JPG"_qs << u"photo_x.jpg"_qs << u"z.png"_qs
                                  << u"JPG"_qs;
    QTest::newRow("none, then one") << u"notes"_qs << u"other"_qs << u"x.txt"_qs << u""_qs;
    QTest::newRow("dot left bare") << u"a.b"_qs << u"a."_qs << u"c.d"_qs << u"b"_qs;
}

void tst_ZQFile::renamesKeepTheListedExtension()
{
    QFETCH(QString, listed);
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, extension);
    ZQFile file;
    file.setName(listed);
    file.deriveDisplayExtension();
    file.setName(first);
    QCOMPARE(file.displayExtension(), extension);
    file.setName(second);
    QCOMPARE(file.displayExtension(), extension);
    QCOMPARE(file.name(), second);
}

void tst_ZQFile::fileSize_data()
{
    QTest::addColumn<quint64>("fullSize");
    QTest::addColumn<QString>("sizeText");
    QTest::addColumn<quint64>("expectedSize");
    QTest::addColumn<QString>("expectedText");
    QTest::newRow("known size stays") << quint64(5) << "777" << quint64(5) << "777";
    QTest::newRow("grouped text reads to the separator")
        << quint64(0) << "1,234" << quint64(1) << "1,234";
    QTest::newRow("from the file") << quint64(0) << "" << quint64(2048) << "2,048";
    QTest::newRow("zero text reads the file") << quint64(0) << "0" << quint64(2048) << "2,048";
}

void tst_ZQFile::fileSize()
{
    QFETCH(quint64, fullSize);
    QFETCH(QString, sizeText);
    QFETCH(quint64, expectedSize);
    QFETCH(QString, expectedText);
    ZQFile file;
    file.setNativePath(writeFile(QFile::encodeName(m_dir.filePath(u"f2048"_qs)), 2048));
    file.setSize(sizeText);
    file.setFullSize(fullSize);
    file.calculateFullSize();
    QCOMPARE(file.fullSize(), expectedSize);
    QCOMPARE(file.size(), expectedText);
}

// Links count their own size (the length of the path they hold), never what
// they point to, file or folder.
void tst_ZQFile::folderTotalCountsLinksThemselves()
{
    const QByteArray root = QFile::encodeName(m_dir.filePath(u"links"_qs));
    QVERIFY(::mkdir(root.constData(), 0755) == 0);
    QVERIFY(::mkdir((root + "/other").constData(), 0755) == 0);
    QVERIFY(::mkdir((root + "/folder").constData(), 0755) == 0);
    writeFile(root + "/large.bin", 3 << 20);
    writeFile(root + "/other/inside", 5000);
    writeFile(root + "/folder/a", 300);
    QVERIFY(::symlink("../large.bin", (root + "/folder/big").constData()) == 0);
    QVERIFY(::symlink("../other", (root + "/folder/dir").constData()) == 0);
    ZQFile record;
    record.setIsDirectory(true);
    record.setNativePath(root + "/folder");
    record.calculateFullSize();
    QCOMPARE(record.fullSize(), quint64(300 + 12 + 8));
    QCOMPARE(record.size(), u"320"_qs);
}

void tst_ZQFile::folderTotal()
{
    const QByteArray folder = QFile::encodeName(m_dir.filePath(u"folder"_qs));
    QVERIFY(::mkdir(folder.constData(), 0755) == 0);
    writeFile(folder + "/a", 300);
    ZQFile record;
    record.setIsDirectory(true);
    record.setNativePath(folder);
    record.calculateFullSize();
    const quint64 small = record.fullSize();
    QVERIFY(small >= 300 && small <= 1000);
    // A total of 1000 bytes or less is computed again on every call...
    writeFile(folder + "/b", 5000);
    record.calculateFullSize();
    QVERIFY(record.fullSize() >= 5300);
    // ...a larger one never again.
    const quint64 large = record.fullSize();
    writeFile(folder + "/c", 100);
    record.calculateFullSize();
    QCOMPARE(record.fullSize(), large);

    ZQFile missing;
    missing.setIsDirectory(true);
    missing.setNativePath(folder + "/nowhere");
    missing.calculateFullSize();
    QCOMPARE(missing.fullSize(), 0u);
    QCOMPARE(missing.size(), u"0"_qs);
}

void tst_ZQFile::nativeBytesSurvive()
{
    ZQFile file;
    const QByteArray path("/tmp/caf\xE9/x\xFF.txt");
    file.setNativePath(path);
    QCOMPARE(file.nativePath(), path);
    QCOMPARE(file.nativeName(), QByteArray("x\xFF.txt"));
    QCOMPARE(file.nativeFolder(), QByteArray("/tmp/caf\xE9"));
    QCOMPARE(file.fullPath(),
             u"/tmp/caf"_qs + QChar(0xdce9) + u"/x"_qs + QChar(0xdcff) + u".txt"_qs);
    QCOMPARE(ZQFile().fullPath(), QString());
    file.setFullPath(file.fullPath());
    QCOMPARE(file.nativePath(), path);
    ZQFile root;
    root.setNativePath("/x");
    QCOMPARE(root.nativeFolder(), QByteArray("/"));
}

QTEST_GUILESS_MAIN(tst_ZQFile)
#include "tst_zqfile.moc"
