// SPDX-License-Identifier: GPL-3.0-or-later
#include "rename/userdefaults.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_UserDefaults : public QObject
{
    Q_OBJECT

private slots:
    void factoryAnswersButIsNeverWritten();
    void bytesSurviveTheFile_data();
    void bytesSurviveTheFile();
    void readFactoryFile_data();
    void readFactoryFile();

private:
    QTemporaryDir m_dir;
};

// Removing the user's value brings the factory one back, and neither the
// factory values nor a removed key ever reach the file.
void tst_UserDefaults::factoryAnswersButIsNeverWritten()
{
    const QString fileName = m_dir.filePath(u"factory.conf"_s);
    UserDefaults defaults(fileName);
    defaults.registerDefaults({{u"skipTutorial"_s, true}, {u"rootlimit"_s, u"/srv"_s}});
    QVERIFY(defaults.boolForKey(u"skipTutorial"_s));
    defaults.setObject(u"/home"_s, u"rootlimit"_s);
    defaults.synchronize();
    QCOMPARE(UserDefaults(fileName).stringForKey(u"rootlimit"_s), u"/home"_s);
    defaults.setObject(QVariant(), u"rootlimit"_s);
    QCOMPARE(defaults.stringForKey(u"rootlimit"_s), u"/srv"_s);
    defaults.synchronize();
    UserDefaults plain(fileName);
    QVERIFY(!plain.objectForKey(u"skipTutorial"_s).isValid());
    QVERIFY(!plain.objectForKey(u"rootlimit"_s).isValid());
}

void tst_UserDefaults::bytesSurviveTheFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("NUL and high bytes") << QByteArray("VLNG\x01\0\0\xff\x80/a", 11);
    QTest::newRow("not UTF-8 path") << QByteArray("/home/caf\xe9");
    QTest::newRow("looks like a type tag") << QByteArray("@Variant(x)");
    QTest::newRow("newline and equals") << QByteArray("/a\nb=c;d");
}

void tst_UserDefaults::bytesSurviveTheFile()
{
    QFETCH(QByteArray, bytes);
    const QString fileName = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
    UserDefaults(fileName).setObject(bytes, u"rootlimit"_s);
    QCOMPARE(UserDefaults(fileName).dataForKey(u"rootlimit"_s), bytes);
}

void tst_UserDefaults::readFactoryFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("skipTutorial");
    QTest::addColumn<QString>("rootlimit");
    QTest::newRow("INI") << QByteArray("[General]\nskipTutorial=true\nrootlimit=/srv\n") << true
                         << u"/srv"_s;
    QTest::newRow("JSON") << QByteArray("  {\"skipTutorial\": false, \"rootlimit\": \"/srv\"}")
                          << false << u"/srv"_s;
    QTest::newRow("INI, YES") << QByteArray("[General]\nskipTutorial=YES\n") << true << QString();
    QTest::newRow("INI, 1") << QByteArray("[General]\nskipTutorial=1\n") << true << QString();
    QTest::newRow("INI, no") << QByteArray("[General]\nskipTutorial=no\n") << false << QString();
    QTest::newRow("INI, empty") << QByteArray("[General]\nskipTutorial=\n") << false << QString();
    QTest::newRow("broken JSON") << QByteArray("{\"skipTutorial\": tru") << false << QString();
}

void tst_UserDefaults::readFactoryFile()
{
    QFETCH(QByteArray, content);
    const QString fileName = m_dir.filePath(u"Factory"_s);
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
    file.close();
    UserDefaults defaults(m_dir.filePath(u"user.conf"_s));
    defaults.registerDefaults(UserDefaults::readFactoryFile(fileName));
    QTEST(defaults.boolForKey(u"skipTutorial"_s), "skipTutorial");
    QTEST(defaults.stringForKey(u"rootlimit"_s), "rootlimit");
}

QTEST_GUILESS_MAIN(tst_UserDefaults)
#include "tst_userdefaults.moc"
