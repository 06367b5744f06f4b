// SPDX-License-Identifier: GPL-3.0-or-later
#include "rename/userdefaults.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

UserDefaults::UserDefaults()
    : m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             QStringLiteral("Velnor"), QStringLiteral("Velnor")))
{}

UserDefaults::UserDefaults(const QString &fileName)
    : m_settings(std::make_unique<QSettings>(fileName, QSettings::IniFormat))
{}

UserDefaults::~UserDefaults() = default;

void UserDefaults::registerDefaults(const QVariantMap &factory)
{
    for (auto it = factory.cbegin(); it != factory.cend(); ++it)
        m_factory.insert(it.key(), it.value());
}

QVariantMap UserDefaults::readFactoryFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray content = file.readAll();
    file.close();
    if (content.trimmed().startsWith('{')) {
        const QJsonDocument document = QJsonDocument::fromJson(content);
        return document.isObject() ? document.object().toVariantMap() : QVariantMap();
    }
    QVariantMap map;
    const QSettings ini(fileName, QSettings::IniFormat);
    for (const QString &key : ini.allKeys())
        map.insert(key, ini.value(key));
    return map;
}

QVariant UserDefaults::objectForKey(const QString &key) const
{
    return m_settings->value(key, m_factory.value(key));
}

bool UserDefaults::boolForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    if (value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QByteArray) {
        // INI files hold every value as text; "YES" and "true" are true, as is
        // a number other than zero.
        const QString text = value.toString().trimmed();
        if (text.compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0 ||
            text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        bool isNumber = false;
        const double number = text.toDouble(&isNumber);
        return isNumber && number != 0;
    }
    return value.toBool();
}

QString UserDefaults::stringForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    if (value.typeId() == QMetaType::QString)
        return value.toString();
    if (value.typeId() == QMetaType::QByteArray)
        return QString::fromUtf8(value.toByteArray());
    return value.canConvert<QString>() ? value.toString() : QString();
}

QByteArray UserDefaults::dataForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    if (value.typeId() == QMetaType::QByteArray)
        return value.toByteArray();
    if (value.typeId() == QMetaType::QString)
        return value.toString().toUtf8();
    return QByteArray();
}

void UserDefaults::setObject(const QVariant &value, const QString &key)
{
    if (value.isValid())
        m_settings->setValue(key, value);
    else
        m_settings->remove(key);
}

void UserDefaults::setBool(bool value, const QString &key)
{
    m_settings->setValue(key, value);
}

void UserDefaults::synchronize()
{
    m_settings->sync();
}

QString UserDefaults::fileName() const
{
    return m_settings->fileName();
}
