#include "rename/renamepresets.h"
#include "rename/userdefaults.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// Presets in the user's settings file: names of any kind, every setting, and
// keys of a later version.
class tst_RenamePresets : public QObject
{
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void everySettingIsKept();
    void laterKeysIgnoredAndKept();
    void unreadableValuesFallBack();
    void deleteAndList();
};

void tst_RenamePresets::roundTrip_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << "weekly";
    QTest::newRow("slash") << "photos/2024";
    QTest::newRow("equals and semicolon") << "a=b;c";
    QTest::newRow("percent") << "100%";
    QTest::newRow("non-ASCII") << u"Fotos M\u00E4rz \U0001F4F7"_qs;
    QTest::newRow("brackets and backslash") << "[General]\\x";
    QTest::newRow("spaces around") << " padded ";
}

void tst_RenamePresets::roundTrip()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("v.conf"));
    RenameSettings settings;
    settings.nameTemplate = QStringLiteral("[N]_[C]");
    {
        UserDefaults defaults(file);
        RenamePresets(defaults).save(name, settings);
    }
    UserDefaults defaults(file);
    const RenamePresets presets(defaults);
    QCOMPARE(presets.names(), QStringList{name});
    QVERIFY(presets.contains(name));
    QCOMPARE(presets.load(name)->nameTemplate, QStringLiteral("[N]_[C]"));
    QVERIFY(!presets.load(name + u'x'));
}

void tst_RenamePresets::everySettingIsKept()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("v.conf"));
    RenameSettings settings;
    settings.nameTemplate = QStringLiteral(" [N] ");
    settings.extTemplate = QString();
    settings.searchText = QStringLiteral("(\\d+)");
    settings.replaceText = QStringLiteral("n$1, \"quoted\"");
    settings.regex = true;
    settings.ignoreCase = true;
    settings.caseTag = RenameSettings::TitleCase;
    settings.startCounter = -2147483647 - 1;
    settings.stepCounter = -3;
    settings.digitsCounter = 4;
    settings.counterPerFolder = true;
    {
        UserDefaults defaults(file);
        RenamePresets(defaults).save(QStringLiteral("all"), settings);
    }
    UserDefaults defaults(file);
    QCOMPARE(*RenamePresets(defaults).load(QStringLiteral("all")), settings);
}

void tst_RenamePresets::laterKeysIgnoredAndKept()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("v.conf"));
    QFile ini(file);
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[Presets]\n"
              "old\\nameTemplate=[C]\n"
              "old\\colourOfTheDay=blue\n"
              "old\\caseTag=9\n");
    ini.close();
    {
        UserDefaults defaults(file);
        RenamePresets presets(defaults);
        const RenameSettings loaded = *presets.load(QStringLiteral("old"));
        QCOMPARE(loaded.nameTemplate, QStringLiteral("[C]"));
        QCOMPARE(loaded.extTemplate, QStringLiteral("[E]"));
        QCOMPARE(loaded.caseTag, 9);
        presets.save(QStringLiteral("old"), loaded);
    }
    const UserDefaults defaults(file);
    QCOMPARE(defaults.stringForKey(QStringLiteral("Presets/old/colourOfTheDay")),
             QStringLiteral("blue"));
}

void tst_RenamePresets::unreadableValuesFallBack()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("v.conf"));
    QFile ini(file);
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[Presets]\n"
              "p\\startCounter=many\n"
              "p\\stepCounter=99999999999\n"
              "p\\digitsCounter=100000\n"
              "p\\regex=perhaps\n");
    ini.close();
    UserDefaults defaults(file);
    const RenameSettings loaded = *RenamePresets(defaults).load(QStringLiteral("p"));
    QCOMPARE(loaded.startCounter, 1);
    QCOMPARE(loaded.stepCounter, 1);
    QCOMPARE(loaded.digitsCounter, 255);
    QCOMPARE(loaded.regex, false);
}

void tst_RenamePresets::deleteAndList()
{
    QTemporaryDir dir;
    UserDefaults defaults(dir.filePath(QStringLiteral("v.conf")));
    RenamePresets presets(defaults);
    for (const char *name : {"beta", "Alpha", "a/b", "gamma"})
        presets.save(QString::fromUtf8(name), RenameSettings());
    QCOMPARE(presets.names(), (QStringList{"a/b", "Alpha", "beta", "gamma"}));
    presets.remove(QStringLiteral("a/b"));
    presets.remove(QStringLiteral("nothing"));
    QCOMPARE(presets.names(), (QStringList{"Alpha", "beta", "gamma"}));
    QVERIFY(!presets.contains(QString()));
}

QTEST_GUILESS_MAIN(tst_RenamePresets)
#include "tst_renamepresets.moc"
