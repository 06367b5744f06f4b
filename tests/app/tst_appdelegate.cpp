#include "appdelegate.h"
#include "filelist.h"
#include "filetablemodel.h"
#include "singleinstance.h"
#include "ui_vlnwindow.h"
#include "userdefaults.h"
#include "vlnwindow.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

namespace {

void touch(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    QVERIFY2(fd >= 0, path.constData());
    ::close(fd);
}

} // namespace

class tst_AppDelegate : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void factoryDefaults();
    void launchShowsTutorialAndMenu();
    void openFilesInOrder();
    void secondLaunchHandsOver_data();
    void secondLaunchHandsOver();
    void socketLeftBehindIsReplaced();
    void busyInstanceKeepsItsPlace();

private:
    QTemporaryDir m_home;
    QByteArray m_files;
};

void tst_AppDelegate::initTestCase()
{
    QVERIFY(m_home.isValid());
    // Settings and the socket go to the test's own folder, set before the
    // first settings object reads the environment.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("config"))));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       m_home.filePath(QStringLiteral("config")));
    QApplication::setOrganizationName(QStringLiteral("Velnor"));
    QApplication::setApplicationName(QStringLiteral("Velnor"));
    m_files = QFile::encodeName(m_home.filePath(QStringLiteral("files")));
    QVERIFY(QDir().mkpath(QFile::decodeName(m_files)));
}

void tst_AppDelegate::init()
{
    QFile::remove(m_home.filePath(QStringLiteral("config/Velnor/Velnor.conf")));
}

void tst_AppDelegate::factoryDefaults()
{
    const QVariantMap factory = UserDefaults::readFactoryFile(QStringLiteral(":/Factory"));
    QVERIFY(factory.contains(QStringLiteral("skipTutorial")));
    QCOMPARE(factory.value(QStringLiteral("skipTutorial")).toBool(), false);
}

void tst_AppDelegate::launchShowsTutorialAndMenu()
{
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    VLNWindow *window = delegate.mainWindow();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QCOMPARE(delegate.defaults()->fileName(),
             m_home.filePath(QStringLiteral("config/Velnor/Velnor.conf")));
    QCOMPARE(window->tutorialStep(), 0);
    QCOMPARE(window->fileList()->count(), 2);

    Ui::VLNWindow *ui = window->ui();
    ui->actionShowTutorial->trigger(); // on the welcome page: starts again
    QCOMPARE(window->fileList()->count(), 4);
    QTest::mouseClick(ui->nextTutorialButton, Qt::LeftButton);
    ui->actionShowTutorial->trigger(); // on page 1: nothing
    QCOMPARE(window->tutorialStep(), 1);
    QCOMPARE(window->fileList()->count(), 4);
    QTest::mouseClick(ui->skipTutorialButton, Qt::LeftButton);

    window->close();
    QVERIFY(!window->isVisible());
    ui->actionShowVLNWindow->trigger();
    QVERIFY(window->isVisible());
    QVERIFY(QApplication::quitOnLastWindowClosed());

    // A later launch reads the written setting and starts without the tour.
    AppDelegate later;
    later.applicationDidFinishLaunching();
    QVERIFY(later.mainWindow()->ui()->tutorialView->isHidden());
    QCOMPARE(later.mainWindow()->fileList()->count(), 0);
}

void tst_AppDelegate::openFilesInOrder()
{
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    VLNWindow *window = delegate.mainWindow();
    window->clickSkipTutorial();
    const QByteArray folder = m_files + "/open";
    QVERIFY(QDir().mkpath(QFile::decodeName(folder)));
    touch(folder + "/inside.txt");
    touch(m_files + "/first.txt");
    delegate.application({m_files + "/first.txt", m_files + "/deleted.txt", folder});
    QCOMPARE(window->fileList()->count(), 2);
    QCOMPARE(window->fileList()->fileAtIndex(0)->nativePath(), m_files + "/first.txt");
    QCOMPARE(window->fileList()->fileAtIndex(1)->nativePath(), folder + "/inside.txt");
    QCOMPARE(window->ui()->totalLabel->text(), QStringLiteral("2 files"));

    // A later launch's request: its paths join the list, the window comes back.
    window->close();
    touch(m_files + "/second.txt");
    delegate.handOverReceived({m_files + "/second.txt"});
    QVERIFY(window->isVisible());
    QCOMPARE(window->fileList()->count(), 3);
    window->close();
    delegate.handOverReceived({});
    QVERIFY(window->isVisible());
    QCOMPARE(window->fileList()->count(), 3);
}

void tst_AppDelegate::secondLaunchHandsOver_data()
{
    QTest::addColumn<QByteArray>("arguments");
    QTest::addColumn<QList<QByteArray>>("expected");
    QTest::newRow("no paths: show the window") << QByteArray() << QList<QByteArray>{};
    // The shell makes the Latin-1 byte; a relative path is made absolute
    // against the second launch's own folder, and an empty one is no path.
    QTest::newRow("relative and undecodable")
        << QByteArray("\"$(printf 'caf\\351.txt')\" ./sub/x.txt \"\"")
        << QList<QByteArray>{"caf\xe9.txt", "sub/x.txt"};
    // A slash after "./" still leaves the path in our folder, not at the root.
    QTest::newRow("doubled slash after ./")
        << QByteArray(".//sub/y.txt ././/z.txt") << QList<QByteArray>{"sub/y.txt", "z.txt"};
}

void tst_AppDelegate::secondLaunchHandsOver()
{
    QFETCH(QByteArray, arguments);
    QFETCH(QList<QByteArray>, expected);
    QTemporaryDir runtime;
    QVERIFY(runtime.isValid());
    SingleInstance first(runtime.filePath(QStringLiteral("velnor.socket")));
    QCOMPARE(first.start({}), SingleInstance::Role::Primary);
    QSignalSpy requests(&first, &SingleInstance::openFilesRequested);

    QProcess second;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    second.setProcessEnvironment(environment);
    second.setWorkingDirectory(QFile::decodeName(m_files));
    second.start(QStringLiteral("/bin/sh"),
                 {QStringLiteral("-c"),
                  QStringLiteral("exec \"$0\" ") + QString::fromLatin1(arguments),
                  QStringLiteral(VELNOR_BINARY)});
    QVERIFY(second.waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(requests.count(), 1, 15000);
    QVERIFY(second.state() == QProcess::NotRunning || second.waitForFinished(15000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);

    QList<QByteArray> absolute;
    for (const QByteArray &path : expected)
        absolute.append(m_files + '/' + path);
    QCOMPARE(requests.first().first().value<QList<QByteArray>>(), absolute);
}

void tst_AppDelegate::socketLeftBehindIsReplaced()
{
    QTemporaryDir runtime;
    const QString name = runtime.filePath(QStringLiteral("velnor.socket"));
    touch(QFile::encodeName(name));
    SingleInstance instance(name);
    QCOMPARE(instance.start({}), SingleInstance::Role::Primary);
    QSignalSpy requests(&instance, &SingleInstance::openFilesRequested);
    // Answered while this thread waits: the reply comes from the event loop,
    // so hand over from a process of its own instead of from here.
    QProcess other;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    other.setProcessEnvironment(environment);
    other.start(QStringLiteral(VELNOR_BINARY), {});
    QTRY_COMPARE_WITH_TIMEOUT(requests.count(), 1, 15000);
    QVERIFY(other.state() == QProcess::NotRunning || other.waitForFinished(15000));
    QCOMPARE(other.exitCode(), 0);
}

void tst_AppDelegate::busyInstanceKeepsItsPlace()
{
    QTemporaryDir runtime;
    const QString name = runtime.filePath(QStringLiteral("velnor.socket"));
    SingleInstance first(name);
    QCOMPARE(first.start({}), SingleInstance::Role::Primary);
    QSignalSpy requests(&first, &SingleInstance::openFilesRequested);
    // No event loop runs while the second launch asks: the first stands for
    // an instance whose window is busy listing a large folder.
    SingleInstance second(name);
    QCOMPARE(second.start({"/data/a.txt"}), SingleInstance::Role::HandedOver);
    QTRY_COMPARE_WITH_TIMEOUT(requests.count(), 1, 15000);
    QCOMPARE(requests.first().first().value<QList<QByteArray>>(), QList<QByteArray>{"/data/a.txt"});
}

QTEST_MAIN(tst_AppDelegate)
#include "tst_appdelegate.moc"
