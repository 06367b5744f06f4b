// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QUrl>

#include <memory>

class UserDefaults;
class VLNWindow;

// The application's frame: registers the factory defaults, makes the one
// main window, and answers the menu and the requests of later launches.
class AppDelegate : public QObject
{
    Q_OBJECT
public:
    // The maker's web site, opened from the Help menu.
    static inline const QUrl webSite = QUrl(QStringLiteral("https://velnor.app"));

    explicit AppDelegate(QObject *parent = nullptr);
    ~AppDelegate() override;

    VLNWindow *mainWindow() const { return m_mainWindow.get(); }
    UserDefaults *defaults() const { return m_defaults.get(); }

    void applicationDidFinishLaunching();
    void createVLNWindow();

public slots:
    // The request to open files: paths at which nothing exists are left out,
    // the others are listed in the order given.
    void application(const QList<QByteArray> &openFiles);
    // Brings the window back to the front.
    bool applicationShouldHandleReopen();
    // A later launch's request: its paths, or with none just the window.
    void handOverReceived(const QList<QByteArray> &nativePaths);

    void menuShowTutorial();
    void menuShowVLNWindow();
    void menuMoreApps();
    void menuAbout();

private:
    std::unique_ptr<UserDefaults> m_defaults;
    std::unique_ptr<VLNWindow> m_mainWindow;
};
