// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/appdelegate.h"

#include "app/aboutdialog.h"
#include "app/undocontrol.h"
#include "app/vlnwindow.h"
#include "rename/userdefaults.h"
#include "ui_vlnwindow.h"

#include <QApplication>
#include <QDesktopServices>

AppDelegate::AppDelegate(QObject *parent) : QObject(parent) {}

AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationDidFinishLaunching()
{
    m_defaults = std::make_unique<UserDefaults>();
    m_defaults->registerDefaults(UserDefaults::readFactoryFile(QStringLiteral(":/Factory")));
    createVLNWindow();
}

void AppDelegate::createVLNWindow()
{
    m_mainWindow = std::make_unique<VLNWindow>(m_defaults.get());
    Ui::VLNWindow *ui = m_mainWindow->ui();
    connect(ui->actionShowTutorial, &QAction::triggered, this, &AppDelegate::menuShowTutorial);
    connect(ui->actionShowVLNWindow, &QAction::triggered, this, &AppDelegate::menuShowVLNWindow);
    connect(ui->actionMoreApps, &QAction::triggered, this, &AppDelegate::menuMoreApps);
    connect(ui->actionAbout, &QAction::triggered, this, &AppDelegate::menuAbout);
    connect(ui->actionQuit, &QAction::triggered, qApp, &QApplication::closeAllWindows,
            Qt::QueuedConnection);
    menuShowVLNWindow();
    // Over the window, so that the question is seen with what it is about.
    m_mainWindow->undoControl()->askAboutInterruptedRun();
}

void AppDelegate::application(const QList<QByteArray> &openFiles)
{
    if (m_mainWindow)
        m_mainWindow->openFiles(openFiles);
}

bool AppDelegate::applicationShouldHandleReopen()
{
    menuShowVLNWindow();
    return true;
}

void AppDelegate::handOverReceived(const QList<QByteArray> &nativePaths)
{
    if (!nativePaths.isEmpty())
        application(nativePaths);
    applicationShouldHandleReopen();
}

void AppDelegate::menuShowTutorial()
{
    if (m_mainWindow)
        m_mainWindow->clickStartTutorial();
}

void AppDelegate::menuShowVLNWindow()
{
    if (!m_mainWindow)
        return;
    m_mainWindow->show();
    m_mainWindow->setWindowState(m_mainWindow->windowState() & ~Qt::WindowMinimized);
    m_mainWindow->raise();
    m_mainWindow->activateWindow();
}

void AppDelegate::menuMoreApps()
{
    QDesktopServices::openUrl(webSite);
}

void AppDelegate::menuAbout()
{
    AboutDialog::show(m_mainWindow.get());
}
