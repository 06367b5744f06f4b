// SPDX-License-Identifier: GPL-3.0-or-later
#include "diskfiles.h"
#include "rename/renamepresets.h"
#include "rename/userdefaults.h"
#include "rulesettings.h"

#include <QTemporaryDir>
#include <QTest>

#include <ranges>

using namespace Qt::StringLiterals;

// Presets in the user's settings file: names of any kind, every setting, and
// keys of a later version.
class tst_RenamePresets : public QObject
{
    Q_OBJECT
private slots:
    void roundTrip();
    void handWrittenFileRead();
    void factoryAnswersButIsNeverWritten();
    void bytesSurviveTheFile_data();
    void bytesSurviveTheFile();
    void readFactoryFile_data();
    void readFactoryFile();

private:
    QTemporaryDir m_dir;
};

// Every setting kept under names of every kind, listed as the window shows
// them: letters in either case together, and a removed preset gone.
void tst_RenamePresets::roundTrip()
{
    const QString file = m_dir.filePath(u"presets.conf"_s);
    const QStringList names{u" padded "_s,
                            u"100%"_s,
                            u"[General]\\x"_s,
                            u"a=b;c"_s,
                            u"Fotos M\u00E4rz \U0001F4F7"_s,
                            u"photos/2024"_s,
                            u"weekly"_s};
    RenameSettings all = settings(u" [N] "_s, QString(), u"(\\d+)"_s, u"n$1, \"quoted\""_s,
                                  RenameSettings::TitleCase, -2147483647 - 1, -3, 4);
    all.regex = true;
    all.ignoreCase = true;
    all.counterPerFolder = true;
    all.hour24 = true;
    all.plainAscii = true;
    all.dateSources = {RenameSettings::DateSource::Taken, RenameSettings::DateSource::Created,
                       RenameSettings::DateSource::Modified};
    {
        UserDefaults defaults(file);
        RenamePresets presets(defaults);
        for (const QString &name : names | std::views::reverse)
            presets.save(name, all);
        presets.save(u"a/b"_s, RenameSettings());
        presets.remove(u"a/b"_s);
        presets.remove(u"nothing"_s);
    }
    UserDefaults defaults(file);
    const RenamePresets presets(defaults);
    QCOMPARE(presets.names(), names);
    for (const QString &name : names) {
        QVERIFY2(presets.contains(name), qPrintable(name));
        QCOMPARE(*presets.load(name), all);
        QVERIFY(!presets.load(name + u'x'));
    }
    QVERIFY(!presets.contains(QString()));
}

// A settings file as written by hand or a later version: values it cannot
// read fall back, keys it does not know are kept when the preset is saved.
void tst_RenamePresets::handWrittenFileRead()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"v.conf"_s);
    writeFile(file, "[Presets]\nold\\nameTemplate=[C]\nold\\colourOfTheDay=blue\nold\\caseTag=9\n"
                    "old\\startCounter=many\nold\\stepCounter=99999999999\n"
                    "old\\digitsCounter=100000\nold\\regex=perhaps\n");
    {
        UserDefaults defaults(file);
        RenamePresets presets(defaults);
        const RenameSettings loaded = *presets.load(u"old"_s);
        QCOMPARE(loaded, settings(u"[C]"_s, u"[E]"_s, {}, {}, 9, 1, 1, 255));
        presets.save(u"old"_s, loaded);
    }
    const UserDefaults defaults(file);
    QCOMPARE(defaults.stringForKey(u"Presets/old/colourOfTheDay"_s), u"blue"_s);
}

// Removing the user's value brings the factory one back, and neither the
// factory values nor a removed key ever reach the file.
void tst_RenamePresets::factoryAnswersButIsNeverWritten()
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

void tst_RenamePresets::bytesSurviveTheFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("NUL and high bytes") << QByteArray("VLNG\x01\0\0\xff\x80/a", 11);
    QTest::newRow("not UTF-8 path") << QByteArray("/home/caf\xe9");
    QTest::newRow("looks like a type tag") << QByteArray("@Variant(x)");
    QTest::newRow("newline and equals") << QByteArray("/a\nb=c;d");
}

void tst_RenamePresets::bytesSurviveTheFile()
{
    QFETCH(QByteArray, bytes);
    const QString fileName = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
    UserDefaults(fileName).setObject(bytes, u"rootlimit"_s);
    QCOMPARE(UserDefaults(fileName).dataForKey(u"rootlimit"_s), bytes);
}

void tst_RenamePresets::readFactoryFile_data()
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

void tst_RenamePresets::readFactoryFile()
{
    QFETCH(QByteArray, content);
    const QString fileName = m_dir.filePath(u"Factory"_s);
    writeFile(fileName, content);
    UserDefaults defaults(m_dir.filePath(u"user.conf"_s));
    defaults.registerDefaults(UserDefaults::readFactoryFile(fileName));
    QTEST(defaults.boolForKey(u"skipTutorial"_s), "skipTutorial");
    QTEST(defaults.stringForKey(u"rootlimit"_s), "rootlimit");
}

QTEST_GUILESS_MAIN(tst_RenamePresets)
#include "tst_renamepresets.moc"
