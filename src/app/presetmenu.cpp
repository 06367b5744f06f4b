// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/presetmenu.h"

#include "rename/renamepresets.h"
#include "rename/userdefaults.h"

#include <QInputDialog>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>

PresetMenu::PresetMenu(QMainWindow *window, QMenu *before, UserDefaults *defaults,
                       SettingsGetter current, SettingsSetter apply)
    : QObject(window), m_window(window), m_defaults(defaults), m_current(std::move(current)),
      m_apply(std::move(apply))
{
    m_menu = new QMenu(tr("Prese&ts"), window);
    m_menu->setObjectName(QStringLiteral("menuPresets"));
    window->menuBar()->insertMenu(before->menuAction(), m_menu);
    m_menu->setEnabled(m_defaults != nullptr);
    rebuild();
}

void PresetMenu::rebuild()
{
    m_menu->clear();
    QAction *save = m_menu->addAction(tr("&Save Settings as Preset…"));
    save->setObjectName(QStringLiteral("actionSavePreset"));
    connect(save, &QAction::triggered, this, &PresetMenu::askForName);
    if (!m_defaults)
        return;
    const QStringList names = RenamePresets(*m_defaults).names();
    m_menu->addSeparator();
    QMenu *deleteMenu = new QMenu(tr("&Delete Preset"), m_menu);
    deleteMenu->setObjectName(QStringLiteral("menuDeletePreset"));
    for (const QString &name : names) {
        // "&" in a name is text, not a mnemonic.
        QString title = name;
        title.replace(u'&', QStringLiteral("&&"));
        connect(m_menu->addAction(title), &QAction::triggered, this, [this, name] { load(name); });
        connect(deleteMenu->addAction(title), &QAction::triggered, this,
                [this, name] { remove(name); });
    }
    m_menu->addSeparator();
    m_menu->addMenu(deleteMenu);
    deleteMenu->setEnabled(!names.isEmpty());
}

void PresetMenu::askForName()
{
    if (!m_defaults)
        return;
    auto *dialog = new QInputDialog(m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(tr("Save Settings as Preset"));
    dialog->setLabelText(tr("Preset name:"));
    connect(dialog, &QInputDialog::textValueSelected, this, [this](const QString &name) {
        if (name.trimmed().isEmpty())
            return;
        if (!RenamePresets(*m_defaults).contains(name)) {
            saveAs(name);
            return;
        }
        // A preset is a week's work for some: replace one only when asked to.
        auto *ask = new QMessageBox(QMessageBox::Question, tr("Save Settings as Preset"),
                                    tr("A preset named “%1” exists. Replace it?").arg(name),
                                    QMessageBox::Cancel, m_window);
        ask->setAttribute(Qt::WA_DeleteOnClose);
        QPushButton *replace = ask->addButton(tr("Replace"), QMessageBox::AcceptRole);
        connect(replace, &QPushButton::clicked, this, [this, name] { saveAs(name); });
        ask->open();
    });
    dialog->open();
}

void PresetMenu::saveAs(const QString &name)
{
    if (!m_defaults || name.isEmpty())
        return;
    RenamePresets(*m_defaults).save(name, m_current());
    rebuild();
}

bool PresetMenu::load(const QString &name)
{
    if (!m_defaults)
        return false;
    const std::optional<RenameSettings> settings = RenamePresets(*m_defaults).load(name);
    if (!settings)
        return false;
    m_apply(*settings);
    return true;
}

void PresetMenu::remove(const QString &name)
{
    if (!m_defaults)
        return;
    RenamePresets(*m_defaults).remove(name);
    rebuild();
}
