// SPDX-License-Identifier: GPL-3.0-or-later
#include "rename/renamepresets.h"
#include "rename/userdefaults.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// A settings file of these presets' keys, as written by hand or a later version.
static bool writeIni(const QString &path, const QByteArray &presets)
{
    QFile ini(path);
    return ini.open(QIODevice::WriteOnly) && ini.write("[Presets]\n" + presets) > 0;
}

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
    const QString file = dir.filePath(u"v.conf"_s);
    RenameSettings settings;
    settings.nameTemplate = u"[N]_[C]"_s;
    {
        UserDefaults defaults(file);
        RenamePresets(defaults).save(name, settings);
    }
    UserDefaults defaults(file);
    const RenamePresets presets(defaults);
    QCOMPARE(presets.names(), QStringList{name});
    QVERIFY(presets.contains(name));
    QCOMPARE(presets.load(name)->nameTemplate, u"[N]_[C]"_s);
    QVERIFY(!presets.load(name + u'x'));
}

void tst_RenamePresets::everySettingIsKept()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"v.conf"_s);
    RenameSettings settings;
    settings.nameTemplate = u" [N] "_s;
    settings.extTemplate = QString();
    settings.searchText = u"(\\d+)"_s;
    settings.replaceText = u"n$1, \"quoted\""_s;
    settings.regex = true;
    settings.ignoreCase = true;
    settings.caseTag = RenameSettings::TitleCase;
    settings.startCounter = -2147483647 - 1;
    settings.stepCounter = -3;
    settings.digitsCounter = 4;
    settings.counterPerFolder = true;
    settings.hour24 = true;
    settings.plainAscii = true;
    settings.dateSources = {RenameSettings::DateSource::Taken, RenameSettings::DateSource::Created,
                            RenameSettings::DateSource::Modified};
    {
        UserDefaults defaults(file);
        RenamePresets(defaults).save(u"all"_s, settings);
    }
    UserDefaults defaults(file);
    QCOMPARE(*RenamePresets(defaults).load(u"all"_s), settings);
}

void tst_RenamePresets::laterKeysIgnoredAndKept()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"v.conf"_s);
    QVERIFY(writeIni(file, "old\\nameTemplate=[C]\nold\\colourOfTheDay=blue\nold\\caseTag=9\n"));
    {
        UserDefaults defaults(file);
        RenamePresets presets(defaults);
        const RenameSettings loaded = *presets.load(u"old"_s);
        QCOMPARE(loaded.nameTemplate, u"[C]"_s);
        QCOMPARE(loaded.extTemplate, u"[E]"_s);
        QCOMPARE(loaded.caseTag, 9);
        presets.save(u"old"_s, loaded);
    }
    const UserDefaults defaults(file);
    QCOMPARE(defaults.stringForKey(u"Presets/old/colourOfTheDay"_s), u"blue"_s);
}

void tst_RenamePresets::unreadableValuesFallBack()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"v.conf"_s);
    QVERIFY(writeIni(file, "p\\startCounter=many\np\\stepCounter=99999999999\n"
                           "p\\digitsCounter=100000\np\\regex=perhaps\n"));
    UserDefaults defaults(file);
    const RenameSettings loaded = *RenamePresets(defaults).load(u"p"_s);
    QCOMPARE(loaded.startCounter, 1);
    QCOMPARE(loaded.stepCounter, 1);
    QCOMPARE(loaded.digitsCounter, 255);
    QCOMPARE(loaded.regex, false);
}

void tst_RenamePresets::deleteAndList()
{
    QTemporaryDir dir;
    UserDefaults defaults(dir.filePath(u"v.conf"_s));
    RenamePresets presets(defaults);
    for (const char *name : {"beta", "Alpha", "a/b", "gamma"})
        presets.save(QString::fromUtf8(name), RenameSettings());
    QCOMPARE(presets.names(), (QStringList{"a/b", "Alpha", "beta", "gamma"}));
    presets.remove(u"a/b"_s);
    presets.remove(u"nothing"_s);
    QCOMPARE(presets.names(), (QStringList{"Alpha", "beta", "gamma"}));
    QVERIFY(!presets.contains(QString()));
}

QTEST_GUILESS_MAIN(tst_RenamePresets)
#include "tst_renamepresets.moc"
