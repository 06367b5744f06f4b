// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/listingcontrols.h"

#include "app/filemanager.h"
#include "app/windowactions.h"

#include "ui_vlnwindow.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>

ListingControls::ListingControls(Ui::VLNWindow *ui, QWidget *window, ListPaths list)
    : QObject(window), m_window(window), m_list(std::move(list))
{
    m_addFolder = new QPushButton(tr("Add Fol&der…"), ui->centralwidget);
    m_addFolder->setObjectName(QStringLiteral("addFolderButton"));
    m_addFolder->setToolTip(tr("Add a folder and every file below it to the list"));
    m_filter = new QLineEdit(ui->centralwidget);
    m_filter->setObjectName(QStringLiteral("listingFilterField"));
    m_filter->setPlaceholderText(tr("Filter: *.jpg *.png"));
    m_filter->setToolTip(tr("Of the folders added from now on, list only the files whose names "
                            "match one of these patterns (* any text, ? one character), "
                            "without regard to case. Empty: every file"));
    m_filter->setClearButtonEnabled(true);
    const int letter = m_filter->fontMetrics().horizontalAdvance(QLatin1Char('x'));
    // Room for a pattern or two; less in a narrow window, where the bottom
    // row's buttons need it.
    m_filter->setMinimumWidth(letter * 8);
    m_filter->setMaximumWidth(letter * 24);
    m_hidden = new QCheckBox(tr("&Hidden files"), ui->centralwidget);
    m_hidden->setObjectName(QStringLiteral("hiddenFilesBox"));
    m_hidden->setToolTip(tr("List the files of the folders added from now on whose names start "
                            "with a dot, and the folders so named (.git)"));
    m_hidden->setChecked(true);
    int at = ui->listButtons->indexOf(ui->addButton) + 1;
    for (QWidget *widget : {static_cast<QWidget *>(m_addFolder), static_cast<QWidget *>(m_filter),
                            static_cast<QWidget *>(m_hidden)})
        ui->listButtons->insertWidget(at++, widget);
    QWidget::setTabOrder(ui->addButton, m_addFolder);
    QWidget::setTabOrder(m_addFolder, m_filter);
    QWidget::setTabOrder(m_filter, m_hidden);

    m_addFolderAction = new QAction(tr("Add Fol&der…"), window);
    m_addFolderAction->setObjectName(QStringLiteral("actionAddFolder"));
    m_addFolderAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    WindowActions::showShortcut(m_addFolder, m_addFolderAction->shortcut());
    ui->menuFile->insertAction(ui->actionAddFiles, m_addFolderAction);
    ui->menuFile->removeAction(ui->actionAddFiles);
    ui->menuFile->insertAction(m_addFolderAction, ui->actionAddFiles);
    connect(m_addFolderAction, &QAction::triggered, this, &ListingControls::clickAddFolder);
    connect(m_addFolder, &QPushButton::clicked, this, &ListingControls::clickAddFolder);
    connect(m_filter, &QLineEdit::textChanged, this, &ListingControls::filterChanged);
    connect(m_hidden, &QCheckBox::toggled, this, &ListingControls::filterChanged);
}

ListingFilter ListingControls::filter() const
{
    ListingFilter filter;
    filter.include = ListingFilter::patternsOfText(m_filter->text());
    filter.ignoreCase = true;
    filter.noHidden = !m_hidden->isChecked();
    return filter;
}

void ListingControls::clickAdd()
{
    auto *panel = new QFileDialog(m_window);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setFileMode(QFileDialog::ExistingFiles);
    // The window's text, as before the panel moved here.
    panel->setWindowTitle(QCoreApplication::translate("VLNWindow", "Add Files"));
    // The panel's URLs, not its file names, which could lead to another file.
    connect(panel, &QDialog::accepted, this,
            [this, panel] { m_list(FileManager::nativePathsOfUrls(panel->selectedUrls())); });
    panel->open();
}

void ListingControls::clickAddFolder()
{
    auto *panel = new QFileDialog(m_window);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setFileMode(QFileDialog::Directory);
    panel->setOption(QFileDialog::ShowDirsOnly);
    panel->setWindowTitle(tr("Add Folder"));
    connect(panel, &QDialog::accepted, this,
            [this, panel] { m_list(FileManager::nativePathsOfUrls(panel->selectedUrls())); });
    panel->open();
}
