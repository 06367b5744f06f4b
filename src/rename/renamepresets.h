// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/renamesettings.h"

#include <QString>
#include <QStringList>

#include <optional>

class UserDefaults;

// Rename settings saved under a name in the user defaults, one group
// "Presets" shared by the window and the command line. Each preset is a
// subgroup whose key is the name percent-encoded in UTF-8, so that any name
// ("a/b", "x=y", "Fotos März") is one key. Keys that a later version wrote
// into a preset are ignored when loading and kept when saving over it.
class RenamePresets
{
public:
    explicit RenamePresets(UserDefaults &defaults);

    // The saved names, in the order of comparing them without regard to case.
    QStringList names() const;
    bool contains(const QString &name) const;
    // The preset's settings, each missing or unreadable value at its default.
    std::optional<RenameSettings> load(const QString &name) const;
    void save(const QString &name, const RenameSettings &settings);
    void remove(const QString &name);

    static QString keyOfName(const QString &name);
    static QString nameOfKey(const QString &key);

private:
    UserDefaults &m_defaults;
};
