// SPDX-License-Identifier: GPL-3.0-or-later
#include "../disktree.h"
#include "../journalfixture.h"
#include "app/appdelegate.h"
#include "app/singleinstance.h"
#include "app/undocontrol.h"
#include "app/vlnwindow.h"
#include "files/filelist.h"
#include "model/filetablemodel.h"
#include "rename/runhistory.h"
#include "rename/userdefaults.h"
#include "ui_vlnwindow.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

class tst_AppDelegate : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void launchAndOpenFiles();
    void secondLaunchHandsOver_data();
    void secondLaunchHandsOver();
    void busyInstanceKeepsItsPlace();
    void socketFolderIsPrivate_data();
    void socketFolderIsPrivate();

private:
    QTemporaryDir m_home;
    QByteArray m_files;
};

void tst_AppDelegate::initTestCase()
{
    QVERIFY(m_home.isValid());
    // Settings and the socket go to the test's own folder, set before the
    // first settings object reads the environment.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(u"config"_s)));
    qputenv("XDG_STATE_HOME", QFile::encodeName(m_home.filePath(u"state"_s)));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_home.filePath(u"config"_s));
    QApplication::setOrganizationName(u"Velnor"_s);
    QApplication::setApplicationName(u"Velnor"_s);
    m_files = QFile::encodeName(m_home.filePath(u"files"_s));
    QVERIFY(QDir().mkpath(QFile::decodeName(m_files)));
}

void tst_AppDelegate::init()
{
    QFile::remove(m_home.filePath(u"config/Velnor/Velnor.conf"_s));
}

// A first launch shows the tour's files and asks about a run that never wrote
// its end over the window (that a finished one is not asked about,
// tst_undowindow's interruptedSheet shows).
void tst_AppDelegate::launchAndOpenFiles()
{
    const QString runs = RunHistory::runsFolder();
    QVERIFY(runs.startsWith(m_home.path()));
    QVERIFY(!writeJournal(runs, m_files, 1'700'000'000'000, 1, 1, false).isEmpty());
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    VLNWindow *window = delegate.mainWindow();
    QVERIFY(window->isVisible());
    QCOMPARE(delegate.defaults()->fileName(), m_home.filePath(u"config/Velnor/Velnor.conf"_s));
    QCOMPARE(window->fileList()->count(), 2);
    // The question follows the history, which is read on a worker.
    QTRY_VERIFY(!window->undoControl()->isReading());
    QMessageBox *sheet = window->undoControl()->interruptedSheet();
    QVERIFY(sheet && sheet->isVisible());
    QCOMPARE(sheet->parentWidget(), window);
    sheet->reject();
    QVERIFY(QDir(runs).removeRecursively());
    window->clickSkipTutorial();

    const QByteArray folder = m_files + "/open";
    makeTree(m_files, {"open/", "open/inside.txt=", "first.txt="});
    // (Which paths are listed, and how often, is the intake's to test.)
    delegate.application({m_files + "/first.txt", folder});
    QTRY_VERIFY(!window->isListing());
    QCOMPARE(window->fileList()->fileAtIndex(0)->nativePath(), m_files + "/first.txt");
    QCOMPARE(window->fileList()->fileAtIndex(1)->nativePath(), folder + "/inside.txt");
    QCOMPARE(window->ui()->totalLabel->text(), u"2 files"_s);

    // Closing the window quits: there is no dock to bring it back from. A later
    // launch's request, even one without paths, brings it back.
    QVERIFY(QApplication::quitOnLastWindowClosed());
    writeFile(m_files + "/second.txt", {});
    for (const QList<QByteArray> &paths : {QList<QByteArray>{m_files + "/second.txt"}, {}}) {
        window->close();
        delegate.handOverReceived(paths);
        QVERIFY(window->isVisible());
        QTRY_VERIFY(!window->isListing());
        QCOMPARE(window->fileList()->count(), 3);
    }
}

void tst_AppDelegate::secondLaunchHandsOver_data()
{
    QTest::addColumn<bool>("socketLeftBehind");
    QTest::addColumn<QByteArray>("arguments");
    QTest::addColumn<QList<QByteArray>>("expected");
    // No paths: show the window. A file where the socket goes, as a crashed
    // instance leaves it.
    QTest::newRow("no paths, socket left behind") << true << QByteArray() << QList<QByteArray>{};
    // The shell makes the Latin-1 byte; a relative path is made absolute
    // against the second launch's own folder, and an empty one is no path.
    QTest::newRow("relative and undecodable")
        << false << QByteArray("\"$(printf 'caf\\351.txt')\" ./sub/x.txt \"\"")
        << QList<QByteArray>{m_files + "/caf\xe9.txt", m_files + "/sub/x.txt"};
    // Nemo's bulk-rename tool gets URIs; after "--" they are names like others
    // (and spelled as every path is, without empty components).
    QTest::newRow("file URIs before --")
        << false
        << QByteArray("file:///data/caf%E9%20au%20lait.jpg file://localhost/data/b -- file:///x")
        << QList<QByteArray>{"/data/caf\xe9 au lait.jpg", "/data/b", m_files + "/file:/x"};
    // As file managers start us: after "--" even Qt's own options are names.
    QTest::newRow("names like options after --")
        << false << QByteArray("./a.txt -- -rf -reverse --help --")
        << QList<QByteArray>{m_files + "/a.txt", m_files + "/-rf", m_files + "/-reverse",
                             m_files + "/--help", m_files + "/--"};
}

void tst_AppDelegate::secondLaunchHandsOver()
{
    QFETCH(bool, socketLeftBehind);
    QFETCH(QByteArray, arguments);
    QTemporaryDir runtime;
    QVERIFY(runtime.isValid());
    const QString socket = runtime.filePath(u"velnor.socket"_s);
    if (socketLeftBehind)
        writeFile(QFile::encodeName(socket), {});
    // The reply comes from this event loop, so the second launch is a
    // process of its own.
    SingleInstance first(socket);
    QCOMPARE(first.start({}), SingleInstance::Role::Primary);
    QSignalSpy requests(&first, &SingleInstance::openFilesRequested);

    QProcess second;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_RUNTIME_DIR"_s, runtime.path());
    second.setProcessEnvironment(environment);
    second.setWorkingDirectory(QFile::decodeName(m_files));
    second.start(u"/bin/sh"_s, {u"-c"_s, u"exec \"$0\" "_s + QString::fromLatin1(arguments),
                                QStringLiteral(VELNOR_BINARY)});
    QVERIFY(second.waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(requests.count(), 1, 15000);
    QVERIFY(second.state() == QProcess::NotRunning || second.waitForFinished(15000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QTEST(requests.first().first().value<QList<QByteArray>>(), "expected");
}

void tst_AppDelegate::busyInstanceKeepsItsPlace()
{
    QTemporaryDir runtime;
    const QString name = runtime.filePath(u"velnor.socket"_s);
    SingleInstance first(name);
    QCOMPARE(first.start({}), SingleInstance::Role::Primary);
    QSignalSpy requests(&first, &SingleInstance::openFilesRequested);
    // No event loop runs while the second launch asks: the first stands for
    // an instance whose window is busy listing a large folder.
    SingleInstance second(name);
    second.setReplyTimeout(100);
    QCOMPARE(second.start({"/data/a.txt"}), SingleInstance::Role::HandedOver);
    QTRY_COMPARE_WITH_TIMEOUT(requests.count(), 1, 15000);
    QCOMPARE(requests.first().first().value<QList<QByteArray>>(), QList<QByteArray>{"/data/a.txt"});
}

void tst_AppDelegate::socketFolderIsPrivate_data()
{
    QTest::addColumn<bool>("planted"); // another user made the temporary folder's name first
    QTest::newRow("free") << false;
    QTest::newRow("taken by another user") << true;
}

// Without XDG_RUNTIME_DIR the socket lies in a folder no other user may
// enter, never straight in the shared temporary folder.
void tst_AppDelegate::socketFolderIsPrivate()
{
    QFETCH(bool, planted);
    QTemporaryDir scratch;
    const QByteArray tmp = qgetenv("TMPDIR");
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray cache = qgetenv("XDG_CACHE_HOME");
    qputenv("TMPDIR", QFile::encodeName(scratch.path()));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(scratch.filePath(u"cache"_s)));
    qunsetenv("XDG_RUNTIME_DIR");
    const QString temporary = scratch.filePath(u"velnor-"_s + QString::number(::geteuid()));
    if (planted) {
        QCOMPARE(::mkdir(QFile::encodeName(temporary).constData(), 0777), 0);
        if (::geteuid() != 0 || ::chown(QFile::encodeName(temporary).constData(), 65534, 65534))
            QSKIP("a folder of another user's needs root");
    }
    const QString name = SingleInstance::defaultServerName();
    qputenv("TMPDIR", tmp);
    qputenv("XDG_RUNTIME_DIR", runtime);
    qputenv("XDG_CACHE_HOME", cache);
    QCOMPARE(name, planted ? scratch.filePath(u"cache/velnor-runtime/velnor.socket"_s)
                           : temporary + u"/velnor.socket"_s);
    SingleInstance first(name);
    QCOMPARE(first.start({}), SingleInstance::Role::Primary);
    struct stat info;
    QCOMPARE(::lstat(QFile::encodeName(QFileInfo(name).path()).constData(), &info), 0);
    QCOMPARE(info.st_uid, ::geteuid());
    QCOMPARE(info.st_mode & 07777, mode_t(0700));
}

QTEST_MAIN(tst_AppDelegate)
#include "tst_appdelegate.moc"
