// SPDX-License-Identifier: GPL-3.0-or-later
#include "asnobody.h"
#include "rename/accessgrant.h"
#include "rename/userdefaults.h"
#include "scratchdir.h"
#include "scriptedprompt.h"

#include <QTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using AccessGrantKeys::rootlimit;
using AccessGrantKeys::sandboxscope;

namespace {

// A scratch folder holding the user's defaults file.
struct Fixture
{
    ScratchDir dir;
    UserDefaults defaults{dir.filePath(u"defaults.conf"_s)};

    QByteArray folder(const QByteArray &relative, mode_t mode = 0777) const
    {
        const QByteArray path = dir.path(relative);
        mkdir(path.constData(), mode);
        chmod(path.constData(), mode);
        return path;
    }
    // A reader of the file alone sees only what was written through.
    UserDefaults reread() const { return UserDefaults(defaults.fileName()); }
};

} // namespace

class tst_AccessGrant : public QObject
{
    Q_OBJECT

private slots:
    void bookmarkRejectsDamage_data();
    void bookmarkRejectsDamage();
    void requestFilesystemFlow();
    void grantCoverage_data();
    void grantCoverage();
    void grantList_data();
    void grantList();
};

void tst_AccessGrant::bookmarkRejectsDamage_data()
{
    QTest::addColumn<QByteArray>("data");
    const QByteArray header = "VLNG\x01"_ba + "0123456789abcdef";
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("header only") << header;
    QTest::newRow("wrong magic") << "X" + header.mid(1) + "/tmp";
    QTest::newRow("newer version") << header.left(4) + '\x02' + header.mid(5) + "/tmp";
    QTest::newRow("relative path") << header + "tmp";
    QTest::newRow("NUL in path") << header + QByteArray("/tmp\0/etc", 9);
}

void tst_AccessGrant::bookmarkRejectsDamage()
{
    QFETCH(QByteArray, data);
    QVERIFY(!AccessGrant::fromBookmarkData(data));
}

void tst_AccessGrant::requestFilesystemFlow()
{
    Fixture f;
    const QByteArray parent = f.dir.path();
    const QByteArray docs = f.folder("Docs");
    const QByteArray gone = f.dir.path("gone");
    ScriptedPrompt prompt;
    prompt.answers = {parent + '/', std::nullopt, gone};

    // The folder chosen, not the one proposed, is stored (slashes trimmed) and written through.
    QVERIFY(requestFilesystem(docs, prompt, f.defaults));
    QCOMPARE(prompt.panelTexts,
             QStringList({u"Folder Access"_s, u"Allow Renaming"_s,
                          u"Velnor asks before it renames files in a folder for the first time. "
                          "The answer is remembered for the chosen folder and every folder "
                          "inside it, so you are not asked there again. Choose a folder higher "
                          "up to allow more at once."_s}));
    QVERIFY(prompt.alerts.isEmpty());
    UserDefaults stored = f.reread();
    QCOMPARE(stored.dataForKey(rootlimit), parent);
    const QByteArray bookmark = stored.dataForKey(sandboxscope);
    const auto grant = AccessGrant::fromBookmarkData(bookmark);
    QVERIFY(grant && grant->path == parent && grant->resolves());
    QVERIFY(storedGrantCovers(parent, stored));
    QVERIFY(storedGrantCovers(docs, stored));

    // Cancel: the alert, and the grant stays.
    QVERIFY(!requestFilesystem(docs, prompt, f.defaults));
    QCOMPARE(prompt.alerts,
             QStringList{u"No files were renamed. Velnor renames files only in folders you "
                         "have allowed."_s});
    QCOMPARE(f.reread().dataForKey(rootlimit), parent);
    QCOMPARE(f.reread().dataForKey(sandboxscope), bookmark);

    // A folder gone when confirmed: the older bookmark must not pass for it.
    QVERIFY(requestFilesystem(gone, prompt, f.defaults));
    QVERIFY(!f.defaults.objectForKey(sandboxscope).isValid());
    QCOMPARE(f.defaults.dataForKey(rootlimit), gone);
    QVERIFY(storedGrantCovers(gone, f.defaults));
    QCOMPARE(grantedFolders(f.reread()), QByteArrayList({parent, gone}));
    QCOMPARE(prompt.proposed, QByteArrayList({docs, docs, gone}));
    QVERIFY(!AccessGrant::forFolder(gone));
    QVERIFY(!AccessGrant::forFolder(f.dir.path("defaults.conf")));
}

// Whether the run may use the stored grant, asked in a child without
// privileges, as root ignores the folder's permissions.
void tst_AccessGrant::grantCoverage_data()
{
    QTest::addColumn<QByteArray>("granted");
    QTest::addColumn<QByteArray>("root");
    QTest::addColumn<QString>("damage");
    QTest::addColumn<bool>("covers");
    const auto row = [](const char *tag, const QByteArray &granted, const QByteArray &root,
                        bool covers, const QString &damage = {}) {
        QTest::newRow(tag) << granted << root << damage << covers;
    };
    row("no grant", {}, "Docs", false);
    row("exact folder", "Docs", "Docs", true);
    row("parent granted", "", "Docs", true);
    row("grandparent granted", "", "Docs/Sub", true);
    row("a name it begins", "a", "ab", false);
    row("read-only parent, writable folder", "", "Docs", true, u"readonly"_s);
    row("subfolder granted", "Docs/Sub", "Docs", false);
    row("case differs", "Docs", "docs", false);
    row("not UTF-8", "caf\xe9", "caf\xe9", true);
    row("newline and spaces", "a\nb c", "a\nb c", true);
    row("U+FFFD for the bad byte", "caf\xe9", "caf\xef\xbf\xbd", false);
    row("folder moved away", "Docs", "Docs", false, u"move"_s);
    row("another folder in its place", "Docs", "Docs", false, u"replace"_s);
    row("a file in its place", "Docs", "Docs", false, u"file"_s);
    row("read-only folder", "Docs", "Docs", false, u"readonly"_s);
    row("folder not searchable", "Docs", "Docs", false, u"nosearch"_s);
    row("bookmark damaged", "Docs", "Docs", false, u"garbage"_s);
    row("bookmark of another folder", "Docs", "Docs", false, u"other"_s);
    row("no bookmark stored", "Docs", "Docs", true, u"remove"_s);
    row("no bookmark, a name it begins", "a", "ab", false, u"remove"_s);
    row("no bookmark, a subfolder", "a", "a/sub", true, u"remove"_s);
    row("no bookmark, with a trailing slash", "a", "a/", true, u"remove"_s);
}

void tst_AccessGrant::grantCoverage()
{
    QFETCH(QByteArray, granted);
    QFETCH(QByteArray, root);
    QFETCH(QString, damage);
    Fixture f;
    for (const char *name : {"Docs", "docs", "Docs/Sub", "Pics", "a\nb c", "caf\xe9",
                             "caf\xef\xbf\xbd", "a", "ab", "a/sub"})
        f.folder(name);
    const QByteArray grantedPath = granted.isEmpty() ? f.dir.path() : f.dir.path(granted);
    if (!granted.isNull()) {
        ScriptedPrompt prompt;
        prompt.answers = {grantedPath};
        QVERIFY(requestFilesystem(grantedPath, prompt, f.defaults));
    }
    // The new folder is made after the old one is moved, so its inode cannot be the old one's.
    if (damage == u"move" || damage == u"replace" || damage == u"file")
        QVERIFY(rename(grantedPath.constData(), (grantedPath + "-old").constData()) == 0);
    if (damage == u"replace")
        f.folder(granted);
    else if (damage == u"file")
        QVERIFY(QFile(QFile::decodeName(grantedPath)).open(QIODevice::WriteOnly));
    else if (damage == u"readonly" || damage == u"nosearch")
        chmod(grantedPath.constData(), damage == u"readonly" ? 0555 : 0666);
    // Damage to the stored grant is done on the older keys alone, which is
    // all that a version before the list of grants left behind.
    if (damage == u"garbage" || damage == u"other" || damage == u"remove")
        f.defaults.setObject(QVariant(), AccessGrantKeys::grants);
    if (damage == u"garbage")
        f.defaults.setObject(QByteArray("not a bookmark"), sandboxscope);
    else if (damage == u"other")
        f.defaults.setObject(AccessGrant::forFolder(f.dir.path("Pics"))->bookmarkData(),
                             sandboxscope);
    else if (damage == u"remove")
        f.defaults.setObject(QVariant(), sandboxscope);
    f.defaults.synchronize();
    const ChildResult child = runWithoutPrivileges([&] {
        UserDefaults stored = f.reread();
        return QByteArray(storedGrantCovers(f.dir.path(root), stored) ? "covers" : "asks");
    });
    if (damage == u"readonly")
        chmod(grantedPath.constData(), 0777);
    QVERIFY(child.ok);
    QTEST(child.output == "covers", "covers");
}

// Grants of folders that need not exist, stored as bare paths: `latest` under
// the older single key, `listed` in the list, then `granted` given and
// `revoked` removed in that order. Which run folder they cover, and the list
// shown.
void tst_AccessGrant::grantList_data()
{
    QTest::addColumn<QByteArray>("latest");
    QTest::addColumn<QByteArrayList>("listed");
    QTest::addColumn<QByteArrayList>("granted");
    QTest::addColumn<QByteArray>("revoked");
    QTest::addColumn<QByteArray>("root");
    QTest::addColumn<bool>("covers");
    QTest::addColumn<QByteArrayList>("folders");
    using L = QByteArrayList;
    const auto row = [](const char *tag, const QByteArray &root, bool covers, const L &folders,
                        const L &listed = {}, const L &granted = {}, const QByteArray &latest = {},
                        const QByteArray &revoked = {}) {
        QTest::newRow(tag) << latest << listed << granted << revoked << root << covers << folders;
    };
    const L ab{"/a/b"};
    row("old key with a slash", "/a/b/c", true, ab, {}, {}, "/a/b/");
    row("old key kept by a new grant", "/a/b", true, L{"/a/b", "/x"}, {}, L{"/x"}, "/a/b");
    row("old key revoked", "/a/b", false, L{"/x"}, L{"/x"}, {}, "/a/b", "/a/b");
    row("second of the list", "/a/b/c", true, L{"/a/b", "/x"}, L{"/x", "/a/b"});
    row("the other one revoked", "/a/b/c", true, ab, L{"/x", "/a/b"}, {}, {}, "/x");
    row("a grant above takes the place of those below", "/a/b/d", true, L{"/a/b", "/a/bc"},
        L{"/a/b/c", "/a/bc"}, L{"/a/b"});
    row("commas and quotes", "/x, \"y\"/z", true, L{"/a,b", "/x, \"y\""}, L{"/x, \"y\"", "/a,b"});
    row("whole disk", "/home/u", true, L{"/"}, L{"/"});
}

void tst_AccessGrant::grantList()
{
    QFETCH(QByteArray, latest);
    QFETCH(QByteArrayList, listed);
    QFETCH(QByteArrayList, granted);
    QFETCH(QByteArray, revoked);
    QFETCH(QByteArray, root);
    Fixture f;
    if (!latest.isNull())
        f.defaults.setObject(latest, rootlimit);
    QVariantList entries(listed.cbegin(), listed.cend());
    if (!entries.isEmpty())
        f.defaults.setObject(entries, AccessGrantKeys::grants);
    for (const QByteArray &folder : granted)
        QVERIFY(grantChosenFolder(folder, f.defaults));
    if (!revoked.isNull())
        revokeGrant(revoked, f.defaults);
    f.defaults.synchronize();
    UserDefaults stored = f.reread();
    QTEST(storedGrantCovers(root, stored), "covers");
    QTEST(grantedFolders(stored), "folders");
}

QTEST_GUILESS_MAIN(tst_AccessGrant)
#include "tst_accessgrant.moc"
