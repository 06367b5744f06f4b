#include "accessgrant.h"
#include "asnobody.h"
#include "scratchdir.h"
#include "scriptedprompt.h"
#include "userdefaults.h"

#include <QTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

class tst_AccessGrant : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void bookmarkRejectsDamage_data();
    void bookmarkRejectsDamage();
    void bookmarkKeepsPathBytes_data();
    void bookmarkKeepsPathBytes();
    void resolvesOnlyToTheSameFolder();
    void confirmStoresTheChosenFolder();
    void cancelAlertsAndKeepsTheGrant();
    void folderGoneWhenConfirmedStoresNoBookmark();
    void grantCoverage_data();
    void grantCoverage();
    void accessNeedsWriteAndSearch();

private:
    QByteArray makeFolder(const QByteArray &relative);
    std::unique_ptr<ScratchDir> m_dir;
    std::unique_ptr<UserDefaults> m_defaults;
};

QByteArray tst_AccessGrant::makeFolder(const QByteArray &relative)
{
    const QByteArray path = m_dir->path() + '/' + relative;
    if (mkdir(path.constData(), 0755) != 0 && errno != EEXIST)
        qFatal("cannot make %s", path.constData());
    return path;
}

void tst_AccessGrant::init()
{
    m_dir = std::make_unique<ScratchDir>();
    QVERIFY(m_dir->isValid());
    m_defaults = std::make_unique<UserDefaults>(m_dir->filePath(u"defaults.conf"_s));
}

void tst_AccessGrant::cleanup()
{
    m_defaults.reset();
    m_dir.reset();
}

void tst_AccessGrant::bookmarkRejectsDamage_data()
{
    QTest::addColumn<QByteArray>("data");
    const QByteArray header("VLNG\x01"
                            "0123456789abcdef",
                            21);
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("header only") << header;
    QTest::newRow("wrong magic") << QByteArray("XLNG\x01"
                                               "0123456789abcdef/tmp",
                                               25);
    QTest::newRow("newer version") << QByteArray("VLNG\x02"
                                                 "0123456789abcdef/tmp",
                                                 25);
    QTest::newRow("relative path") << header + "tmp";
    QTest::newRow("NUL in path") << header + QByteArray("/tmp\0/etc", 9);
}

void tst_AccessGrant::bookmarkRejectsDamage()
{
    QFETCH(QByteArray, data);
    QVERIFY(!AccessGrant::fromBookmarkData(data));
}

void tst_AccessGrant::bookmarkKeepsPathBytes_data()
{
    QTest::addColumn<QByteArray>("relative");
    QTest::newRow("plain") << QByteArray("Docs");
    QTest::newRow("not UTF-8") << QByteArray("caf\xe9");
    QTest::newRow("newline and spaces") << QByteArray("a\nb c");
}

void tst_AccessGrant::bookmarkKeepsPathBytes()
{
    QFETCH(QByteArray, relative);
    const QByteArray folder = makeFolder(relative);
    const auto grant = AccessGrant::forFolder(folder + "//");
    QVERIFY(grant);
    QCOMPARE(grant->path, folder);
    const auto back = AccessGrant::fromBookmarkData(grant->bookmarkData());
    QVERIFY(back);
    QCOMPARE(back->path, folder);
    QCOMPARE(back->device, grant->device);
    QCOMPARE(back->inode, grant->inode);
    QVERIFY(back->resolves());
}

void tst_AccessGrant::resolvesOnlyToTheSameFolder()
{
    const QByteArray folder = makeFolder("Docs");
    const auto grant = AccessGrant::forFolder(folder);
    QVERIFY(grant && grant->resolves());

    // Make the new folder before removing the old one so the inode cannot be reused.
    QVERIFY(rename(folder.constData(), (folder + "-old").constData()) == 0);
    QVERIFY(!grant->resolves());
    makeFolder("Docs");
    QVERIFY(!grant->resolves());
    QVERIFY(rmdir(folder.constData()) == 0);
    QFile file(QFile::decodeName(folder));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(!grant->resolves());
    QVERIFY(!AccessGrant::forFolder(folder));
    QVERIFY(!AccessGrant::forFolder(folder + "/missing"));
}

void tst_AccessGrant::confirmStoresTheChosenFolder()
{
    const QByteArray proposed = makeFolder("Docs");
    const QByteArray parent = m_dir->path();
    ScriptedPrompt prompt;
    prompt.answers = {parent + '/'};
    QVERIFY(requestFilesystem(proposed, prompt, *m_defaults));

    QCOMPARE(prompt.proposed, QByteArrayList{proposed});
    QCOMPARE(
        prompt.panelTexts,
        QStringList({u"Filesystem Access"_s, u"Allow Access"_s,
                     u"Click Allow Access to grant Velnor permission to rename the files."_s}));
    QVERIFY(prompt.alerts.isEmpty());

    // Written through: a fresh reader of the file sees the grant.
    UserDefaults reread(m_defaults->fileName());
    QCOMPARE(reread.dataForKey(u"rootlimit"_s), parent);
    const auto grant = AccessGrant::fromBookmarkData(reread.dataForKey(u"sandboxscope"_s));
    QVERIFY(grant);
    QCOMPARE(grant->path, parent);
    QVERIFY(grant->resolves());
    QVERIFY(storedGrantCovers(parent, reread));
    QVERIFY(!storedGrantCovers(proposed, reread));
}

void tst_AccessGrant::cancelAlertsAndKeepsTheGrant()
{
    const QByteArray docs = makeFolder("Docs");
    ScriptedPrompt prompt;
    prompt.answers = {docs, std::nullopt};
    QVERIFY(requestFilesystem(docs, prompt, *m_defaults));
    const QByteArray bookmark = m_defaults->dataForKey(u"sandboxscope"_s);

    QVERIFY(!requestFilesystem(makeFolder("Pics"), prompt, *m_defaults));
    QCOMPARE(prompt.alerts,
             QStringList{u"You need to allow access for Velnor to work properly."_s});
    UserDefaults reread(m_defaults->fileName());
    QCOMPARE(reread.dataForKey(u"rootlimit"_s), docs);
    QCOMPARE(reread.dataForKey(u"sandboxscope"_s), bookmark);
}

void tst_AccessGrant::folderGoneWhenConfirmedStoresNoBookmark()
{
    const QByteArray docs = makeFolder("Docs");
    const QByteArray gone = m_dir->path() + "/gone";
    ScriptedPrompt prompt;
    prompt.answers = {docs, gone};
    QVERIFY(requestFilesystem(docs, prompt, *m_defaults));
    QVERIFY(requestFilesystem(gone, prompt, *m_defaults));

    // The older bookmark must not pass for the new folder's.
    QVERIFY(!m_defaults->objectForKey(u"sandboxscope"_s).isValid());
    QCOMPARE(m_defaults->dataForKey(u"rootlimit"_s), gone);
    QVERIFY(storedGrantCovers(gone, *m_defaults));
    QVERIFY(!storedGrantCovers(docs, *m_defaults));
}

void tst_AccessGrant::grantCoverage_data()
{
    QTest::addColumn<QByteArray>("granted");
    QTest::addColumn<QByteArray>("root");
    QTest::addColumn<QString>("damage");
    QTest::addColumn<bool>("covers");
    QTest::newRow("no grant") << QByteArray() << QByteArray("Docs") << QString() << false;
    QTest::newRow("exact folder") << QByteArray("Docs") << QByteArray("Docs") << QString() << true;
    QTest::newRow("parent granted") << QByteArray("") << QByteArray("Docs") << QString() << false;
    QTest::newRow("subfolder granted")
        << QByteArray("Docs/Sub") << QByteArray("Docs") << QString() << false;
    QTest::newRow("case differs") << QByteArray("Docs") << QByteArray("docs") << QString() << false;
    QTest::newRow("not UTF-8") << QByteArray("caf\xe9") << QByteArray("caf\xe9") << QString()
                               << true;
    QTest::newRow("U+FFFD for the bad byte")
        << QByteArray("caf\xe9") << QByteArray("caf\xef\xbf\xbd") << QString() << false;
    QTest::newRow("folder replaced")
        << QByteArray("Docs") << QByteArray("Docs") << u"replace"_s << false;
    QTest::newRow("bookmark damaged")
        << QByteArray("Docs") << QByteArray("Docs") << u"garbage"_s << false;
    QTest::newRow("bookmark of another folder")
        << QByteArray("Docs") << QByteArray("Docs") << u"other"_s << false;
    QTest::newRow("no bookmark stored")
        << QByteArray("Docs") << QByteArray("Docs") << u"remove"_s << true;
}

void tst_AccessGrant::grantCoverage()
{
    QFETCH(QByteArray, granted);
    QFETCH(QByteArray, root);
    QFETCH(QString, damage);
    QFETCH(bool, covers);
    const QByteArray base = m_dir->path();
    makeFolder("Docs");
    makeFolder("docs");
    makeFolder("Docs/Sub");
    makeFolder("Pics");
    makeFolder("caf\xe9");
    makeFolder("caf\xef\xbf\xbd");
    const QByteArray grantedPath = granted.isEmpty() ? base : base + '/' + granted;
    if (!granted.isNull()) {
        ScriptedPrompt prompt;
        prompt.answers = {grantedPath};
        QVERIFY(requestFilesystem(grantedPath, prompt, *m_defaults));
    }
    if (damage == u"replace") {
        QVERIFY(rename(grantedPath.constData(), (grantedPath + "-old").constData()) == 0);
        makeFolder(granted);
    } else if (damage == u"garbage") {
        m_defaults->setObject(QByteArray("not a bookmark"), u"sandboxscope"_s);
    } else if (damage == u"other") {
        m_defaults->setObject(AccessGrant::forFolder(base + "/Pics")->bookmarkData(),
                              u"sandboxscope"_s);
    } else if (damage == u"remove") {
        m_defaults->setObject(QVariant(), u"sandboxscope"_s);
    }
    m_defaults->synchronize();
    UserDefaults reread(m_defaults->fileName());
    QCOMPARE(storedGrantCovers(base + '/' + root, reread), covers);
}

void tst_AccessGrant::accessNeedsWriteAndSearch()
{
    const QByteArray open = makeFolder("open");
    const QByteArray readOnly = makeFolder("readonly");
    const QByteArray noSearch = makeFolder("nosearch");
    QVERIFY(chmod(open.constData(), 0777) == 0);
    QVERIFY(chmod(readOnly.constData(), 0555) == 0);
    QVERIFY(chmod(noSearch.constData(), 0666) == 0);
    for (const QByteArray &folder : {open, readOnly, noSearch}) {
        ScriptedPrompt prompt;
        prompt.answers = {folder};
        QVERIFY(requestFilesystem(folder, prompt, *m_defaults));
        m_defaults->synchronize();
        const QString fileName = m_defaults->fileName();
        const ChildResult child = runWithoutPrivileges([&] {
            UserDefaults defaults(fileName);
            return QByteArray(storedGrantCovers(folder, defaults) ? "covers" : "asks");
        });
        QVERIFY(child.ok);
        QCOMPARE(child.output, folder == open ? QByteArray("covers") : QByteArray("asks"));
    }
}

QTEST_GUILESS_MAIN(tst_AccessGrant)
#include "tst_accessgrant.moc"
