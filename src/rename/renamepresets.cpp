// SPDX-License-Identifier: GPL-3.0-or-later
#include "rename/renamepresets.h"

#include "rename/userdefaults.h"

#include <QSettings>
#include <QUrl>

#include <algorithm>
#include <limits>

namespace {

const QString group = QStringLiteral("Presets");

// The key of every setting in a preset, in the order they are written.
namespace Key {
const QString nameTemplate = QStringLiteral("nameTemplate");
const QString extTemplate = QStringLiteral("extTemplate");
const QString searchText = QStringLiteral("searchText");
const QString replaceText = QStringLiteral("replaceText");
const QString regex = QStringLiteral("regex");
const QString ignoreCase = QStringLiteral("ignoreCase");
const QString caseTag = QStringLiteral("caseTag");
const QString startCounter = QStringLiteral("startCounter");
const QString stepCounter = QStringLiteral("stepCounter");
const QString digitsCounter = QStringLiteral("digitsCounter");
const QString counterPerFolder = QStringLiteral("counterPerFolder");
const QString hour24 = QStringLiteral("hour24");
// "taken,modified": the date sources by name, the first with a date wins.
const QString dateFrom = QStringLiteral("dateFrom");
const QString plainAscii = QStringLiteral("plainAscii");
const QString companions = QStringLiteral("companions");
const QString uniqueNames = QStringLiteral("uniqueNames");
const QString makeFolders = QStringLiteral("makeFolders");
const QString rows = QStringLiteral("rows");
} // namespace Key

const std::pair<RenameSettings::DateSource, QLatin1StringView> dateSourceNames[] = {
    {RenameSettings::DateSource::Modified, QLatin1StringView("modified")},
    {RenameSettings::DateSource::Created, QLatin1StringView("created")},
    {RenameSettings::DateSource::Taken, QLatin1StringView("taken")},
};

// INI files hold every value as text.
bool readBool(const QSettings &settings, const QString &key, bool fallback)
{
    const QVariant value = settings.value(key);
    if (!value.isValid())
        return fallback;
    const QString text = value.toString().trimmed();
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || text == QLatin1String("1"))
        return true;
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0 ||
        text == QLatin1String("0"))
        return false;
    return fallback;
}

qint32 readInt(const QSettings &settings, const QString &key, qint32 fallback)
{
    bool ok = false;
    const qlonglong value = settings.value(key).toString().trimmed().toLongLong(&ok);
    if (!ok || value < std::numeric_limits<qint32>::min() ||
        value > std::numeric_limits<qint32>::max())
        return fallback;
    return qint32(value);
}

QString readText(const QSettings &settings, const QString &key, const QString &fallback)
{
    const QVariant value = settings.value(key);
    return value.isValid() ? value.toString() : fallback;
}

} // namespace

RenamePresets::RenamePresets(UserDefaults &defaults) : m_defaults(defaults) {}

QString RenamePresets::keyOfName(const QString &name)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(name));
}

QString RenamePresets::nameOfKey(const QString &key)
{
    return QString::fromUtf8(QByteArray::fromPercentEncoding(key.toLatin1()));
}

QStringList RenamePresets::names() const
{
    QSettings &settings = m_defaults.settings();
    settings.beginGroup(group);
    const QStringList keys = settings.childGroups();
    settings.endGroup();
    QStringList result;
    result.reserve(keys.size());
    for (const QString &key : keys)
        result << nameOfKey(key);
    std::sort(result.begin(), result.end(), [](const QString &a, const QString &b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    return result;
}

bool RenamePresets::contains(const QString &name) const
{
    if (name.isEmpty())
        return false;
    QSettings &settings = m_defaults.settings();
    settings.beginGroup(group);
    const bool found = settings.childGroups().contains(keyOfName(name));
    settings.endGroup();
    return found;
}

std::optional<RenameSettings> RenamePresets::load(const QString &name) const
{
    if (!contains(name))
        return std::nullopt;
    QSettings &settings = m_defaults.settings();
    settings.beginGroup(group + u'/' + keyOfName(name));
    const RenameSettings d;
    RenameSettings s;
    s.nameTemplate = readText(settings, Key::nameTemplate, d.nameTemplate);
    s.extTemplate = readText(settings, Key::extTemplate, d.extTemplate);
    s.searchText = readText(settings, Key::searchText, d.searchText);
    s.replaceText = readText(settings, Key::replaceText, d.replaceText);
    s.regex = readBool(settings, Key::regex, d.regex);
    s.ignoreCase = readBool(settings, Key::ignoreCase, d.ignoreCase);
    s.caseTag = readInt(settings, Key::caseTag, d.caseTag);
    s.startCounter = readInt(settings, Key::startCounter, d.startCounter);
    s.stepCounter = readInt(settings, Key::stepCounter, d.stepCounter);
    s.digitsCounter = std::clamp(readInt(settings, Key::digitsCounter, d.digitsCounter), 0, 255);
    s.counterPerFolder = readBool(settings, Key::counterPerFolder, d.counterPerFolder);
    s.hour24 = readBool(settings, Key::hour24, d.hour24);
    // An unknown source (from a later version) is passed over.
    for (const QString &name : readText(settings, Key::dateFrom, QString()).split(u',')) {
        for (const auto &[source, sourceName] : dateSourceNames) {
            if (name == sourceName)
                s.dateSources << source;
        }
    }
    s.plainAscii = readBool(settings, Key::plainAscii, d.plainAscii);
    s.companions = readBool(settings, Key::companions, d.companions);
    s.uniqueNames = readBool(settings, Key::uniqueNames, d.uniqueNames);
    s.makeFolders = readBool(settings, Key::makeFolders, d.makeFolders);
    // Folders are made or renamed, never both: a preset edited by hand to
    // ask for both makes folders, as it would have before folders were rows.
    const int rows = readInt(settings, Key::rows, int(d.rows));
    if (!s.makeFolders && rows >= int(RenameSettings::Rows::Files) &&
        rows <= int(RenameSettings::Rows::FilesAndFolders))
        s.rows = RenameSettings::Rows(rows);
    settings.endGroup();
    return s;
}

void RenamePresets::save(const QString &name, const RenameSettings &s)
{
    QSettings &settings = m_defaults.settings();
    // Only the known keys are written: what a later version added stays.
    settings.beginGroup(group + u'/' + keyOfName(name));
    settings.setValue(Key::nameTemplate, s.nameTemplate);
    settings.setValue(Key::extTemplate, s.extTemplate);
    settings.setValue(Key::searchText, s.searchText);
    settings.setValue(Key::replaceText, s.replaceText);
    settings.setValue(Key::regex, s.regex);
    settings.setValue(Key::ignoreCase, s.ignoreCase);
    settings.setValue(Key::caseTag, s.caseTag);
    settings.setValue(Key::startCounter, s.startCounter);
    settings.setValue(Key::stepCounter, s.stepCounter);
    settings.setValue(Key::digitsCounter, s.digitsCounter);
    settings.setValue(Key::counterPerFolder, s.counterPerFolder);
    settings.setValue(Key::hour24, s.hour24);
    QStringList sources;
    for (const RenameSettings::DateSource source : s.dateSources) {
        for (const auto &[known, sourceName] : dateSourceNames) {
            if (source == known)
                sources << sourceName;
        }
    }
    settings.setValue(Key::dateFrom, sources.join(u','));
    settings.setValue(Key::plainAscii, s.plainAscii);
    settings.setValue(Key::companions, s.companions);
    settings.setValue(Key::uniqueNames, s.uniqueNames);
    settings.setValue(Key::makeFolders, s.makeFolders);
    settings.setValue(Key::rows, int(s.rows));
    settings.endGroup();
    settings.sync();
}

void RenamePresets::remove(const QString &name)
{
    QSettings &settings = m_defaults.settings();
    settings.remove(group + u'/' + keyOfName(name));
    settings.sync();
}
