// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/renamesettings.h"

#include <QObject>

class QCheckBox;
class QComboBox;
class QInputDialog;
class QMenu;
class QPushButton;
class QWidget;
namespace Ui {
class VLNWindow;
}

// The controls of the names made from what is inside the files, in the Name
// section: "24-hour clock" beside the time button, the Metadata button (a
// menu of the value tokens, "Other Field…" for any key) beside the token
// buttons, and the "Dates from" pop-up under them, whose items name the
// sources in the order they are tried. They start where every name and date
// is as the layout alone gives them: 12-hour clock, modification date.
class MetaControls : public QObject
{
    Q_OBJECT
public:
    MetaControls(Ui::VLNWindow *ui, QWidget *window);

    // Puts the controls' values into settings made by the other controls.
    void apply(RenameSettings &settings) const;
    // Sets the controls from the settings (a preset), without signals.
    void setSettings(const RenameSettings &settings);

    QCheckBox *hour24Box() const { return m_hour24; }
    QComboBox *datesFromPopup() const { return m_datesFrom; }
    QPushButton *metadataButton() const { return m_metadata; }
    QMenu *metadataMenu() const { return m_menu; }
    // The question of "Other Field…", while it is open.
    QInputDialog *keyDialog() const { return m_keyDialog; }

    // The pop-up's text for a list of sources: "Taken, else modified".
    static QString sourcesText(const QList<RenameSettings::DateSource> &sources);
    // Whether a key typed for "[meta:KEY]" can stand in a token.
    static bool isUsableKey(const QString &key);

signals:
    // The clock or the date source changed: the preview is due.
    void changed();
    // A token was picked from the menu, to go at the end of the name.
    void tokenChosen(const QString &token);

private:
    void addSourcesItem(const QList<RenameSettings::DateSource> &sources);
    void askForKey();

    QWidget *m_window;
    QCheckBox *m_hour24;
    QComboBox *m_datesFrom;
    QPushButton *m_metadata;
    QMenu *m_menu;
    QInputDialog *m_keyDialog = nullptr;
};
