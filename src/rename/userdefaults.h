// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSettings>
#include <QVariantMap>

#include <memory>

// The user's defaults with the factory values as fallback. Factory values
// answer for keys the user's file does not hold and are never written into it.
class UserDefaults
{
public:
    // The user's file of this application (QSettings' native place, which
    // XDG_CONFIG_HOME moves).
    UserDefaults();
    // A file of one's own, for tests and tools.
    explicit UserDefaults(const QString &fileName);
    ~UserDefaults();

    void registerDefaults(const QVariantMap &factory);
    // Reads an INI or JSON map, such as the application's Factory resource.
    static QVariantMap readFactoryFile(const QString &fileName);

    QVariant objectForKey(const QString &key) const;
    bool boolForKey(const QString &key) const;
    QString stringForKey(const QString &key) const;
    QByteArray dataForKey(const QString &key) const;

    // An invalid value removes the key.
    void setObject(const QVariant &value, const QString &key);
    void setBool(bool value, const QString &key);
    void synchronize();

    QString fileName() const;
    // The user's file itself, for groups of keys such as the presets.
    QSettings &settings() const { return *m_settings; }

private:
    std::unique_ptr<QSettings> m_settings;
    QVariantMap m_factory;
};
