// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "intake/listingfilter.h"

#include <QObject>

#include <functional>

class QAction;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QUrl;
namespace Ui {
class VLNWindow;
}

// What is listed, beside Add…: Add Folder… (also File ▸ Add Folder…,
// Ctrl+Shift+O), a field of name patterns and the "Hidden files" box. The
// patterns and the box apply to the folders listed from then on, by any
// road; with the field empty and the box on, every file is listed.
class ListingControls : public QObject
{
    Q_OBJECT
public:
    using ListPaths = std::function<void(const QList<QByteArray> &nativePaths)>;
    ListingControls(Ui::VLNWindow *ui, QWidget *window, ListPaths list);

    QPushButton *addFolderButton() const { return m_addFolder; }
    QLineEdit *filterField() const { return m_filter; }
    QCheckBox *hiddenBox() const { return m_hidden; }
    QAction *addFolderAction() const { return m_addFolderAction; }

    // As the controls stand. The window's patterns ignore case.
    ListingFilter filter() const;

    // The paths of handed-over URLs as the bytes they name: the
    // percent-encoded form keeps bytes that are not valid UTF-8, which the
    // decoded form would replace. A native panel hands such names over only
    // in its URLs.

signals:
    void filterChanged();

public slots:
    void clickAdd();
    void clickAddFolder();

private:
    QWidget *m_window;
    ListPaths m_list;
    QPushButton *m_addFolder;
    QLineEdit *m_filter;
    QCheckBox *m_hidden;
    QAction *m_addFolderAction;
};
