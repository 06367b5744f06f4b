// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class NameComposer;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QMainWindow;
class QMenu;
class QPushButton;
struct RenameSettings;
namespace Ui {
class VLNWindow;
}

// The rename settings as the window's controls show them, both ways, and the
// controls of the rules that came after the window's layout: "Regular
// expression" and "Ignore case" with the pattern's error under the search
// field, the Title Case and Sentence case items of the case pop-up, "Restart
// in each folder", "Make names unique" and "Keep companion files together"
// in the counter box, "Plain ASCII" in the case box, the "[P] Directory"
// token button and View > Natural Order. Each is made
// here, in code, and starts in the state that leaves every name and order as
// the layout alone gives them.
class RuleControls : public QObject
{
    Q_OBJECT
public:
    RuleControls(Ui::VLNWindow *ui, QMainWindow *window);

    // The settings as the window's controls stand, with the counters the
    // window holds.
    RenameSettings settings(qint32 start, qint32 step, qint32 digits) const;
    // Sets every control from the settings (a preset); the added ones
    // without signals.
    void setSettings(const RenameSettings &settings);
    // Shows why the composer's pattern or replacement cannot work, or hides
    // the message.
    void showSearchFault(const NameComposer &composer);

    QCheckBox *regexBox() const { return m_regexBox; }
    QCheckBox *ignoreCaseBox() const { return m_ignoreCaseBox; }
    QCheckBox *perFolderBox() const { return m_perFolderBox; }
    QCheckBox *companionsBox() const { return m_companionsBox; }
    QCheckBox *asciiBox() const { return m_asciiBox; }
    QCheckBox *uniqueBox() const { return m_uniqueBox; }
    QCheckBox *makeFoldersBox() const { return m_makeFoldersBox; }
    // Rename: Files / Folders / Files and Folders, in the counter box: what
    // the folders added from then on list as rows.
    QComboBox *rowsPopup() const { return m_rowsPopup; }
    QPushButton *folderTokenButton() const { return m_folderToken; }
    QLabel *searchErrorLabel() const { return m_searchError; }
    QAction *naturalOrderAction() const { return m_naturalOrder; }
    QMenu *viewMenu() const { return m_viewMenu; }

signals:
    // A rule changed: the preview is due.
    void changed();
    void naturalOrderToggled(bool natural);

private:
    Ui::VLNWindow *m_ui;
    QCheckBox *m_regexBox = nullptr;
    QCheckBox *m_ignoreCaseBox = nullptr;
    QCheckBox *m_perFolderBox = nullptr;
    QCheckBox *m_companionsBox = nullptr;
    QCheckBox *m_asciiBox = nullptr;
    QCheckBox *m_uniqueBox = nullptr;
    QCheckBox *m_makeFoldersBox = nullptr;
    QComboBox *m_rowsPopup = nullptr;
    // A run either makes folders or renames them: each choice greys the
    // other out while it is on.
    void greyFolderChoices();
    QPushButton *m_folderToken = nullptr;
    QLabel *m_searchError = nullptr;
    QAction *m_naturalOrder = nullptr;
    QMenu *m_viewMenu = nullptr;
};
