// SPDX-License-Identifier: GPL-3.0-or-later
#include "../diskfiles.h"
#include "../scriptedprompt.h"
#include "app/folderaccessdialog.h"
#include "app/vlnwindow.h"
#include "model/filetablemodel.h"
#include "plan/renameplan.h"
#include "ui_vlnwindow.h"
#include "windowtest.h"

#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_FolderAccess : public WindowTest
{
    Q_OBJECT

private slots:
    void init() { WindowTest::init(); }
    void cleanup() { WindowTest::cleanup(); }
    void askedOncePerTree();

private:
    // A fresh window, as at the next launch, lists these files and starts.
    void renameIn(ScriptedPrompt &prompt, const QList<QByteArray> &files)
    {
        VLNWindow *window = makeWindow(true, &prompt);
        QVERIFY(window);
        listFiles(files);
        window->ui()->nameField->setText(u"[N]-x"_s);
        window->controlTextDidChange();
        QTRY_VERIFY(window->tableModel()->plan() && window->tableModel()->plan()->isComplete());
        window->clickStart();
        QTRY_VERIFY(!window->isRenaming());
    }
};

// The grant of a folder holds every folder inside it, at later launches too,
// and nothing beside it; once removed in Folder Access… the run asks again.
void tst_FolderAccess::askedOncePerTree()
{
    ScriptedPrompt prompt;
    const QByteArray tree = m_root + "/tree";
    prompt.answers = {tree};
    renameIn(prompt, {"tree/a/one.txt", "tree/b/two.txt"});
    QCOMPARE(prompt.proposed, QByteArrayList{tree});
    QCOMPARE(folderEntries(tree + "/a"), u"one-x.txt="_s);
    QCOMPARE(folderEntries(tree + "/b"), u"two-x.txt="_s);

    renameIn(prompt, {"tree/a/deep/three.txt"});
    QCOMPARE(prompt.proposed, QByteArrayList{tree});
    QCOMPARE(folderEntries(tree + "/a/deep"), u"three-x.txt="_s);

    // A folder whose name begins like the granted one's is another folder.
    renameIn(prompt, {"tree2/four.txt"});
    QCOMPARE(prompt.proposed, QByteArrayList({tree, m_root + "/tree2"}));
    QCOMPARE(prompt.alerts.size(), 1);
    QCOMPARE(folderEntries(m_root + "/tree2"), u"four.txt="_s);

    m_window->ui()->actionFolderAccess->trigger();
    auto *dialog = m_window->findChild<FolderAccessDialog *>();
    QVERIFY(dialog && dialog->isVisible());
    QListWidget *folders = dialog->folderList();
    QCOMPARE(folders->count(), 1);
    QCOMPARE(folders->item(0)->text(), QFile::decodeName(tree));
    QVERIFY(!dialog->removeButton()->isEnabled());
    folders->setCurrentRow(0);
    QTest::mouseClick(dialog->removeButton(), Qt::LeftButton);
    QCOMPARE(folders->count(), 0);
    QVERIFY(!dialog->findChild<QLabel *>(u"noGrants"_s)->isHidden());

    renameIn(prompt, {"tree/b/five.txt"});
    QCOMPARE(prompt.proposed.size(), 3);
    QCOMPARE(prompt.proposed.last(), tree + "/b");
    QCOMPARE(folderEntries(tree + "/b"), u"five.txt= two-x.txt="_s);
}

QTEST_MAIN(tst_FolderAccess)
#include "tst_folderaccess.moc"
