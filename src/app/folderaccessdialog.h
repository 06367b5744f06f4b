// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;
class UserDefaults;

// The folders the user allowed renaming in, each covering every folder
// inside it. Removing one takes effect at once: the next run there asks
// again.
class FolderAccessDialog : public QDialog
{
    Q_OBJECT
public:
    FolderAccessDialog(UserDefaults *defaults, QWidget *parent = nullptr);

    // Reads the grants again, as another run may have added one.
    void reload();

    QListWidget *folderList() const { return m_folders; }
    QPushButton *removeButton() const { return m_remove; }

private:
    void removeSelected();

    UserDefaults *m_defaults;
    QLabel *m_empty;
    QListWidget *m_folders;
    QPushButton *m_remove;
};
