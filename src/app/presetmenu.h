// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/renamesettings.h"

#include <QObject>

#include <functional>

class QMainWindow;
class QMenu;
class UserDefaults;

// The Presets menu: "Save Settings as Preset…", one item per saved preset
// that loads it, and "Delete Preset ▸". The presets live in the user
// defaults, where the command line finds them as well.
class PresetMenu : public QObject
{
    Q_OBJECT
public:
    using SettingsGetter = std::function<RenameSettings()>;
    using SettingsSetter = std::function<void(const RenameSettings &)>;

    // Without defaults the menu is there but disabled.
    PresetMenu(QMainWindow *window, QMenu *before, UserDefaults *defaults, SettingsGetter current,
               SettingsSetter apply);

    QMenu *menu() const { return m_menu; }

    // What the menu items do; the save item asks for the name first.
    void saveAs(const QString &name);
    bool load(const QString &name);
    void remove(const QString &name);
    void askForName();

private:
    void rebuild();

    QMainWindow *m_window;
    UserDefaults *m_defaults;
    SettingsGetter m_current;
    SettingsSetter m_apply;
    QMenu *m_menu = nullptr;
};
